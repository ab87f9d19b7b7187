# Where the X11 program and its files go, laid out as Debian's own screen-saver
# packages lay theirs out, and the Debian package CPack makes from them.
# Included from the top level for the Linux trees.

# xscreensaver looks for display modes in /usr/libexec/xscreensaver only.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
endif()
set(MIRROWEN_HACK_DIR libexec/xscreensaver)
set(MIRROWEN_PROGRAM_PATH ${CMAKE_INSTALL_PREFIX}/${MIRROWEN_HACK_DIR}/mirrowen)
set(MIRROWEN_DOC_DIR share/doc/mirrowen)
# The screen saver's files; the settings window's go to a package of their own.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME mirrowen)

if(MIRROWEN_SANITIZE)
  # The sanitizer build ends every run with a leak report and exit code 1:
  # it is for the tests, never for installing.
  install(CODE "message(FATAL_ERROR \"This is the sanitizer test tree; install from the optimised one: cmake --preset release && cmake --build --preset release && cmake --install build/release\")")
endif()

# Compressed as Debian wants them: best compression, no name or time stamp,
# so the same source gives the same bytes.
function(mirrowen_gzip source output)
  add_custom_command(OUTPUT ${output}
                     COMMAND gzip -9nc ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
endfunction()
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_out})
mirrowen_gzip(${CMAKE_SOURCE_DIR}/docs/mirrowen.6 ${packaging_out}/mirrowen.6.gz)
mirrowen_gzip(${CMAKE_SOURCE_DIR}/packaging/debian/changelog ${packaging_out}/changelog.Debian.gz)
add_custom_target(mirrowen_compressed_docs ALL
                  DEPENDS ${packaging_out}/mirrowen.6.gz ${packaging_out}/changelog.Debian.gz)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/mirrowen.desktop.in ${packaging_out}/mirrowen.desktop @ONLY)

install(TARGETS mirrowen RUNTIME DESTINATION ${MIRROWEN_HACK_DIR})
# Without the compiler's version notes, as Debian strips its own programs.
install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${MIRROWEN_HACK_DIR}/mirrowen\"
                              COMMAND_ERROR_IS_FATAL ANY)")
if(TARGET mirrowen_wayland)
  # On Wayland idle daemons and lockers start it by name: on the PATH too.
  file(CREATE_LINK ../${MIRROWEN_HACK_DIR}/mirrowen ${packaging_out}/mirrowen SYMBOLIC)
  install(FILES ${packaging_out}/mirrowen DESTINATION bin)
  # --wayland --idle as a user service, off until the user enables it.
  install(FILES packaging/debian/mirrowen-idle.service DESTINATION lib/systemd/user)
endif()
install(FILES linux/x11/mirrowen.xml DESTINATION share/xscreensaver/config)
install(FILES ${packaging_out}/mirrowen.6.gz DESTINATION share/man/man6)
# mate-screensaver (and newer xfce4-screensaver) find display modes here.
install(FILES ${packaging_out}/mirrowen.desktop DESTINATION share/applications/screensavers)
install(FILES packaging/debian/copyright packaging/debian/README.Debian ${packaging_out}/changelog.Debian.gz
        DESTINATION ${MIRROWEN_DOC_DIR})

# The Debian package: cpack -G DEB in this tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirrowen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Pelloquin)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelloquin <mirrowen@pelloquin.invalid>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver | mate-screensaver")
if(TARGET mirrowen_wayland)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "swayidle")
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "glowing star field screen saver for XScreenSaver
Mirrowen is an OpenGL display mode: a field of glowing, spinning, pulsating
stars is born at up to four moving origins, falls or rises under gravity,
bounces, shrinks and is born again, while coronas turn around each origin
and an optional lens flare runs through the centre of the screen.

On Wayland desktops, mirrowen --wayland draws on every output, started
by an idle daemon such as swayidle or behind a locker's lock screen; the
user service mirrowen-idle (mirrowen --wayland --idle 300) starts it by
itself on GNOME, KDE Plasma, sway and Hyprland.

Its settings file is a registry file that the Windows version of the
screen saver can read.")
# Two packages from the one tree: mirrowen, and mirrowen-settings (GTK), so
# that XScreenSaver users do not pull in GTK.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_MIRROWEN_PACKAGE_NAME mirrowen)
# What mirrowen recommends and suggests is its own, not the settings window's.
set(CPACK_DEBIAN_MIRROWEN_PACKAGE_RECOMMENDS ${CPACK_DEBIAN_PACKAGE_RECOMMENDS})
set(CPACK_DEBIAN_MIRROWEN_PACKAGE_SUGGESTS ${CPACK_DEBIAN_PACKAGE_SUGGESTS})
unset(CPACK_DEBIAN_PACKAGE_RECOMMENDS)
unset(CPACK_DEBIAN_PACKAGE_SUGGESTS)
if(TARGET mirrowen-settings)
  list(APPEND CPACK_DEBIAN_MIRROWEN_PACKAGE_SUGGESTS mirrowen-settings)
  list(JOIN CPACK_DEBIAN_MIRROWEN_PACKAGE_SUGGESTS ", " CPACK_DEBIAN_MIRROWEN_PACKAGE_SUGGESTS)
  set(CPACK_DEBIAN_SETTINGS_PACKAGE_NAME mirrowen-settings)
  # Its Test button runs the screen saver.
  set(CPACK_DEBIAN_SETTINGS_PACKAGE_DEPENDS "mirrowen (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})")
  set(CPACK_DEBIAN_SETTINGS_DESCRIPTION "settings window for the Mirrowen screen saver
A GTK window, listed in the desktop's application menu as Mirrowen,
that sets every value of the Mirrowen screen saver beside a live preview
of the star field: the presets, the stars, the origins, bouncing and the
frame rate. A Test button shows the screen saver itself, on X11 and on
Wayland desktops.")
  set(MIRROWEN_SETTINGS_DEB_NAME
      mirrowen-settings_${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb
      CACHE INTERNAL "")
endif()
include(CPack)
# The name the DEB generator gives the package.
set(MIRROWEN_DEB_NAME mirrowen_${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb CACHE INTERNAL "")
