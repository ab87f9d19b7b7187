# The page's zip, Mirrowen-<version>-web.zip: mirrowen.html and its README.
# Included from the top level for the web tree. Both files go in dated at
# the last commit's time, so the same commit gives the same bytes.
find_program(MIRROWEN_ZIP_TOOL zip REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)

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
