# Nothing to build: the benchmark measures out/TovikSetup.exe of the release build.
