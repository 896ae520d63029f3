# What ships is what is tested: the release zip is unpacked whole before the
# end-to-end tests, which start the program from it, never from the build folder.
set(KW_UNPACKED_RELEASE ${CMAKE_BINARY_DIR}/unpacked-release)
add_test(NAME unpack_release_zip
  COMMAND ${CMAKE_COMMAND} -DZIP=${KW_RELEASE_ZIP} -DDEST=${KW_UNPACKED_RELEASE}
    -P ${PROJECT_SOURCE_DIR}/res/unpack_release.cmake)
set_tests_properties(unpack_release_zip PROPERTIES FIXTURES_SETUP release_zip)

# The real program under Wine: each case starts a scratch copy of it and
# drives its window from this test process. Needs a display (Xvfb).
kw_add_executable(program_tests tests/win32/program_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(program_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(program_tests PRIVATE kw_core GTest::gtest oleacc)
add_dependencies(program_tests keyword_expander_package kw_record_open)
add_test(NAME program_tests
  COMMAND program_tests ${KW_UNPACKED_RELEASE}/keyword_expander.exe $<TARGET_FILE:kw_record_open>)
set_tests_properties(program_tests PROPERTIES TIMEOUT 900 LABELS gui FIXTURES_REQUIRED release_zip)

# Timings of the real program under Wine; run by hand (see the README).
kw_add_executable(program_bench bench/program_bench_win32.cpp tests/win32/driver_win32.cpp)
target_include_directories(program_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(program_bench PRIVATE kw_core)
add_dependencies(program_bench keyword_expander)

# Big and awkward data files in the real program under Wine.
kw_add_executable(big_file_tests tests/win32/big_file_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(big_file_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(big_file_tests PRIVATE kw_core GTest::gtest)
add_dependencies(big_file_tests keyword_expander_package)
add_test(NAME big_file_tests COMMAND big_file_tests ${KW_UNPACKED_RELEASE}/keyword_expander.exe)
set_tests_properties(big_file_tests PROPERTIES TIMEOUT 600 LABELS gui FIXTURES_REQUIRED release_zip)
# Their load times and memory; run by hand (see the README).
kw_add_executable(big_files_bench bench/big_files_bench_win32.cpp tests/win32/driver_win32.cpp)
target_include_directories(big_files_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(big_files_bench PRIVATE kw_window psapi)
add_dependencies(big_files_bench keyword_expander)

# Faults from outside on the real program under Wine: a full disk (a tmpfs
# that scripts/test mounts as root and names in KW_FULL_DISK_FOLDER), kills
# during a save, data files and the data folder changed while it runs.
kw_add_executable(fault_tests tests/win32/fault_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(fault_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(fault_tests PRIVATE kw_core GTest::gtest)
add_dependencies(fault_tests keyword_expander_package)
add_test(NAME fault_tests COMMAND fault_tests ${KW_UNPACKED_RELEASE}/keyword_expander.exe)
set_tests_properties(fault_tests PROPERTIES TIMEOUT 900 LABELS gui FIXTURES_REQUIRED release_zip)

# A random user against a model of the data files, boxes and results: a
# bounded run here; --seconds, --steps and --seed for long runs and replays.
kw_add_executable(soak_test tests/win32/soak_test.cpp tests/win32/driver_win32.cpp)
target_include_directories(soak_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(soak_test PRIVATE kw_core)
add_dependencies(soak_test keyword_expander_package)
add_test(NAME soak_test COMMAND soak_test ${KW_UNPACKED_RELEASE}/keyword_expander.exe --seconds 90)
set_tests_properties(soak_test PROPERTIES TIMEOUT 900 LABELS gui FIXTURES_REQUIRED release_zip)
