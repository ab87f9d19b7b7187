# The Windows installer (NSIS, built on Linux) and the portable zip, both
# made from the Mirrowen.scr of this tree. Included from the top level for
# the Windows tree.
find_program(MIRROWEN_MAKENSIS makensis REQUIRED)

set(MIRROWEN_SETUP ${CMAKE_BINARY_DIR}/MirrowenSetup-${PROJECT_VERSION}.exe)
set(nsis_script ${CMAKE_SOURCE_DIR}/packaging/windows/mirrowen.nsi)
add_custom_command(OUTPUT ${MIRROWEN_SETUP}
  COMMAND ${MIRROWEN_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSCR=$<TARGET_FILE:Mirrowen>
          -DICON=${CMAKE_SOURCE_DIR}/resources/mirrowen.ico -DOUTFILE=${MIRROWEN_SETUP} ${nsis_script}
  DEPENDS Mirrowen ${nsis_script} ${CMAKE_SOURCE_DIR}/packaging/windows/saver_files.nsh
          ${CMAKE_SOURCE_DIR}/resources/mirrowen.ico
  VERBATIM)

# The zip: the saver and a README with Windows line ends, at its top level.
set(zip_dir ${CMAKE_BINARY_DIR}/portable)
set(MIRROWEN_ZIP ${CMAKE_BINARY_DIR}/Mirrowen-${PROJECT_VERSION}-win64.zip)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt.in ${zip_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT ${MIRROWEN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Mirrowen> ${zip_dir}/Mirrowen.scr
  COMMAND ${CMAKE_COMMAND} -E rm -f ${MIRROWEN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${MIRROWEN_ZIP} --format=zip Mirrowen.scr README.txt
  WORKING_DIRECTORY ${zip_dir}
  DEPENDS Mirrowen ${zip_dir}/README.txt
  VERBATIM)
add_custom_target(mirrowen_windows_packages ALL DEPENDS ${MIRROWEN_SETUP} ${MIRROWEN_ZIP})
