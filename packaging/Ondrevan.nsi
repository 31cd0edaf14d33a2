; Ondrevan's Windows installer. Built by tools/release.sh:
;   makensis -DVERSION=x.y.z -DPROGRAM_DIR=<built program folder> -DTEXT_DIR=<read-me, licence>
;            -DICON=<Ondrevan.ico> -DOUTFILE=<setup.exe> Ondrevan.nsi
; The program folder holds no .exe but Ondrevan.exe, because the start-up entry registers the
; first .exe it finds there: the uninstaller lives in the "Uninstall" sub-folder.
; A 64-bit installer for a 64-bit program: Wine without its 32-bit half runs it too.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Ondrevan"
!define PUBLISHER "Quillmere"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\${PUBLISHER}\${PRODUCT}"
!define UNINSTALLER "Uninstall\Uninstall ${PRODUCT}.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PRODUCT}.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${TEXT_DIR}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running copy holds its .exe open: ask it to close as its close box would, and wait.
!macro CloseRunningProgram
    StrCpy $1 0
    ${Do}
        FindWindow $0 "OndrevanForm1"
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        ${If} $1 == 0
            SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
        ${EndIf}
        IntOp $1 $1 + 1
        ${If} $1 > 50
            ${Break}
        ${EndIf}
        Sleep 100
    ${Loop}
!macroend

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${PRODUCT} needs a 64-bit Windows." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Section "Install"
    SetShellVarContext all
    !insertmacro CloseRunningProgram
    SetOutPath "$INSTDIR"
    File "${PROGRAM_DIR}\${PRODUCT}.exe"
    File "${PROGRAM_DIR}\HAND-M.CUR"
    File "${TEXT_DIR}\ReadMe.txt"
    File "${TEXT_DIR}\LICENSE.txt"
    SetOutPath "$INSTDIR\Samples"
    File /r "${PROGRAM_DIR}\Samples\*"
    SetOutPath "$INSTDIR"

    CreateDirectory "$INSTDIR\Uninstall"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PRODUCT}.exe" "" \
                   "$INSTDIR\${PRODUCT}.exe" 0 SW_SHOWNORMAL "" "Clears folders on a schedule"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    SetRegView 64
    ; The uninstaller sits one folder below the program's.
    ${GetParent} "$INSTDIR" $INSTDIR
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    !insertmacro CloseRunningProgram

    ; The start-up entry, wherever the program managed to write it.
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}.exe"

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\${PRODUCT}.exe"
    Delete "$INSTDIR\HAND-M.CUR"
    Delete "$INSTDIR\ReadMe.txt"
    Delete "$INSTDIR\LICENSE.txt"
    RMDir /r "$INSTDIR\Samples"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR\Uninstall"
    ; Only if empty: files the user put here stay.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    MessageBox MB_YESNO|MB_ICONQUESTION \
        "Also remove ${PRODUCT}'s settings and its history log ($TEMP\${PRODUCT}.txt)?" \
        /SD IDYES IDNO keep_settings
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "Software\VB and VBA Program Settings\${PUBLISHER}"
        DeleteRegKey /ifempty HKCU "Software\VB and VBA Program Settings"
        Delete "$TEMP\${PRODUCT}.txt"
    keep_settings:
SectionEnd
