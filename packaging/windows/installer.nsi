; kalpo-<version>-setup.exe: the zip's tree for all users (Program Files) or
; for the current user alone (its own programs folder), one scope chosen on
; the first page or by /ALLUSERS or /CURRENTUSER: kalpo.exe on that scope's
; PATH, a Start-menu entry opening the panel, and as components the virtual
; printer (off: a workstation with a printer keeps the makers' DLLs) and
; kalpo serve started at logon.  It installs and removes files by a list
; (files.nsh, made by make dist from the tree), never a folder with what it
; holds: a folder holding other files than an earlier KALPO's is refused
; unless /FORCE says otherwise, and what others put in it stays.  A run that
; leaves a component out removes it.
;   makensis -DVERSION=4.0.0 -DTREE=<the zip's tree> -DFILES=<files.nsh> -DOUTFILE=<setup.exe> installer.nsi
;   setup.exe /S [/ALLUSERS | /CURRENTUSER] [/VIRTUAL] [/SERVE] [/FORCE] [/D=folder]
Unicode true
SetCompressor /SOLID lzma
; No file times in the installer: the same tree gives the same bytes.
SetDateSave off

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "KALPO"
!include MultiUser.nsh
!include MUI2.nsh
!include WordFunc.nsh
!include FileFunc.nsh
!include Sections.nsh
!include LogicLib.nsh

Name "KALPO ${VERSION}"
OutFile "${OUTFILE}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KALPO"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define MACHINE_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_LICENSE "${TREE}\LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Adds (+) or removes (-) $INSTDIR\bin in the scope's PATH (the machine's or
; the user's), drops the value when nothing is left in it, and tells the
; running programs.
!macro ScopePath un sign
  ${If} $MultiUser.InstallMode == AllUsers
    ReadRegStr $0 HKLM "${MACHINE_ENVIRONMENT}" "Path"
  ${Else}
    ReadRegStr $0 HKCU "Environment" "Path"
  ${EndIf}
  ${${un}WordAdd} "$0" ";" "${sign}$INSTDIR\bin" $1
  ${If} $MultiUser.InstallMode == AllUsers
    WriteRegExpandStr HKLM "${MACHINE_ENVIRONMENT}" "Path" "$1"
  ${ElseIf} $1 == ""
    DeleteRegValue HKCU "Environment" "Path"
  ${Else}
    WriteRegExpandStr HKCU "Environment" "Path" "$1"
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Var Force
Var Fresh  ; 1: no KALPO was installed in the folder before this run

; A file of the list: installed unless the folder held a file of that name
; before KALPO was first installed there, which is then kept and listed in
; kalpo-kept.ini, so that neither this run nor the uninstaller touches it.
!define KEPT "$INSTDIR\kalpo-kept.ini"
!macro KALPO_FILE target source
  ReadINIStr $R0 "${KEPT}" kept "${target}"
  ${If} $R0 != 1
  ${AndIf} $Fresh == 1
  ${AndIf} ${FileExists} "$INSTDIR\${target}"
    WriteINIStr "${KEPT}" kept "${target}" 1
    StrCpy $R0 1
  ${EndIf}
  ${If} $R0 != 1
    File "/oname=$INSTDIR\${target}" "${source}"
  ${EndIf}
!macroend
!macro KALPO_REMOVE target
  ReadINIStr $R0 "${KEPT}" kept "${target}"
  ${If} $R0 != 1
    Delete "$INSTDIR\${target}"
  ${EndIf}
!macroend
!include "${FILES}"

; A folder that holds files and no earlier KALPO is another program's.
Function RefuseForeignFolder
  ${If} ${FileExists} "$INSTDIR\*.*"
  ${AndIfNot} ${FileExists} "$INSTDIR\uninstall.exe"
  ${AndIf} $Force != 1
    FindFirst $0 $1 "$INSTDIR\*.*"
    ${DoWhile} $1 != ""
      ${If} $1 != "."
      ${AndIf} $1 != ".."
        ${ExitDo}
      ${EndIf}
      FindNext $0 $1
    ${Loop}
    FindClose $0
    ${If} $1 != ""
      IfSilent +3
      MessageBox MB_YESNO|MB_ICONEXCLAMATION "$INSTDIR already holds other files ($1 ...).$\r$\nInstall KALPO among them anyway? The uninstaller removes only KALPO's own files." IDYES done
      Goto refuse
      refuse:
        SetErrorLevel 2
        Abort "$INSTDIR holds other programs' files: choose an empty folder (or /FORCE)"
      done:
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "KALPO (required)" SecKalpo
  SectionIn RO
  Call RefuseForeignFolder
  StrCpy $Fresh 1
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    StrCpy $Fresh 0
  ${EndIf}
  !insertmacro KALPO_INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "KALPO ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Zantrello"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S /$MultiUser.InstallMode'
  !insertmacro ScopePath "" "+"
  CreateDirectory "$SMPROGRAMS\KALPO"
  WriteINIStr "$SMPROGRAMS\KALPO\KALPO panel.url" "InternetShortcut" "URL" "http://127.0.0.1:8123/"
  CreateShortcut "$SMPROGRAMS\KALPO\Uninstall KALPO.lnk" "$INSTDIR\uninstall.exe" "/$MultiUser.InstallMode"
SectionEnd

; In bin\virtual-printer\ below kalpo.dll's folder, where kalpo.dll looks
; last: a maker's own DLL of the same name, found first, answers instead.
Section /o "Virtual printer (only without a printer)" SecVirtual
  !insertmacro KALPO_INSTALL_VIRTUAL_FILES
SectionEnd

Section /o "Start kalpo serve at logon" SecServe
  WriteRegStr SHCTX "${RUN_KEY}" "KALPO serve" '"$INSTDIR\bin\kalpo.exe" serve'
SectionEnd

; A run that leaves a component out removes it, as an earlier run installed it.
Section "-Components left out"
  ${IfNot} ${SectionIsSelected} ${SecVirtual}
    !insertmacro KALPO_REMOVE_VIRTUAL_FILES
    ; Where 4.0.0 put them, beside kalpo.dll, with its README in
    ; virtual-printer\: only there, only those.
    ${If} ${FileExists} "$INSTDIR\virtual-printer\README.txt"
    Delete "$INSTDIR\virtual-printer\README.txt"
    RMDir "$INSTDIR\virtual-printer"
    Delete "$INSTDIR\bin\BEMAFI32.DLL"
    Delete "$INSTDIR\bin\CONVECF.dll"
    Delete "$INSTDIR\bin\fs345_32.dll"
    Delete "$INSTDIR\bin\Daruma32.dll"
    Delete "$INSTDIR\bin\ecf32m.dll"
    Delete "$INSTDIR\bin\DllG2.dll"
    Delete "$INSTDIR\bin\DLLG2_Gerador.dll"
    Delete "$INSTDIR\bin\InterfaceEpson.dll"
    ${EndIf}
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecServe}
    DeleteRegValue SHCTX "${RUN_KEY}" "KALPO serve"
  ${EndIf}
