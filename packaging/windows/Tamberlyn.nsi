; Tamberlyn's per-user installer: no administrator rights, into
; %LOCALAPPDATA%\Programs\Tamberlyn, with a Start menu shortcut and an entry in the user's
; Apps list. /S installs and uninstalls silently. Built by packaging/windows/CMakeLists.txt:
;   makensis -DVERSION=1.0.0 -DCOPYRIGHT=... -DEXE=... -DLICENSE=... -DICON=... -DOUTFILE=... Tamberlyn.nsi

Unicode true
; 64-bit, as the program is: it then sees the same registry as the program, without
; WoW64's redirection, and needs no 32-bit support from Windows (or Wine).
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tamberlyn"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's own names: its window class, its log-on value and its settings.
!define MAIN_WINDOW_CLASS "TamberlynMainWindow"
!define RUN_VALUE "Tamberlyn.exe"
!define SETTINGS_KEY "HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Quillmark\Tamberlyn"
; Closing saves nothing that takes long: a program still there after this is stuck.
!define CLOSE_PATIENCE_MS 20000
!define SYNCHRONIZE_AND_QUERY 0x101000  ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION

Name "Tamberlyn"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tamberlyn"
; An update goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tamberlyn ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var WasRunning

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; MIT asks for no consent: the licence is shown, Next goes on.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Tamberlyn is free software under the MIT License."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Tamberlyn"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTamberlyn
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "Tamberlyn, its Start menu shortcut and its log-on entry will be removed. \
Your list and options stay in the registry under ${SETTINGS_KEY}."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tamberlyn"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Quillmark"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tamberlyn ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}. MIT License."

; Asks the installed Tamberlyn, if it runs, to close as its close button does, and waits for
; it to end; $WasRunning tells whether it did. It is never ended by force: one that does not
; close is reported, interactively with a chance to retry, and the run stops. A copy from
; elsewhere (the ZIP's) is left running: it holds no installed file.
!macro DEFINE_CLOSE_RUNNING_TAMBERLYN PREFIX
Function ${PREFIX}CloseRunningTamberlyn
    StrCpy $WasRunning 0
    retry:
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 P= 0
        Return
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_AND_QUERY}, i 0, i r1) p .r2'
    ${If} $2 P= 0
        Return  ; another user's, or run as administrator: writing the exe then fails, and says so
    ${EndIf}
    StrCpy $3 ""
    System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN})'
    ${If} $3 != "$INSTDIR\Tamberlyn.exe"
        System::Call 'kernel32::CloseHandle(p r2)'
        Return
    ${EndIf}
    DetailPrint "Asking the running Tamberlyn to close"
    ; Posted: the program ends inside its handler, so a sent message would get no answer.
    System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
    System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_PATIENCE_MS}) i .r4'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $4 <> 0
        DetailPrint "Tamberlyn is running and did not close when asked."
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Tamberlyn is running and did not close when asked. Close it (its window's close button), \
            or end it in Task Manager, then click Retry." /SD IDCANCEL IDRETRY retry
        Abort "Tamberlyn is still running: nothing was changed."
    ${EndIf}
    StrCpy $WasRunning 1
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING_TAMBERLYN ""
!insertmacro DEFINE_CLOSE_RUNNING_TAMBERLYN "un."

Section "Tamberlyn"
    SetShellVarContext current
    Call CloseRunningTamberlyn

    SetOutPath "$INSTDIR"
    ClearErrors
    File "/oname=Tamberlyn.exe" "${EXE}"
    File "/oname=LICENSE.txt" "${LICENSE}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ${If} ${Errors}
        Abort "Could not write the program's files in $INSTDIR."
    ${EndIf}

    ; The working folder is the output path: the program's own, where its optional files live.
    CreateShortcut "$SMPROGRAMS\Tamberlyn.lnk" "$INSTDIR\Tamberlyn.exe" "" "$INSTDIR\Tamberlyn.exe" 0 \
        SW_SHOWNORMAL "" "Closes the windows whose titles contain your words"
    ${If} ${Errors}
        DetailPrint "Could not create the Start menu shortcut $SMPROGRAMS\Tamberlyn.lnk."
        MessageBox MB_OK|MB_ICONEXCLAMATION "Could not create the Start menu shortcut. \
            Start Tamberlyn from $INSTDIR\Tamberlyn.exe." /SD IDOK
        ClearErrors
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tamberlyn"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quillmark"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tamberlyn.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    ${If} ${Errors}
        DetailPrint "Could not add Tamberlyn to the Apps list (HKCU\${UNINSTALL_KEY})."
        MessageBox MB_OK|MB_ICONEXCLAMATION "Could not add Tamberlyn to the Apps list. \
            To uninstall it, run $INSTDIR\Uninstall.exe." /SD IDOK
    ${EndIf}

    ; A silent update puts back the program it closed; otherwise the finish page offers to.
    ${If} ${Silent}
    ${AndIf} $WasRunning = 1
        Call StartTamberlyn
    ${EndIf}
SectionEnd

; Through the shell, as from the Start menu: Exec would hand the program the installer's
; handles, and whoever waits for the installer's output would wait as long as it runs.
Function StartTamberlyn
    SetOutPath "$INSTDIR"
    ExecShell "open" "$INSTDIR\Tamberlyn.exe"
FunctionEnd

; The log-on value is removed only where it starts this installed copy; a value that names
; another copy is that copy's. One that cannot be removed is named, as the program names it.
!macro REMOVE_RUN_VALUE ROOT ROOT_NAME WHOM
    StrCpy $0 ""
    ReadRegStr $0 ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$INSTDIR\Tamberlyn.exe"
    ${OrIf} $0 == '"$INSTDIR\Tamberlyn.exe"'
        ClearErrors
        DeleteRegValue ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
        ${If} ${Errors}
            StrCpy $1 'The entry "${RUN_VALUE}" in ${ROOT_NAME}\${RUN_KEY} could not be removed. \
                It starts Tamberlyn for ${WHOM}; an administrator can remove it.'
            DetailPrint "$1"
            MessageBox MB_OK|MB_ICONEXCLAMATION "$1" /SD IDOK
        ${EndIf}
    ${EndIf}
!macroend

Section "Uninstall"
    SetShellVarContext current
    Call un.CloseRunningTamberlyn

    !insertmacro REMOVE_RUN_VALUE HKLM "HKEY_LOCAL_MACHINE" "every user who logs on"
    !insertmacro REMOVE_RUN_VALUE HKCU "HKEY_CURRENT_USER" "you when you log on"

    Delete "$SMPROGRAMS\Tamberlyn.lnk"
    Delete "$INSTDIR\Tamberlyn.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\Uninstall.exe"
    ; Not /r: a skin or cursor the user put beside the program stays theirs.
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
        DetailPrint "$INSTDIR stays: it holds files that the installer did not put there."
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DetailPrint "Your list and options stay in the registry under ${SETTINGS_KEY}."
SectionEnd
