# Run with cmake -P by kw_package_release (res/resources.cmake).
#   MODE=seed: DEST=<data folder>; copies each of FILES from TEMPLATE that DEST lacks.
#   MODE=zip:  PROGRAM=<exe>, STAGE=<scratch folder>, ZIP=<zip file>; packs the
#              program and the whole template as data/ into the zip.

if(MODE STREQUAL "seed")
  file(MAKE_DIRECTORY ${DEST})
  foreach(name IN LISTS FILES)
    # A file that exists, even empty, is the user's: never replace it.
    if(NOT EXISTS ${DEST}/${name})
      file(COPY ${TEMPLATE}/${name} DESTINATION ${DEST})
    endif()
  endforeach()

elseif(MODE STREQUAL "zip")
  # A fresh stage each time, so a file dropped from the template, or one the
  # program wrote during a run, never reaches the zip.
  file(REMOVE_RECURSE ${STAGE})
  file(MAKE_DIRECTORY ${STAGE}/data)
  file(COPY ${PROGRAM} DESTINATION ${STAGE})
  foreach(name IN LISTS FILES)
    file(COPY ${TEMPLATE}/${name} DESTINATION ${STAGE}/data)
  endforeach()
  get_filename_component(program_name ${PROGRAM} NAME)
  # Listed one by one, in the table's order, so the zip's order does not
  # depend on how the file system happens to list the stage.
  set(members ${program_name})
  foreach(name IN LISTS FILES)
    list(APPEND members data/${name})
  endforeach()
  # The program and data/ sit at the top of the zip: Windows' "Extract All"
  # already makes a folder named after the zip.
  file(REMOVE ${ZIP})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${members}
    WORKING_DIRECTORY ${STAGE}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Could not pack ${ZIP}")
  endif()

else()
  message(FATAL_ERROR "MODE must be seed or zip, not '${MODE}'")
endif()
