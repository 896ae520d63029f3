# The real program under Wine: each case starts a scratch copy of it and
# drives its window from this test process. Needs a display (Xvfb).
kw_add_executable(program_tests tests/win32/program_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(program_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(program_tests PRIVATE kw_core GTest::gtest)
add_dependencies(program_tests keyword_expander kw_record_open)
add_test(NAME program_tests COMMAND program_tests $<TARGET_FILE:keyword_expander> $<TARGET_FILE:kw_record_open>)
set_tests_properties(program_tests PROPERTIES TIMEOUT 900 LABELS gui)

# Timings of the real program under Wine; run by hand (see the README).
kw_add_executable(program_bench bench/program_bench_win32.cpp tests/win32/driver_win32.cpp)
target_include_directories(program_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(program_bench PRIVATE kw_core)
add_dependencies(program_bench keyword_expander)

# Big and awkward data files in the real program under Wine.
kw_add_executable(big_file_tests tests/win32/big_file_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(big_file_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(big_file_tests PRIVATE kw_core GTest::gtest)
add_dependencies(big_file_tests keyword_expander)
add_test(NAME big_file_tests COMMAND big_file_tests $<TARGET_FILE:keyword_expander>)
set_tests_properties(big_file_tests PROPERTIES TIMEOUT 600 LABELS gui)
# Their load times and memory; run by hand (see the README).
kw_add_executable(big_files_bench bench/big_files_bench_win32.cpp tests/win32/driver_win32.cpp)
target_include_directories(big_files_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(big_files_bench PRIVATE kw_window psapi)
add_dependencies(big_files_bench keyword_expander)
