add_executable(bench_download ${CMAKE_CURRENT_LIST_DIR}/BenchDownload.cpp)
target_link_libraries(bench_download PRIVATE tovik_core crypt32 psapi)
target_link_options(bench_download PRIVATE -municode)
