# SPDX-License-Identifier: GPL-3.0-or-later
# Windows: one folder holding the program with its sounds, Qt's libraries and plugins and the
# compiler's run-time libraries; `cpack` makes a zip of it (unzip and run zanfiro.exe) and, where
# NSIS is installed, an installer that adds a Start-menu entry and an uninstaller.
#
#   zanfiro.exe, Qt6*.dll, qt.conf, the compiler's run-time DLLs
#   platforms, styles, ...                         Qt's plugins
#   licences/qt                                    Qt's licence texts (a build deployed without windeployqt)
#   suoni/*.wav                                    the sounds, found beside the program
#   LICENSE.txt, LICENSE-fonts.txt                 the game's and the shipped fonts' licences

# Qt's deploy script puts the libraries in the install folder's "bin": the program's own folder.
set(CMAKE_INSTALL_BINDIR .)
install(TARGETS zanfiro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY sound/suoni/ DESTINATION suoni FILES_MATCHING PATTERN "*.wav")
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES app/qt/fonts/LICENSE DESTINATION . RENAME LICENSE-fonts.txt)

# Qt's libraries and plugins beside the program. A build on Windows has Qt's windeployqt, which Qt's
# deploy script runs on the installed program (Qt 6.5 renamed the option that names the script); a
# build cross-compiled on Linux has none and deploys through rules of its own.
if(CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/DeployWindowsQt.cmake)
elseif(COMMAND qt_generate_deploy_app_script)
  if(Qt6_VERSION VERSION_GREATER_EQUAL 6.5)
    qt_generate_deploy_app_script(TARGET zanfiro OUTPUT_SCRIPT ZANFIRO_DEPLOY_SCRIPT NO_TRANSLATIONS
      NO_UNSUPPORTED_PLATFORM_ERROR)
  else()
    qt_generate_deploy_app_script(TARGET zanfiro FILENAME_VARIABLE ZANFIRO_DEPLOY_SCRIPT
      NO_UNSUPPORTED_PLATFORM_ERROR)
  endif()
  install(SCRIPT ${ZANFIRO_DEPLOY_SCRIPT})
endif()
# The Visual C++ run-time libraries, so the folder runs on a PC without them.
set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
include(InstallRequiredSystemLibraries)

set(CPACK_PACKAGE_NAME Zanfiro)
set(CPACK_PACKAGE_VENDOR "Zanfiro developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zanfiro, arithmetic game for primary-school pupils")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zanfiro)
set(CPACK_PACKAGE_FILE_NAME zanfiro-${PROJECT_VERSION}-windows-x64)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# One package of everything installed by default: no choice of parts, and the tests left out.
set(CPACK_MONOLITHIC_INSTALL ON)
# The Start-menu entry: the program is at the top of the install folder, not in "bin".
set(CPACK_PACKAGE_EXECUTABLES zanfiro Zanfiro)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_DISPLAY_NAME Zanfiro)
set(CPACK_NSIS_PACKAGE_NAME Zanfiro)
set(CPACK_NSIS_INSTALLED_ICON_NAME zanfiro.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/data/icons/zanfiro.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/data/icons/zanfiro.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program: it installs into the 64-bit "Program Files", and runs
# where 32-bit programs cannot (wine64 without wine32, Windows without its 32-bit layer).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN zanfiro.exe)
# The teacher's entry: the class's results. A shortcut's name is a file name, where Windows allows
# no colon; its description (the tooltip) reads as the entry's title. CPack reads these texts once
# more as CMake code, hence the doubled backslashes.
set(ZANFIRO_RESULTS_LINK [[$SMPROGRAMS\\$STARTMENU_FOLDER\\Zanfiro - risultati della classe.lnk]])
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "CreateShortCut '${ZANFIRO_RESULTS_LINK}' '$INSTDIR\\\\zanfiro.exe' '--risultati' '$INSTDIR\\\\zanfiro.exe' 0 SW_SHOWNORMAL '' 'Zanfiro: risultati della classe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '${ZANFIRO_RESULTS_LINK}'")

set(CPACK_GENERATOR ZIP)
set(ZANFIRO_PROGRAM_FILES_X86 "ProgramFiles(x86)")
find_program(ZANFIRO_MAKENSIS makensis PATHS "$ENV{ProgramFiles}/NSIS" "$ENV{${ZANFIRO_PROGRAM_FILES_X86}}/NSIS")
if(ZANFIRO_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
endif()
set(CPACK_SOURCE_GENERATOR ZIP)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
