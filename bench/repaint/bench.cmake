# The repaint benchmark program: an 800x550 control tree painted into a memory DC.
add_executable(tovik_bench_repaint ${CMAKE_CURRENT_LIST_DIR}/RepaintBench.cpp)
target_link_libraries(tovik_bench_repaint PRIVATE tovik_setup)
target_link_options(tovik_bench_repaint PRIVATE -municode)
