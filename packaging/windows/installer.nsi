; kalpo-<version>-setup.exe: the zip's tree under Program Files (x86)\KALPO,
; kalpo.exe on the user's PATH, a Start-menu entry opening the panel, and as
; components the virtual printer (off: a workstation with a printer keeps the
; makers' DLLs) and kalpo serve started with the user's session.  The
; uninstaller removes what was installed, PATH entry and Run value included.
;   makensis -DVERSION=4.0.0 -DTREE=<the zip's tree> -DOUTFILE=<setup.exe> installer.nsi
Unicode true
SetCompressor /SOLID lzma
; No file times in the installer: the same tree gives the same bytes.
SetDateSave off
!include MUI2.nsh
!include WordFunc.nsh
!include FileFunc.nsh
!include Sections.nsh
!include LogicLib.nsh

Name "KALPO ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES32\KALPO"
RequestExecutionLevel admin
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KALPO"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

!insertmacro MUI_PAGE_LICENSE "${TREE}\LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Adds (+) or removes (-) $INSTDIR\bin in the user's PATH and tells the
; running programs.
!macro UserPath un sign
  ReadRegStr $0 HKCU "Environment" "Path"
  ${${un}WordAdd} "$0" ";" "${sign}$INSTDIR\bin" $1
  WriteRegExpandStr HKCU "Environment" "Path" "$1"
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Section "KALPO (required)" SecKalpo
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r "${TREE}\bin"
  File /r "${TREE}\include"
  File /r "${TREE}\lib"
  File /r "${TREE}\bindings"
  File /r "${TREE}\examples"
  File /r "${TREE}\doc"
  File "${TREE}\README.txt" "${TREE}\CHANGELOG.md" "${TREE}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KALPO ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Zantrello"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  !insertmacro UserPath "" "+"
  CreateDirectory "$SMPROGRAMS\KALPO"
  WriteINIStr "$SMPROGRAMS\KALPO\KALPO panel.url" "InternetShortcut" "URL" "http://127.0.0.1:8123/"
  CreateShortcut "$SMPROGRAMS\KALPO\Uninstall KALPO.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

; In virtual-printer\ below kalpo.dll's folder, where kalpo.dll looks last: a
; maker's own DLL of the same name, found first, answers instead.
Section /o "Virtual printer (only without a printer)" SecVirtual
  SetOutPath "$INSTDIR\bin\virtual-printer"
  File "${TREE}\virtual-printer\*.dll"
  File "${TREE}\virtual-printer\README.txt"
SectionEnd

Section /o "Start kalpo serve with the session" SecServe
  WriteRegStr HKCU "${RUN_KEY}" "KALPO serve" '"$INSTDIR\bin\kalpo.exe" serve'
SectionEnd

; A run that leaves a component out removes it, as an earlier run installed it.
Section "-Components left out"
  ${IfNot} ${SectionIsSelected} ${SecVirtual}
    RMDir /r "$INSTDIR\bin\virtual-printer"
    ; Where earlier releases put them: beside kalpo.dll.
    Delete "$INSTDIR\bin\BEMAFI32.DLL"
    Delete "$INSTDIR\bin\CONVECF.dll"
    Delete "$INSTDIR\bin\fs345_32.dll"
    Delete "$INSTDIR\bin\Daruma32.dll"
    Delete "$INSTDIR\bin\ecf32m.dll"
    Delete "$INSTDIR\bin\DllG2.dll"
    Delete "$INSTDIR\bin\DLLG2_Gerador.dll"
    Delete "$INSTDIR\bin\InterfaceEpson.dll"
    RMDir /r "$INSTDIR\virtual-printer"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecServe}
    DeleteRegValue HKCU "${RUN_KEY}" "KALPO serve"
  ${EndIf}
SectionEnd

; A silent install chooses its components on the command line:
;   setup.exe /S [/VIRTUAL] [/SERVE] [/D=folder]
Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/VIRTUAL" $R1
  IfErrors +2
  SectionSetFlags ${SecVirtual} ${SF_SELECTED}
  ClearErrors
  ${GetOptions} $R0 "/SERVE" $R1
  IfErrors +2
  SectionSetFlags ${SecServe} ${SF_SELECTED}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecKalpo} "kalpo.dll, kalpo.exe (on your PATH), the header, import libraries, bindings, examples and the API reference."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVirtual} "The virtual fiscal printer's DLLs, under the makers' DLL names, in bin\virtual-printer, where kalpo.dll looks last: a maker's own DLL found first answers instead. Its paper says it is no fiscal document. Running the installer again without it removes it."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecServe} "kalpo serve (the calls over HTTP on 127.0.0.1 and the printer panel) started when you log on."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  DeleteRegValue HKCU "${RUN_KEY}" "KALPO serve"
  !insertmacro UserPath "un." "-"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\include"
  RMDir /r "$INSTDIR\lib"
  RMDir /r "$INSTDIR\bindings"
  RMDir /r "$INSTDIR\examples"
  RMDir /r "$INSTDIR\doc"
  RMDir /r "$INSTDIR\virtual-printer"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\CHANGELOG.md"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\KALPO\KALPO panel.url"
  Delete "$SMPROGRAMS\KALPO\Uninstall KALPO.lnk"
  RMDir "$SMPROGRAMS\KALPO"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
