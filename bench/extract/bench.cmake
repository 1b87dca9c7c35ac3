# The extraction benchmark program: ZipExtractor::ExtractAll on one package, timed inside the process.
add_executable(tovik_bench_extract ${CMAKE_CURRENT_LIST_DIR}/ExtractBench.cpp)
target_link_libraries(tovik_bench_extract PRIVATE tovik_archive psapi)
target_link_options(tovik_bench_extract PRIVATE -municode)
