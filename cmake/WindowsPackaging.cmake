# The Windows installer (NSIS, built on Linux) and the portable zip, both
# made from the Mirrowen.scr of this tree. Included from the top level for
# the Windows tree.
find_program(MIRROWEN_MAKENSIS makensis REQUIRED)
find_program(MIRROWEN_ZIP_TOOL zip REQUIRED)

# Both packages store file dates: every file goes in dated at the last
# commit's time, so the same commit gives the same bytes.
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
set(dated @${MIRROWEN_SOURCE_DATE_EPOCH})

# The files are copied into a folder of their own and dated there: the
# build's own Mirrowen.scr keeps its time, so the build never sees it as out
# of date. mirrowen_stage_commands(VARIABLE DIR FILE...) sets VARIABLE to the
# commands that fill DIR with the FILEs.
function(mirrowen_stage_commands variable dir)
  set(commands COMMAND ${CMAKE_COMMAND} -E rm -rf ${dir} COMMAND ${CMAKE_COMMAND} -E make_directory ${dir})
  foreach(file ${ARGN})
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy ${file} ${dir})
  endforeach()
  list(APPEND commands COMMAND find ${dir} -type f -exec chmod 0644 {} + -exec touch -d ${dated} {} +)
  set(${variable} ${commands} PARENT_SCOPE)
endfunction()

# The licence and the notices of the runtime parts linked into the saver, in
# both packages.
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/LICENSE.txt.in ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

set(MIRROWEN_SETUP ${CMAKE_BINARY_DIR}/MirrowenSetup-${PROJECT_VERSION}.exe)
set(nsis_script ${CMAKE_SOURCE_DIR}/packaging/windows/mirrowen.nsi)
set(setup_dir ${CMAKE_BINARY_DIR}/setup-files)
mirrowen_stage_commands(stage_setup ${setup_dir} $<TARGET_FILE:Mirrowen> ${CMAKE_BINARY_DIR}/LICENSE.txt)
add_custom_command(OUTPUT ${MIRROWEN_SETUP}
  ${stage_setup}
  COMMAND ${MIRROWEN_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSCR=${setup_dir}/Mirrowen.scr
          -DNOTICES=${setup_dir}/LICENSE.txt -DICON=${CMAKE_SOURCE_DIR}/resources/mirrowen.ico -DOUTFILE=${MIRROWEN_SETUP} ${nsis_script}
  DEPENDS Mirrowen ${nsis_script} ${CMAKE_SOURCE_DIR}/packaging/windows/saver_files.nsh
          ${CMAKE_SOURCE_DIR}/resources/mirrowen.ico ${CMAKE_BINARY_DIR}/LICENSE.txt
  VERBATIM)

# The zip: the saver, then a README and the licence with Windows line ends,
# at its top level, in that order, with no extra fields (Unix times, owner);
# its DOS times are local times, so they are written in UTC.
set(zip_dir ${CMAKE_BINARY_DIR}/portable)
set(MIRROWEN_ZIP ${CMAKE_BINARY_DIR}/Mirrowen-${PROJECT_VERSION}-win64.zip)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
mirrowen_stage_commands(stage_zip ${zip_dir} $<TARGET_FILE:Mirrowen> ${CMAKE_BINARY_DIR}/README.txt
                        ${CMAKE_BINARY_DIR}/LICENSE.txt)
add_custom_command(OUTPUT ${MIRROWEN_ZIP}
  ${stage_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${MIRROWEN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${MIRROWEN_ZIP_TOOL} -q -X -D -j ${MIRROWEN_ZIP}
          ${zip_dir}/Mirrowen.scr ${zip_dir}/README.txt ${zip_dir}/LICENSE.txt
  DEPENDS Mirrowen ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt
  VERBATIM)
add_custom_target(mirrowen_windows_packages ALL DEPENDS ${MIRROWEN_SETUP} ${MIRROWEN_ZIP})
