# The link labels and the web strip. Their state and the opening of a web
# address are portable and tested natively; the controls themselves are Win32.
add_library(kw_links STATIC
  ${CMAKE_CURRENT_LIST_DIR}/link_label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_addresses.cpp)
target_link_libraries(kw_links PUBLIC kw_core PRIVATE kw_warnings)

if(WIN32)
  add_library(kw_links_win32 STATIC
    ${CMAKE_CURRENT_LIST_DIR}/link_label_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_strip_win32.cpp)
  target_link_libraries(kw_links_win32
    PUBLIC kw_links ole32 oleaut32 uuid shell32 advapi32 user32 gdi32
    PRIVATE kw_warnings)
endif()

if(KW_BUILD_TESTS)
  kw_add_executable(link_label_tests ${PROJECT_SOURCE_DIR}/tests/link_label_test.cpp)
  target_link_libraries(link_label_tests PRIVATE kw_links GTest::gtest_main)
  add_test(NAME link_label_tests COMMAND link_label_tests --gtest_brief=1)
  set_tests_properties(link_label_tests PROPERTIES TIMEOUT 120)

  if(WIN32)
    # A stand-in browser: the GUI tests register it for http and read back
    # what the shell handed it.
    kw_add_executable(kw_record_open WIN32 ${PROJECT_SOURCE_DIR}/tests/win32/record_open.cpp)

    # Makes one web strip and reports by its exit code; run under a per-program
    # DLL override to check the refusal when the browser control is missing.
    kw_add_executable(kw_web_strip_probe WIN32 ${PROJECT_SOURCE_DIR}/tests/win32/web_strip_probe.cpp)
    target_link_libraries(kw_web_strip_probe PRIVATE kw_links_win32)

    kw_add_executable(link_label_wine_tests
      ${PROJECT_SOURCE_DIR}/tests/win32/link_label_wine_test.cpp
      ${PROJECT_SOURCE_DIR}/tests/win32/web_strip_wine_test.cpp)
    target_link_libraries(link_label_wine_tests PRIVATE kw_links_win32 GTest::gtest_main)
    target_compile_definitions(link_label_wine_tests PRIVATE
      KW_RECORD_OPEN_EXE="$<TARGET_FILE_NAME:kw_record_open>"
      KW_WEB_STRIP_PROBE_EXE="$<TARGET_FILE_NAME:kw_web_strip_probe>")
    add_dependencies(link_label_wine_tests kw_record_open kw_web_strip_probe)
    add_test(NAME link_label_wine_tests COMMAND link_label_wine_tests --gtest_brief=1)
    # Needs an X display (DISPLAY); the test script starts Xvfb for the "gui"
    # label. mshtml stays off even in a prefix that lacks the override, so
    # Wine's Gecko installer can never come up and wait for an answer.
    set_tests_properties(link_label_wine_tests PROPERTIES TIMEOUT 180 LABELS gui
      ENVIRONMENT "WINEDLLOVERRIDES=mshtml=")
  endif()
endif()
