# The editors benchmark: opening "Stations" on the largest table it shows. Needs the windows.
if(QN410_WITH_QT)
    add_executable(bench_editors editors_bench.cpp)
    target_link_libraries(bench_editors PRIVATE qn410qt benchmark::benchmark)
endif()