SectionEnd

; A silent install chooses its components on the command line.
Function .onInit
  ; /D= is kept: the scope's default folder only when none is given.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/VIRTUAL" $R1
  IfErrors +2
  SectionSetFlags ${SecVirtual} ${SF_SELECTED}
  ClearErrors
  ${GetOptions} $R0 "/SERVE" $R1
  IfErrors +2
  SectionSetFlags ${SecServe} ${SF_SELECTED}
  ClearErrors
  ${GetOptions} $R0 "/FORCE" $R1
  IfErrors +2
  StrCpy $Force 1
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecKalpo} "kalpo.dll, kalpo.exe (on your PATH), the header, import libraries, bindings, examples and the API reference."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVirtual} "The virtual fiscal printer's DLLs, under the makers' DLL names, in bin\virtual-printer, where kalpo.dll looks last: a maker's own DLL found first answers instead. Its paper says it is no fiscal document. Running the installer again without it removes it."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecServe} "kalpo serve (the calls over HTTP on 127.0.0.1 and the printer panel) started at logon."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; Exactly the files installed, then each folder if nothing else is left in it.
Section "Uninstall"
  DeleteRegValue SHCTX "${RUN_KEY}" "KALPO serve"
  !insertmacro ScopePath "un." "-"
  !insertmacro KALPO_REMOVE_VIRTUAL_FILES
  !insertmacro KALPO_REMOVE_FILES
  Delete "${KEPT}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\KALPO\KALPO panel.url"
  Delete "$SMPROGRAMS\KALPO\Uninstall KALPO.lnk"
  RMDir "$SMPROGRAMS\KALPO"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
