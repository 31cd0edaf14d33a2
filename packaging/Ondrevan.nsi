; Ondrevan's Windows installer. Built by tools/release.sh:
;   makensis -DVERSION=x.y.z -DPROGRAM_DIR=<built program folder> -DTEXT_DIR=<read-me, licence>
;            -DICON=<Ondrevan.ico> -DOUTFILE=<setup.exe> Ondrevan.nsi
; The program folder holds no .exe but Ondrevan.exe, because the start-up entry registers the
; first .exe it finds there: the uninstaller lives in the "Uninstall" sub-folder.
;   with -DSIGN=<command> the uninstaller and the setup are signed as they are written: the
;   command is run with the file's path after it.
; One installation, whatever the installer: an installation by the Windows Installer package
; is taken over (removed with msiexec, the settings and the start-up entries kept); a later
; version, installed by either, is never replaced (exit code 5).
; A copy it closed (the program's /exit notes it) is started again when it is done (/reopen),
; hidden in the tray if it was.
; The registered uninstall commands run the uninstaller in place ("_?="), so that whoever runs
; them waits for the uninstall and gets its exit code; the uninstaller, which cannot remove
; itself while it runs, leaves that to a copy of itself in the temporary folder.
; A 64-bit installer for a 64-bit program: Wine without its 32-bit half runs it too.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include WordFunc.nsh

!define PRODUCT "Ondrevan"
!define PUBLISHER "Quillmere"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\${PUBLISHER}\${PRODUCT}"
!define UNINSTALLER "Uninstall\Uninstall ${PRODUCT}.exe"
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\${PRODUCT}"
; The Windows Installer package's, which never changes (packaging/Ondrevan.wxs).
!define MSI_UPGRADE_CODE "{8DC0F485-D72D-4E25-994B-492B1E4B3F12}"
!define URL_ABOUT "https://www.quillmere.example/"
!define URL_HELP "https://www.quillmere.example/contact"

!ifdef SIGN
!finalize '${SIGN} "%1"' = 0
!uninstfinalize '${SIGN} "%1"' = 0
!endif

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

; A running copy holds its .exe open: the program's own /exit asks it to close as its close
; box would, and waits until it has ended. A copy that will not close stops the setup.
!macro CloseRunningProgram EXE
    StrCpy $0 0
    ${If} ${FileExists} "${EXE}"
        ExecWait '"${EXE}" /exit' $0
    ${EndIf}
    ${If} $0 != 0
        MessageBox MB_ICONSTOP "${PRODUCT} is running and did not close. Close it, then try again." /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
!macroend

; The version of Ondrevan installed by either installer, or "" when there is none.
Function InstalledVersion
    Push $0
    Push $1
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $2 == ""
        System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r0) i .r1'
        ${If} $1 == 0
            ReadRegStr $2 HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\$0" "DisplayVersion"
        ${EndIf}
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${PRODUCT} needs a 64-bit Windows." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    ; The same rule as the Windows Installer package's: an earlier version never replaces a
    ; later one.
    Call InstalledVersion
    ${If} $2 != ""
        ${VersionCompare} "$2" "${VERSION}" $3
        ${If} $3 == 1
            MessageBox MB_ICONSTOP "${PRODUCT} $2 is installed, which is later than this setup's ${VERSION}. Nothing was installed. To go back to ${VERSION}, uninstall ${PRODUCT} $2 first." /SD IDOK
            SetErrorLevel 5
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "Install"
    SetShellVarContext all
    ; The program being installed closes the running copy, whichever version that is.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\${PRODUCT}.exe" "${PROGRAM_DIR}\${PRODUCT}.exe"
    !insertmacro CloseRunningProgram "$PLUGINSDIR\${PRODUCT}.exe"

    ; The start-up entries as they are now: an installation taken over loses them.
    ReadRegStr $R8 HKLM "${RUN_KEY}" "${PRODUCT}.exe"
    ReadRegStr $R9 HKCU "${RUN_KEY}" "${PRODUCT}.exe"

    ; Installed by the Windows Installer package: that installation goes first, with its entry
    ; in Apps & features and its shortcut, so that one installation is left.
    System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r0) i .r1'
    ${If} $1 == 0
        DetailPrint "Removing the ${PRODUCT} installed by its Windows Installer package ($0)"
        ExecWait '"$SYSDIR\msiexec.exe" /x $0 /qn' $2
        ${If} $2 != 0
            MessageBox MB_ICONSTOP "The ${PRODUCT} installed by its Windows Installer package could not be removed (msiexec ended with $2). Nothing was installed." /SD IDOK
            SetErrorLevel 4
            Quit
        ${EndIf}
    ${EndIf}

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

    ${If} $R8 != ""
        WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}.exe" "$INSTDIR\${PRODUCT}.exe"
    ${EndIf}
    ${If} $R9 != ""
        WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}.exe" "$INSTDIR\${PRODUCT}.exe"
    ${EndIf}
    ; The source of the program's events in the Application log: its message table.
    WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\${PRODUCT}.exe"
    WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${URL_ABOUT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${URL_HELP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" _?=$INSTDIR\Uninstall'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR\Uninstall'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; The copy this setup closed runs again, as it was; with none closed, this does nothing.
    Exec '"$INSTDIR\${PRODUCT}.exe" /reopen'
SectionEnd

Function un.onInit
    SetRegView 64
    ; /REMOVEAFTER=<process id>: the copy in the temporary folder that removes the uninstaller
    ; run in place once that process has ended, then the folders left empty.
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVEAFTER=" $R1
    ${IfNot} ${Errors}
        System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $R1) p .r0'
        ${If} $0 P<> 0
            System::Call 'kernel32::WaitForSingleObject(p r0, i 60000) i'
            System::Call 'kernel32::CloseHandle(p r0)'
        ${EndIf}
        Delete "$INSTDIR\Uninstall ${PRODUCT}.exe"
        RMDir "$INSTDIR"
        ${GetParent} "$INSTDIR" $INSTDIR
        RMDir "$INSTDIR"
        Delete /REBOOTOK "$EXEPATH"
        SetErrorLevel 0
        Quit
    ${EndIf}
    ; The uninstaller sits one folder below the program's.
    ${GetParent} "$INSTDIR" $INSTDIR
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    !insertmacro CloseRunningProgram "$INSTDIR\${PRODUCT}.exe"

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
    DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"

    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/KEEPSETTINGS" $R1
    ${If} ${Errors}
        ; Removed for good: the copy closed above is not started again by a later install.
        DeleteRegValue HKCU "${SETTINGS_KEY}" "ClosedByExit"
        ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
            ; Run in place, as the registered commands run it: a copy removes it once it has
            ; ended. (An installer taking over removes it itself.)
            System::Call 'kernel32::GetCurrentProcessId() i .r0'
            CopyFiles /SILENT "$EXEPATH" "$TEMP\${PRODUCT}-uninstall-$0.exe"
            Exec '"$TEMP\${PRODUCT}-uninstall-$0.exe" /REMOVEAFTER=$0 _?=$INSTDIR\Uninstall'
        ${EndIf}
    ${EndIf}

    ; /KEEPSETTINGS: another installer takes over, and the settings stay without a question.
    ClearErrors
    ${GetOptions} $R0 "/KEEPSETTINGS" $R1
    IfErrors 0 keep_settings
    MessageBox MB_YESNO|MB_ICONQUESTION \
        "Also remove ${PRODUCT}'s settings and its history log ($TEMP\${PRODUCT}.txt)?" \
        /SD IDYES IDNO keep_settings
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "Software\VB and VBA Program Settings\${PUBLISHER}"
        DeleteRegKey /ifempty HKCU "Software\VB and VBA Program Settings"
        Delete "$TEMP\${PRODUCT}.txt"
    keep_settings:
SectionEnd
