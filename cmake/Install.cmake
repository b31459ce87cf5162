# SPDX-License-Identifier: GPL-3.0-or-later
# Where `cmake --install` puts the program and what a desktop needs to offer
# it, and the Debian package made of the same tree by `cpack -G DEB`.
include(GNUInstallDirs)

install(TARGETS quillon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Stripped (the package, `cmake --install --strip`), the program keeps no
# notes of the compilers that built its pieces either.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillon\")
    endif()")
endif()
install(FILES dist/org.quillon.Quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/org.quillon.Quillon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES dist/org.quillon.Quillon.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog are installed compressed, as man-db and
# Debian expect.
find_program(QUILLON_GZIP gzip)
function(quillon_compressed file destination)
  get_filename_component(name ${file} NAME)
  if(QUILLON_GZIP)
    set(packed ${PROJECT_BINARY_DIR}/dist/${name}.gz)
    add_custom_command(OUTPUT ${packed} COMMAND ${QUILLON_GZIP} -9nc ${file} > ${packed} DEPENDS ${file} VERBATIM)
    add_custom_target(quillon_${name} ALL DEPENDS ${packed})
    install(FILES ${packed} DESTINATION ${destination})
  else()
    install(FILES ${file} DESTINATION ${destination})
  endif()
endfunction()
quillon_compressed(${PROJECT_SOURCE_DIR}/dist/quillon.1 ${CMAKE_INSTALL_MANDIR}/man1)

# The bot's user units name the program where it is installed: the path is
# filled in when they are installed, so a package made for another prefix
# (cpack -D CPACK_PACKAGING_INSTALL_PREFIX=/usr) names its own program.
set(QUILLON_BOT_EXECUTABLE "@QUILLON_BOT_EXECUTABLE@")
foreach(unit quillon-bot.service quillon-bot@.service)
  configure_file(dist/${unit}.in ${PROJECT_BINARY_DIR}/dist/${unit}.in @ONLY)
  install(CODE "set(QUILLON_BOT_EXECUTABLE \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillon\")
    configure_file(\"${PROJECT_BINARY_DIR}/dist/${unit}.in\" \"${PROJECT_BINARY_DIR}/dist/${unit}\" @ONLY)")
  install(FILES ${PROJECT_BINARY_DIR}/dist/${unit} DESTINATION lib/systemd/user)
endforeach()

# A build folder made before the address was a real one forgets the old default.
if(QUILLON_PACKAGE_MAINTAINER STREQUAL "Quillon developers <quillon@localhost>")
  unset(QUILLON_PACKAGE_MAINTAINER CACHE)
endif()
set(QUILLON_PACKAGE_MAINTAINER "Quillon developers <quillon@quillon.example.org>"
  CACHE STRING "The Maintainer field of the Debian package, and the changelog's signer")

# What Debian asks of every package's documentation folder: the licence in
# its machine-readable form, and the changelog.
set(quillon_doc ${CMAKE_INSTALL_DATADIR}/doc/quillon)
install(FILES dist/debian/copyright DESTINATION ${quillon_doc})
configure_file(dist/debian/changelog.in ${PROJECT_BINARY_DIR}/dist/changelog @ONLY)
quillon_compressed(${PROJECT_BINARY_DIR}/dist/changelog ${quillon_doc})
install(FILES dist/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillon)

set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR Quillon)
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
