# SPDX-License-Identifier: GPL-3.0-or-later
# The deploy step for a Windows build made without windeployqt (a cross build from Linux, whose
# Qt for the host has no Windows deploy tool): the install rules themselves put beside zanfiro.exe
# what it needs to start on a PC that has nothing but Windows.
#
#   Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll     the libraries the program links
#   platforms/qwindows.dll                      the window system
#   styles/qwindowsvistastyle.dll               the look of the system's own buttons and boxes
#   libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll   MinGW's run time, which Qt's DLLs need
#   licences/qt/*                               Qt's licence texts (LGPL 3 and the parts it bundles)
#
# The component "tests" adds the unit and view tests with Qt Test and the offscreen platform, so
# they run from the same folder; the packages leave it out. With CMAKE_INSTALL_DO_STRIP (set by
# `cmake --install --strip` and by CPack) the DLLs are stripped like the program.

set(ZANFIRO_QT_LICENSE_DIR "" CACHE PATH
  "Folder with Qt's licence texts, shipped with the Qt libraries in the Windows packages")
if(NOT IS_DIRECTORY "${ZANFIRO_QT_LICENSE_DIR}")
  message(FATAL_ERROR "A Windows package that carries Qt's DLLs must carry Qt's licence texts: "
    "set ZANFIRO_QT_LICENSE_DIR to the folder holding them (LGPL-3.0-only.txt, ...)")
endif()

# The compiler's own run-time DLLs, where the compiler itself finds them.
set(ZANFIRO_MINGW_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  list(APPEND ZANFIRO_MINGW_RUNTIME ${found})
endforeach()

# The deployed DLLs, each installed and, on request, stripped where it lands.
function(zanfiro_deploy_dlls component destination)
  set(installed)
  foreach(dll ${ARGN})
    install(FILES ${dll} DESTINATION ${destination} COMPONENT ${component}
      ${ZANFIRO_DEPLOY_${component}_OPTIONS})
    if(dll MATCHES "^\\$<TARGET_FILE:(.+)>$")
      list(APPEND installed "${destination}/$<TARGET_FILE_NAME:${CMAKE_MATCH_1}>")
    else()
      get_filename_component(name ${dll} NAME)
      list(APPEND installed "${destination}/${name}")
    endif()
  endforeach()
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(dll ${installed})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${CMAKE_INSTALL_PREFIX}/\${dll}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()" COMPONENT ${component} ${ZANFIRO_DEPLOY_${component}_OPTIONS})
endfunction()

set(ZANFIRO_DEPLOY_tests_OPTIONS EXCLUDE_FROM_ALL)
zanfiro_deploy_dlls(${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME} .
  $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> ${ZANFIRO_MINGW_RUNTIME})
zanfiro_deploy_dlls(${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME} platforms $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>)
zanfiro_deploy_dlls(${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME} styles $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>)
install(DIRECTORY ${ZANFIRO_QT_LICENSE_DIR}/ DESTINATION licences/qt)

if(TARGET zanfiro_view_tests)
  # Found again here: the tests' folder found it for itself only.
  find_package(Qt6 REQUIRED COMPONENTS Test)
  zanfiro_deploy_dlls(tests . $<TARGET_FILE:Qt6::Test>)
  zanfiro_deploy_dlls(tests platforms $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>)
  install(TARGETS zanfiro_core_tests zanfiro_view_tests RUNTIME DESTINATION . COMPONENT tests EXCLUDE_FROM_ALL)
endif()
