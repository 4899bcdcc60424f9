# The record decoders' fuzz target. With QN410_FUZZ=ON (clang) it is a libFuzzer program with
# its own instrumented copy of the record code; otherwise the committed corpus is replayed
# through it as an ordinary test.
set(_fuzz_dir ${CMAKE_SOURCE_DIR}/tests/fuzz)
if(QN410_FUZZ)
    add_executable(fuzz_records
        ${_fuzz_dir}/fuzz_records.cpp
        ${CMAKE_SOURCE_DIR}/src/setting/setting_data.cpp
        ${CMAKE_SOURCE_DIR}/src/setting/clock.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/record_fields.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/record_encoder.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/record_decoder.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/encode_stations.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/encode_system.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/decode_stations.cpp
        ${CMAKE_SOURCE_DIR}/src/transfer/zone_tables.cpp
    )
    target_include_directories(fuzz_records PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(fuzz_records PRIVATE -fsanitize=fuzzer,address,undefined
                                                -fno-sanitize-recover=all)
    target_link_options(fuzz_records PRIVATE -fsanitize=fuzzer,address,undefined)
else()
    add_executable(fuzz_records_replay ${_fuzz_dir}/fuzz_records.cpp
                                       ${_fuzz_dir}/records_replay_main.cpp)
    target_link_libraries(fuzz_records_replay PRIVATE qn410core)
    add_test(NAME fuzz_records_replay
             COMMAND fuzz_records_replay ${_fuzz_dir}/corpus/records)
    set_tests_properties(fuzz_records_replay PROPERTIES LABELS core)
endif()
