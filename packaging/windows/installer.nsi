; The Windows installer of the configurator: per machine, under Program Files, in Russian.
; Built by scripts/windows-package.sh, which defines VERSION, DIST (the folder make windows-gui
; assembles), LICENCE (the text shown before the installation) and OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include x64.nsh

!define PRODUCT "Конфигуратор ОРСА"
!define PUBLISHER "ORSA configurator maintainers"
!define EXE "orsa-configurator.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\orsa-configurator"
!define PROGID "OrsaConfigurator.cfg"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${DIST}\orsa-configurator.ico"
!define MUI_UNICON "${DIST}\orsa-configurator.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "install"
  SetOutPath "$INSTDIR"
  File /r "${DIST}/*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Settings files (.cfg) open in the program. Other programs use the suffix too: the program is
  ; always offered under "Open with", and becomes the default only where no other program is.
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Файл настроек маяка ОРСА"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
  WriteRegStr HKLM "Software\Classes\.cfg\OpenWithProgids" "${PROGID}" ""
  ReadRegStr $0 HKLM "Software\Classes\.cfg" ""
  StrCmp $0 "" 0 +2
    WriteRegStr HKLM "Software\Classes\.cfg" "" "${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "uninstall"
  ; config.ini stays: it holds the technician's folders and phone number.
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\orsa-configurator.ico"
  Delete "$INSTDIR\LICENSE.txt"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\translations"
  RMDir /r "$INSTDIR\licences"
  RMDir "$INSTDIR"

  ReadRegStr $0 HKLM "Software\Classes\.cfg" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegValue HKLM "Software\Classes\.cfg" ""
  DeleteRegValue HKLM "Software\Classes\.cfg\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "Software\Classes\.cfg\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "Software\Classes\.cfg"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
