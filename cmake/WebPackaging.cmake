# The page's zip, Mirrowen-<version>-web.zip: mirrowen.html and its README.
# Included from the top level for the web tree. Both files go in dated at
# the last commit's time (SOURCE_DATE_EPOCH, which scripts/package passes
# in), so the same commit gives the same bytes whenever and wherever it is
# built.
find_program(MIRROWEN_ZIP_TOOL zip REQUIRED)
set(MIRROWEN_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING "Seconds since 1970 that packaged files are dated")
if(NOT MIRROWEN_SOURCE_DATE_EPOCH)
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set(MIRROWEN_SOURCE_DATE_EPOCH "${commit_time}" CACHE STRING "" FORCE)
endif()

configure_file(${CMAKE_SOURCE_DIR}/packaging/web/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
set(page ${CMAKE_BINARY_DIR}/mirrowen.html)
set(zip_dir ${CMAKE_BINARY_DIR}/web-zip)
set(MIRROWEN_WEB_ZIP ${CMAKE_BINARY_DIR}/Mirrowen-${PROJECT_VERSION}-web.zip)
# Copied into a folder of their own and dated there, so the build's own
# files keep their times; no extra fields (Unix times, owner); the zip's DOS
# times are local times, so they are written in UTC.
add_custom_command(OUTPUT ${MIRROWEN_WEB_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_dir} ${MIRROWEN_WEB_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${page} ${CMAKE_BINARY_DIR}/README.txt ${zip_dir}
  COMMAND chmod 0644 ${zip_dir}/mirrowen.html ${zip_dir}/README.txt
  COMMAND touch -d @${MIRROWEN_SOURCE_DATE_EPOCH} ${zip_dir}/mirrowen.html ${zip_dir}/README.txt
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${MIRROWEN_ZIP_TOOL} -q -X -D -j ${MIRROWEN_WEB_ZIP}
          ${zip_dir}/mirrowen.html ${zip_dir}/README.txt
  DEPENDS ${page} ${CMAKE_BINARY_DIR}/README.txt
  VERBATIM)
add_custom_target(mirrowen_web_zip ALL DEPENDS ${MIRROWEN_WEB_ZIP})
