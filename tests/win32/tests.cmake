# What ships is what is tested: the release zip is unpacked whole before the
# end-to-end tests, which start the program from it, never from the build folder.
set(KW_UNPACKED_RELEASE ${CMAKE_BINARY_DIR}/unpacked-release)
add_test(NAME unpack_release_zip
  COMMAND ${CMAKE_COMMAND} -DZIP=${KW_RELEASE_ZIP} -DDEST=${KW_UNPACKED_RELEASE}
    -P ${PROJECT_SOURCE_DIR}/res/unpack_release.cmake)
set_tests_properties(unpack_release_zip PROPERTIES FIXTURES_SETUP release_zip)

# A program that drives the real program from outside (tests/win32/driver_win32.*).
function(kw_add_driver_program name source)
  kw_add_executable(${name} ${PROJECT_SOURCE_DIR}/${source} ${PROJECT_SOURCE_DIR}/tests/win32/driver_win32.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE kw_core)
  add_dependencies(${name} keyword_expander_package)
endfunction()

# Its test: it is handed the unpacked release's program, then ARGN. Needs a
# display (Xvfb).
function(kw_add_driver_test name timeout)
  add_test(NAME ${name} COMMAND ${name} ${KW_UNPACKED_RELEASE}/keyword_expander.exe ${ARGN})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} LABELS gui FIXTURES_REQUIRED release_zip)
endfunction()

# The real program under Wine: each case starts a scratch copy of it and
# drives its window from this test process.
kw_add_driver_program(program_tests tests/win32/program_test.cpp)
target_link_libraries(program_tests PRIVATE GTest::gtest oleacc)
add_dependencies(program_tests kw_record_open)
kw_add_driver_test(program_tests 900 $<TARGET_FILE:kw_record_open>)

# Timings of the real program under Wine; run by hand (see the README).
kw_add_driver_program(program_bench bench/program_bench_win32.cpp)

# Big and awkward data files in the real program under Wine.
kw_add_driver_program(big_file_tests tests/win32/big_file_test.cpp)
target_link_libraries(big_file_tests PRIVATE GTest::gtest)
kw_add_driver_test(big_file_tests 600)
# Their load times and memory; run by hand (see the README).
kw_add_driver_program(big_files_bench bench/big_files_bench_win32.cpp)
target_link_libraries(big_files_bench PRIVATE kw_window psapi)

# Faults from outside on the real program under Wine: a full disk (a tmpfs
# that scripts/test mounts as root and names in KW_FULL_DISK_FOLDER), kills
# during a save, data files and the data folder changed while it runs.
kw_add_driver_program(fault_tests tests/win32/fault_test.cpp)
target_link_libraries(fault_tests PRIVATE GTest::gtest)
kw_add_driver_test(fault_tests 900)

# A random user against a model of the data files, boxes and results: a
# bounded run here; --seconds, --steps and --seed for long runs and replays.
kw_add_driver_program(soak_test tests/win32/soak_test.cpp)
kw_add_driver_test(soak_test 900 --seconds 90)
