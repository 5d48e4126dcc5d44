# What the Windows window program needs beside it, installed into one folder (make windows-gui puts
# it in build/windows-gui/dist): the programs, Qt's DLLs and the two plugins the window uses, the
# compiler's runtime DLLs, qt.conf, Qt's Russian texts and the licence texts. A cross build has no
# windeployqt, so the list is kept here; the dist test checks it against the DLLs the files import.
include_guard(GLOBAL)

install(TARGETS orsa-configurator orsactl RUNTIME DESTINATION .)

foreach(module Core Gui Widgets)
  install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${module} RUNTIME DESTINATION .)
endforeach()
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms RUNTIME DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles RUNTIME DESTINATION styles)

# The Qt DLLs bring mingw-w64's C++ runtime, so the programs use the same one (not a static copy).
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${dll}: install g++-mingw-w64-x86-64-posix")
  endif()
  install(FILES ${found} DESTINATION .)
endforeach()

# Qt finds its plugins beside the program and its texts in translations/.
file(WRITE ${CMAKE_BINARY_DIR}/qt.conf "[Paths]\nPrefix=.\nPlugins=.\nTranslations=translations\n")
install(FILES ${CMAKE_BINARY_DIR}/qt.conf DESTINATION .)
set(ORSA_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Debian's Qt translations (qt6-translations-l10n)")
if(NOT EXISTS ${ORSA_QT_TRANSLATIONS}/qtbase_ru.qm)
  message(FATAL_ERROR "${ORSA_QT_TRANSLATIONS}/qtbase_ru.qm is missing: install qt6-translations-l10n")
endif()
install(FILES ${ORSA_QT_TRANSLATIONS}/qtbase_ru.qm DESTINATION translations)

# Which Debian source this Qt was built from, for its notice (scripts/build-qt-mingw.sh builds the
# version of the host's Qt tools).
execute_process(COMMAND dpkg-query -W -f=\${Version} qt6-base-dev-tools OUTPUT_VARIABLE ORSA_QT_DEBIAN_VERSION
                COMMAND_ERROR_IS_FATAL ANY)
set(ORSA_QT_VERSION ${Qt6_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/QT-NOTICE.txt.in ${CMAKE_BINARY_DIR}/licences/QT-NOTICE.txt @ONLY)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${CMAKE_BINARY_DIR}/licences/QT-NOTICE.txt DESTINATION licences)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION licences RENAME LGPL-3.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licences RENAME GPL-3.txt)
install(FILES /usr/share/doc/libqt6core6/copyright DESTINATION licences RENAME qt6-base-copyright.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licences RENAME gcc-runtime-copyright.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licences RENAME mingw-w64-copyright.txt)
install(FILES ${CMAKE_BINARY_DIR}/src/app/orsa-configurator.ico DESTINATION .)
