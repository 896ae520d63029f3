# The Windows program: the portable core, the window and the shell.
add_library(kw_window STATIC
  ui/rich_edit_win32.cpp
  ui/main_window_win32.cpp)
target_link_libraries(kw_window PUBLIC kw_system_disk kw_core PRIVATE kw_warnings)
if(TARGET kw_links_win32)
  target_link_libraries(kw_window PUBLIC kw_links_win32)
endif()
target_link_libraries(kw_window PUBLIC comctl32 ole32 oleaut32 uuid gdi32 user32 shell32 advapi32)

kw_add_executable(keyword_expander WIN32 app/main_win32.cpp app/shell_win32.cpp)
target_include_directories(keyword_expander PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(keyword_expander PRIVATE kw_window)
# A 32-bit program gets 2 GB of address space, 4 GB with this flag on 64-bit
# Windows. The rich edit keeps a big data file in structures many times the
# file's size, and without the flag a 15 MB seed file of short lines
# exhausted the 2 GB and crashed the program inside the control at start.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(keyword_expander PRIVATE -Wl,--large-address-aware)
endif()
if(TARGET kw_resources)
  target_sources(keyword_expander PRIVATE $<TARGET_OBJECTS:kw_resources>)
endif()
if(COMMAND kw_package_release)
  kw_package_release(keyword_expander)
endif()
if(COMMAND kw_add_release_checks)
  kw_add_release_checks(keyword_expander)
endif()
if(KW_BUILD_TESTS)
  # A bare result box under Wine, timed to set program_bench's generate
  # beside the platform's own cost; run by hand.
  kw_add_executable(rich_edit_bench bench/rich_edit_bench_win32.cpp)
  target_include_directories(rich_edit_bench PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(rich_edit_bench PRIVATE kw_window)
  include(tests/win32/tests.cmake OPTIONAL)
endif()
