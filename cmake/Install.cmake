# Where `cmake --install` puts the program and what a desktop needs to offer
# it, and the Debian package made of the same tree by `cpack -G DEB`.
include(GNUInstallDirs)

install(TARGETS quillon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES dist/org.quillon.Quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/org.quillon.Quillon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES dist/org.quillon.Quillon.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages are installed compressed, as man-db and Debian expect.
find_program(QUILLON_GZIP gzip)
if(QUILLON_GZIP)
  set(quillon_man ${PROJECT_BINARY_DIR}/dist/quillon.1.gz)
  add_custom_command(OUTPUT ${quillon_man}
    COMMAND ${QUILLON_GZIP} -9nc ${PROJECT_SOURCE_DIR}/dist/quillon.1 > ${quillon_man}
    DEPENDS dist/quillon.1 VERBATIM)
  add_custom_target(quillon_man ALL DEPENDS ${quillon_man})
else()
  set(quillon_man dist/quillon.1)
endif()
install(FILES ${quillon_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The bot's user unit names the program where it is installed.
set(QUILLON_BOT_EXECUTABLE ${CMAKE_INSTALL_FULL_BINDIR}/quillon)
configure_file(dist/quillon-bot.service.in ${PROJECT_BINARY_DIR}/dist/quillon-bot.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/dist/quillon-bot.service DESTINATION lib/systemd/user)

set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR Quillon)
set(QUILLON_PACKAGE_MAINTAINER "Quillon developers <quillon@localhost>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${QUILLON_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music player that serves a chat room")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quillon plays your audio files and sits in an instant-messaging chat room
at the same time: it reads every line said there, obeys the commands you
type and posts short notices into the room, above all a now-playing line.]=])
# The package holds the tree the build was configured for, so the paths
# written into its files (the bot's unit) are where the files land.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no linker sees them: libmpv when the first song
# starts, and Qt's SVG plugins for the icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmpv2, libqt6svg6")
include(CPack)
