add_executable(bench_md5 ${CMAKE_CURRENT_LIST_DIR}/BenchMd5.cpp)
target_link_libraries(bench_md5 PRIVATE tovik_core)
target_link_options(bench_md5 PRIVATE -municode)
