; The Windows setup of Korvane (NSIS 3, makensis). tools/package-windows.sh
; runs it on a staged program folder with:
;   -DVERSION=x.y.z      the program's version
;   -DSTAGE=folder       the program folder as installed (cmake --install)
;   -DREMOVE=file.nsh    Delete/RMDir commands of exactly the staged files
;   -DICON=korvane.ico   the setup's icon
;   -DOUTFILE=setup.exe
; It installs into Program Files\Korvane for every user (administrator
; rights), adds the Start-menu entries, opens .SHA and .SHT files with
; Korvane and registers its uninstaller. The uninstaller removes exactly the
; files the setup wrote: a folder that still holds files of the user's stays.
; Both run without questions with /S.
; A 64-bit setup for the 64-bit program (Windows itself refuses it on a
; 32-bit system).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define DISPLAY_NAME "超声回弹综合法 Korvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"

Name "${DISPLAY_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Korvane"
InstallDirRegKey HKLM "Software\Korvane" "InstallDir"
BrandingText "Korvane ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Korvane"
VIAddVersionKey /LANG=2052 "FileDescription" "${DISPLAY_NAME} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© 2022-2026 The Korvane developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvane.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; A file type opened with Korvane: extension, type name, description.
!macro FileType EXT TYPE TEXT
  WriteRegStr HKLM "Software\Classes\.${EXT}" "" "${TYPE}"
  WriteRegStr HKLM "Software\Classes\${TYPE}" "" "${TEXT}"
  WriteRegStr HKLM "Software\Classes\${TYPE}\DefaultIcon" "" "$INSTDIR\korvane.exe,0"
  WriteRegStr HKLM "Software\Classes\${TYPE}\shell\open\command" "" '"$INSTDIR\korvane.exe" "%1"'
!macroend

; Removes a file type, the extension only while it still names Korvane's type.
!macro un.FileType EXT TYPE
  ReadRegStr $0 HKLM "Software\Classes\.${EXT}" ""
  StrCmp $0 "${TYPE}" 0 +2
  DeleteRegKey HKLM "Software\Classes\.${EXT}"
  DeleteRegKey HKLM "Software\Classes\${TYPE}"
!macroend

Section "Korvane"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Korvane"
  CreateShortcut "$SMPROGRAMS\Korvane\${DISPLAY_NAME}.lnk" "$INSTDIR\korvane.exe"
  CreateShortcut "$SMPROGRAMS\Korvane\卸载 Korvane.lnk" "$INSTDIR\uninstall.exe"

  !insertmacro FileType SHA "Korvane.SHA" "超声回弹综合法结果文件"
  !insertmacro FileType SHT "Korvane.SHT" "超声回弹综合法原始数据文件"

  WriteRegStr HKLM "Software\Korvane" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Korvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The file manager shows the new file types' icon and program.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: files the user put there stay, and so does their folder.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Korvane\${DISPLAY_NAME}.lnk"
  Delete "$SMPROGRAMS\Korvane\卸载 Korvane.lnk"
  RMDir "$SMPROGRAMS\Korvane"

  !insertmacro un.FileType SHA "Korvane.SHA"
  !insertmacro un.FileType SHT "Korvane.SHT"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Korvane"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
