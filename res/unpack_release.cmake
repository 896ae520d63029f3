# Run with cmake -P before the end-to-end tests: ZIP=<release zip>,
# DEST=<folder>. Unpacks the whole release into a fresh DEST, as a user's
# "Extract All" does, so the tests start the program that ships.
file(REMOVE_RECURSE ${DEST})
file(MAKE_DIRECTORY ${DEST})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${DEST})
if(NOT EXISTS ${DEST}/keyword_expander.exe OR NOT EXISTS ${DEST}/data/tag1.txt)
  message(FATAL_ERROR "${ZIP} does not hold keyword_expander.exe and data/")
endif()
