# Read by cpack each time it makes the package (CPACK_PROJECT_CONFIG_FILE): sets
# SOURCE_DATE_EPOCH, by which cpack dates the package's files, when the caller has not. Taken
# now rather than when CMake configured, so that a package made in an existing build folder
# after a new commit carries that commit's date. In order:
#   - SOURCE_DATE_EPOCH, when the caller sets it;
#   - .source-date-epoch in the sources, which git archive fills with the commit's date (see
#     .gitattributes): a source tarball has no .git;
#   - the date of the last commit in the git checkout the sources are.
# With none of them cpack stops: a package dated by the time it was made would be another
# package each time.
set(source "${CPACK_VANTU_SOURCE_DIR}")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(date "$ENV{SOURCE_DATE_EPOCH}")
  set(origin "SOURCE_DATE_EPOCH")
else()
  set(date "")
  if(EXISTS "${source}/.source-date-epoch")
    file(STRINGS "${source}/.source-date-epoch" date LIMIT_COUNT 1)
    set(origin "${source}/.source-date-epoch")
  endif()
  # In a git checkout the file still reads "$Format:%ct$".
  if(NOT date MATCHES "^[0-9]+$" AND EXISTS "${source}/.git")
    execute_process(COMMAND git -C "${source}" log -1 --format=%ct
      OUTPUT_VARIABLE date ERROR_VARIABLE error RESULT_VARIABLE result
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "Cannot date the package: git log in ${source} failed (${result}): "
        "${error}; set SOURCE_DATE_EPOCH")
    endif()
    set(origin "the last commit in ${source}")
  endif()
endif()
if(NOT date MATCHES "^[0-9]+$")
  message(FATAL_ERROR "Cannot date the package: no SOURCE_DATE_EPOCH, no git checkout in "
    "${source} and no date in its .source-date-epoch (a tarball made by git archive has one). "
    "Set SOURCE_DATE_EPOCH to the sources' date, in seconds since 1970.")
endif()
set(ENV{SOURCE_DATE_EPOCH} "${date}")
message(STATUS "The package's files are dated ${date} (from ${origin})")
