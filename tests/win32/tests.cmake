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

# A random user against a model of the data files, boxes and results: a
# bounded run here; --seconds, --steps and --seed for long runs and replays.
kw_add_executable(soak_test tests/win32/soak_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(soak_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(soak_test PRIVATE kw_core)
add_dependencies(soak_test keyword_expander)
add_test(NAME soak_test COMMAND soak_test $<TARGET_FILE:keyword_expander> --seconds 90)
set_tests_properties(soak_test PROPERTIES TIMEOUT 900 LABELS gui)
