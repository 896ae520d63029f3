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

# Faults from outside on the real program under Wine: a full disk (a tmpfs
# that scripts/test mounts as root and names in KW_FULL_DISK_FOLDER), kills
# during a save, data files and the data folder changed while it runs.
kw_add_executable(fault_tests tests/win32/fault_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(fault_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(fault_tests PRIVATE kw_core GTest::gtest)
add_dependencies(fault_tests keyword_expander)
add_test(NAME fault_tests COMMAND fault_tests $<TARGET_FILE:keyword_expander>)
set_tests_properties(fault_tests PROPERTIES TIMEOUT 900 LABELS gui)
