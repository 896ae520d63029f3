# The program's resources (icon group, hand pointer, version block), the
# release package with its default data files, and the checks on the built
# program. Included by the top-level CMakeLists.txt for Windows builds only.

option(KW_RELEASE_CHECKS "Check the built program's imports, resources and package (needs python3)" OFF)
if(KW_RELEASE_CHECKS)
  # The checks need no GoogleTest, so the release build can run them with
  # KW_BUILD_TESTS off.
  enable_testing()
endif()

# The release's version, as the zip's name shows it; res/app.rc carries the
# same in its version block, and the release_icon check compares the two.
set(KW_RELEASE_VERSION 1.3)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KW_RELEASE_PLATFORM win32)
else()
  set(KW_RELEASE_PLATFORM win64)
endif()

get_filename_component(kw_source_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(KW_DATA_TEMPLATE_DIR ${kw_source_root}/data-template)
set(KW_SCRIPTS_DIR ${kw_source_root}/scripts)
set(KW_DATA_FILES)
foreach(n RANGE 1 10)
  list(APPEND KW_DATA_FILES tag${n}.txt ty${n}.txt gjc${n}.txt)
endforeach()

enable_language(RC)

# An object library, so the resource object is linked into the program as an
# object: from a static library the linker would drop it, since no symbol in
# it is ever referenced.
add_library(kw_resources OBJECT ${CMAKE_CURRENT_LIST_DIR}/app.rc)
target_include_directories(kw_resources PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# windres reports no dependencies, so a redrawn icon or pointer would
# otherwise leave the old images in the program.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/app.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/app.ico;${CMAKE_CURRENT_LIST_DIR}/hand.cur")

set(KW_RELEASE_ZIP ${CMAKE_BINARY_DIR}/${PROJECT_NAME}-${KW_RELEASE_VERSION}-${KW_RELEASE_PLATFORM}.zip)

# After every build: a data folder beside the program in the build tree, and
# the release zip KW_RELEASE_ZIP. The data folder only gains the template
# files it lacks, since whoever runs the program from the build tree is
# editing those files; the zip always holds the template as committed.
function(kw_package_release target)
  get_filename_component(package_name ${KW_RELEASE_ZIP} NAME_WLE)
  set(template_files)
  foreach(name IN LISTS KW_DATA_FILES)
    list(APPEND template_files ${KW_DATA_TEMPLATE_DIR}/${name})
  endforeach()
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/package_release.cmake)

  add_custom_target(${target}_data ALL
    COMMAND ${CMAKE_COMMAND} -DMODE=seed -DTEMPLATE=${KW_DATA_TEMPLATE_DIR}
      "-DFILES=${KW_DATA_FILES}" -DDEST=$<TARGET_FILE_DIR:${target}>/data -P ${script}
    COMMENT "Adding missing default data files beside ${target}"
    VERBATIM)
  add_dependencies(${target}_data ${target})

  add_custom_command(OUTPUT ${KW_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -DMODE=zip -DTEMPLATE=${KW_DATA_TEMPLATE_DIR}
      "-DFILES=${KW_DATA_FILES}" -DPROGRAM=$<TARGET_FILE:${target}>
      -DSTAGE=${CMAKE_BINARY_DIR}/package/${package_name} -DZIP=${KW_RELEASE_ZIP} -P ${script}
    DEPENDS ${target} ${template_files} ${script}
    COMMENT "Packing ${package_name}.zip"
    VERBATIM)
  add_custom_target(${target}_package ALL DEPENDS ${KW_RELEASE_ZIP})
endfunction()

# Native checks of the built program, run by ctest without Wine: it must
# start on a bare Windows (system DLLs only, GUI subsystem, 32-bit for the
# release), carry its icon group and pointer, and ship the default data.
# release_package expects kw_package_release(target) to have been called too.
function(kw_add_release_checks target)
  if(NOT KW_RELEASE_CHECKS)
    return()
  endif()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  find_program(KW_OBJDUMP NAMES ${CMAKE_OBJDUMP} i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump REQUIRED)
  set(scripts ${KW_SCRIPTS_DIR})
  set(res ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(machine i386)
  else()
    set(machine x86-64)
  endif()

  add_test(NAME release_imports
    COMMAND ${scripts}/check_imports.sh ${machine} $<TARGET_FILE:${target}>)
  set_tests_properties(release_imports PROPERTIES ENVIRONMENT OBJDUMP=${KW_OBJDUMP})

  add_test(NAME release_icon
    COMMAND ${Python3_EXECUTABLE} ${scripts}/check_release.py
      resources $<TARGET_FILE:${target}> ${res} ${KW_RELEASE_VERSION})

  add_test(NAME release_icon_source
    COMMAND ${Python3_EXECUTABLE} ${scripts}/check_release.py
      icon-source ${res} ${CMAKE_BINARY_DIR}/regenerated-res)

  add_test(NAME release_package
    COMMAND ${Python3_EXECUTABLE} ${scripts}/check_release.py
      package ${KW_RELEASE_ZIP} $<TARGET_FILE:${target}> ${KW_DATA_TEMPLATE_DIR})

  # Run natively, so also where the program itself cannot run (ctest -L release).
  set_tests_properties(release_imports release_icon release_icon_source release_package
    PROPERTIES LABELS release)
endfunction()
