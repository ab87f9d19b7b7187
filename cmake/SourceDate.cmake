# The date every packaged file goes in with: the last commit's time
# (SOURCE_DATE_EPOCH, which scripts/package passes in), so the same commit
# gives the same bytes whenever and wherever it is built.
set(MIRROWEN_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING "Seconds since 1970 that packaged files are dated")
if(NOT MIRROWEN_SOURCE_DATE_EPOCH)
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set(MIRROWEN_SOURCE_DATE_EPOCH "${commit_time}" CACHE STRING "" FORCE)
endif()
