# The grid benchmark: filling and showing the largest tables the editors show. Needs the windows.
if(QN410_WITH_QT)
    add_executable(bench_grid grid_bench.cpp)
    target_link_libraries(bench_grid PRIVATE qn410qt benchmark::benchmark)
endif()
