# Entry points. Every target first installs what it needs (scripts/install-packages.sh and
# scripts/build-deps.sh are quick when everything is present).
BUILD      ?= build
RELEASE_DIR = $(BUILD)/i686
TEST_DIR    = $(BUILD)/x86_64
CMAKE_GEN   = -G Ninja
JOBS       ?= $(shell nproc)

.PHONY: all deps release test bench demo clean

all: release

deps:
	@bash scripts/install-packages.sh
	@bash scripts/build-deps.sh

$(RELEASE_DIR)/build.ninja: | deps
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(RELEASE_CMAKE_ARGS)

$(TEST_DIR)/build.ninja: | deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTOVIK_BUILD_TESTS=ON -DTOVIK_BUILD_BENCH=ON \
	  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/scripts/wine-run.sh;$(CURDIR)/$(TEST_DIR)/wineprefix"

# The shipped 32-bit executable.
release: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target TovikSetup
	@mkdir -p out
	cp $(RELEASE_DIR)/bin/TovikSetup.exe out/TovikSetup.exe
	@echo "out/TovikSetup.exe: $$(stat -c %s out/TovikSetup.exe) bytes"

# Every test, under Wine (windows under Xvfb); the release build is compiled too.
test: release $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)
	bash scripts/run-tests.sh $(TEST_DIR)

bench: release $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)
	bash scripts/run-bench.sh $(TEST_DIR)

demo: release $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)
	bash scripts/demo.sh

clean:
	rm -rf $(BUILD) out
