# SPDX-License-Identifier: GPL-3.0-or-later
# Where `cmake --install` puts the game, and the Debian package CPack makes of it (Windows:
# PackagingWindows.cmake).
#
# The game looks for its sounds in "suoni" beside its own executable, so on Linux the program lives
# in a private folder with a link to it on the PATH:
#   bin/zanfiro              -> ../lib/zanfiro/zanfiro   (Qt resolves the link through /proc/self/exe)
#   lib/zanfiro/zanfiro
#   lib/zanfiro/suoni        -> ../../share/zanfiro/suoni
#   share/zanfiro/suoni/*.wav
#   share/applications, share/metainfo, share/icons/hicolor: the desktop's menu entry, description, icons
include(GNUInstallDirs)

set(ZANFIRO_APP_ID it.zanfiro.Zanfiro)
set(ZANFIRO_ICON_DIR ${CMAKE_CURRENT_SOURCE_DIR}/data/icons CACHE PATH
  "Folder holding zanfiro.svg and zanfiro-<size>.png")

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
  return()
endif()
if(APPLE)
  # The program and its sounds travel together as one folder.
  install(TARGETS zanfiro RUNTIME DESTINATION .)
  install(DIRECTORY sound/suoni/ DESTINATION suoni FILES_MATCHING PATTERN "*.wav")
  install(FILES app/qt/fonts/LICENSE DESTINATION . RENAME LICENSE-fonts.txt)
  return()
endif()

set(ZANFIRO_PKG_DIR lib/zanfiro)
set(ZANFIRO_SOUND_DIR ${CMAKE_INSTALL_DATADIR}/zanfiro/suoni)

# The two links are made in the build tree and installed as links, so they stay relative and work
# under any prefix, with DESTDIR, and inside the package.
function(zanfiro_install_link from_dir to_path name)
  file(RELATIVE_PATH target /prefix/${from_dir} /prefix/${to_path})
  set(link ${CMAKE_BINARY_DIR}/install-links/${from_dir}/${name})
  get_filename_component(link_dir ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${link_dir})
  file(CREATE_LINK ${target} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${from_dir})
endfunction()

install(TARGETS zanfiro RUNTIME DESTINATION ${ZANFIRO_PKG_DIR})
install(DIRECTORY sound/suoni/ DESTINATION ${ZANFIRO_SOUND_DIR} FILES_MATCHING PATTERN "*.wav")
zanfiro_install_link(${ZANFIRO_PKG_DIR} ${ZANFIRO_SOUND_DIR} suoni)
zanfiro_install_link(${CMAKE_INSTALL_BINDIR} ${ZANFIRO_PKG_DIR}/zanfiro zanfiro)

install(FILES data/${ZANFIRO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${ZANFIRO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Every size the artwork comes in, by the number in its name; re-globbed when icons come or go.
file(GLOB ZANFIRO_PNG_ICONS CONFIGURE_DEPENDS ${ZANFIRO_ICON_DIR}/zanfiro-*.png)
foreach(png ${ZANFIRO_PNG_ICONS})
  get_filename_component(png_name ${png} NAME)
  if(png_name MATCHES "^zanfiro-([0-9]+)\\.png$")
    set(px ${CMAKE_MATCH_1})
    install(FILES ${png} RENAME ${ZANFIRO_APP_ID}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${px}x${px}/apps)
  endif()
endforeach()
file(GLOB ZANFIRO_SVG_ICON CONFIGURE_DEPENDS ${ZANFIRO_ICON_DIR}/zanfiro.svg)
if(ZANFIRO_SVG_ICON)
  install(FILES ${ZANFIRO_SVG_ICON} RENAME ${ZANFIRO_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Debian wants a short copyright file rather than the licence's full text, a changelog and a manual
# page, both compressed without a time stamp so that a rebuild gives the same package.
set(ZANFIRO_DOC_STAGE ${CMAKE_BINARY_DIR}/install-links/doc)
file(WRITE ${ZANFIRO_DOC_STAGE}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: zanfiro

Files: *
Copyright: 2026 Zanfiro developers
License: GPL-3.0-or-later
 On Debian systems the full text of the GNU General Public License version 3 is in
 /usr/share/common-licenses/GPL-3.
")
# The fonts inside the program keep their own licence, whose text must travel with them.
file(READ app/qt/fonts/LICENSE ZANFIRO_FONT_LICENCE)
string(REGEX REPLACE "\n\n" "\n.\n" ZANFIRO_FONT_LICENCE "${ZANFIRO_FONT_LICENCE}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" ZANFIRO_FONT_LICENCE "${ZANFIRO_FONT_LICENCE}")
file(APPEND ${ZANFIRO_DOC_STAGE}/copyright "
Files: app/qt/fonts/*
Copyright: 2010 Google Corporation; 2012 Red Hat, Inc.
License: OFL-1.1
 ${ZANFIRO_FONT_LICENCE}")
file(WRITE ${ZANFIRO_DOC_STAGE}/changelog
"zanfiro (${PROJECT_VERSION}) stable; urgency=medium

  * First release.

 -- Zanfiro developers <zanfiro@example.invalid>  Mon, 07 Dec 2026 12:00:00 +0000
")
install(FILES ${ZANFIRO_DOC_STAGE}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
find_program(ZANFIRO_GZIP gzip)
if(ZANFIRO_GZIP)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/data/zanfiro.6)
  foreach(doc changelog ${CMAKE_CURRENT_SOURCE_DIR}/data/zanfiro.6)
    get_filename_component(doc_name ${doc} NAME)
    execute_process(COMMAND ${ZANFIRO_GZIP} -9 -n -c ${doc} WORKING_DIRECTORY ${ZANFIRO_DOC_STAGE}
      OUTPUT_FILE ${ZANFIRO_DOC_STAGE}/${doc_name}.gz COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  install(FILES ${ZANFIRO_DOC_STAGE}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${ZANFIRO_DOC_STAGE}/zanfiro.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

set(CPACK_PACKAGE_NAME zanfiro)
set(CPACK_PACKAGE_VENDOR "Zanfiro developers")
set(CPACK_PACKAGE_CONTACT "Zanfiro developers <zanfiro@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arithmetic game for primary-school pupils, in Italian")
set(CPACK_PACKAGE_DESCRIPTION
"Zanfiro trains divisibility by 5. The pupil types a name, clicks the window,
and six numbers pop up at random places: hitting a multiple of 5 scores a
point, hitting any other number costs four. A game lasts five minutes, and the
best score with its holder's name is kept for each user.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Education, not games: Debian keeps the games section for programs in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The xcb platform plugin ships in libqt6gui6; the sounds go to ALSA (libasound2), and the layout's
# fonts are inside the program.
find_program(ZANFIRO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZANFIRO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libasound2")
endif()
# What leads ALSA's default device to the desktop's sound server, PipeWire or PulseAudio. A desktop
# has one of them already; without either the sounds go straight to the sound card.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-alsa | libasound2-plugins")

set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
