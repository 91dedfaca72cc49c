; The Windows installer, made by scripts/windows.sh with NSIS's makensis:
; installs the program, its DLLs, plugins, help and licences into Program
; Files, with a Start-menu entry, the firewall rules that let the programs
; hear units on UDP port 67, and an uninstaller listed in Windows' installed
; programs. Over an earlier installation it installs into that one's folder
; and removes it first, so only this version's files are left.
; windows.sh defines VERSION, OUTFILE, ICON, INSTALLED_KB, and the lists of
; files to install and to remove, INSTALL_FILES and UNINSTALL_FILES; with a
; certificate, also SIGN_COMMAND, which signs the file it is given in place.
; Installs silently with /S; so does the uninstaller. Exit codes: 0 done,
; 1 cancelled, 2 an older version than the one installed (refused when
; silent), 3 the program is running from the folder, 4 the installed version
; could not be removed.

; A 64-bit installer for a 64-bit program: it also runs where Windows (or
; Wine) has no 32-bit subsystem.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Tarvik BootP Tool"
!define COMPANY "Tarvik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvikBootP"
; One inbound rule per program that listens: the window and the command line.
!define RULE "${PRODUCT}"
!define RULE_CLI "${PRODUCT} (command line)"
!define NETSH '"$SYSDIR\netsh.exe" advfirewall firewall'

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; Over an earlier installation, its folder is the default (a 64-bit
; installer reads the 64-bit registry view here).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright 2026 ${COMPANY}"

!ifdef SIGN_COMMAND
; The uninstaller is signed before it goes into the installer, the
; installer once it is made.
!uninstfinalize '"${SIGN_COMMAND}" "%1"' = 0
!finalize '"${SIGN_COMMAND}" "%1"' = 0
!endif

!include "LogicLib.nsh"
!include "WordFunc.nsh"
!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; The finish page's Run starts the program through StartAsUser.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The installation found in the registry, if any.
Var previous_version
Var previous_folder

; A 64-bit program: its registry entries go to the 64-bit view.
Function .onInit
    SetRegView 64
    ReadRegStr $previous_version HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ReadRegStr $previous_folder HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $previous_version != ""
        ${VersionCompare} "$previous_version" "${VERSION}" $0
        ${If} $0 == 1
            MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
                "${PRODUCT} $previous_version is installed, newer than this setup's ${VERSION}.$\n$\nReplace it with the older version ${VERSION}?" \
                /SD IDNO IDYES downgrade
            SetErrorLevel 2
            Quit
          downgrade:
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

; CloseRunningCopies FOLDER (pushed): while a program of the folder runs, asks
; to close it (Retry, Cancel); silent, or cancelled, aborts with exit code 3
; before anything is changed. Windows lets no one open a running program's file
; for writing, so this sees copies started from the folder, whoever started
; them: exactly those whose files cannot be replaced or removed.
!macro CLOSE_RUNNING_COPIES prefix
Function ${prefix}CloseRunningCopies
    Exch $0
    Push $1
    Push $2
  retry:
    StrCpy $2 ""
    ${If} ${FileExists} "$0\TarvikBootP.exe"
        ClearErrors
        FileOpen $1 "$0\TarvikBootP.exe" a
        ${If} ${Errors}
            StrCpy $2 "TarvikBootP.exe"
        ${Else}
            FileClose $1
        ${EndIf}
    ${EndIf}
    ${If} $2 == ""
    ${AndIf} ${FileExists} "$0\tarvik-bootp.exe"
        ClearErrors
        FileOpen $1 "$0\tarvik-bootp.exe" a
        ${If} ${Errors}
            StrCpy $2 "tarvik-bootp.exe"
        ${Else}
            FileClose $1
        ${EndIf}
    ${EndIf}
    ${If} $2 != ""
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT} is running: $0\$2.$\n$\nClose it (in every user's session), then click Retry." \
            /SD IDCANCEL IDRETRY retry
        DetailPrint "${PRODUCT} is running: $0\$2. Nothing was changed; close it and run this again."
        SetErrorLevel 3
        Abort
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

; Runs the installed version's uninstaller silently where it is (_?= keeps
; it from copying itself elsewhere, so it can be waited on), then removes the
; uninstaller itself, which cannot remove its own file, and the folder if
; nothing else is left in it.
Function RemovePreviousVersion
    ${If} $previous_folder == ""
    ${OrIfNot} ${FileExists} "$previous_folder\Uninstall.exe"
        Return
    ${EndIf}
    DetailPrint "Removing ${PRODUCT} $previous_version from $previous_folder"
    ClearErrors
    ExecWait '"$previous_folder\Uninstall.exe" /S _?=$previous_folder' $0
    ${If} ${Errors}
    ${OrIf} $0 != 0
        MessageBox MB_OK|MB_ICONSTOP \
            "${PRODUCT} $previous_version, installed in $previous_folder, could not be removed (exit code $0).$\n$\nUninstall it under Settings > Apps, then run this setup again." \
            /SD IDOK
        DetailPrint "${PRODUCT} $previous_version could not be removed from $previous_folder (exit code $0)."
        SetErrorLevel 4
        Abort
    ${EndIf}
    Delete "$previous_folder\Uninstall.exe"
    RMDir "$previous_folder"
FunctionEnd

; Lets each program hear units: an inbound rule for UDP port 67 on every
; network profile. A rule of the same name goes first, so that an upgrade
; or a second install leaves one of each. Without the rules (the firewall
; service stopped, say) the program still works: Windows asks at the first
; Listen instead.
Function AddFirewallRules
    nsExec::Exec '${NETSH} delete rule name="${RULE}"'
    Pop $0
    nsExec::Exec '${NETSH} add rule name="${RULE}" dir=in action=allow program="$INSTDIR\TarvikBootP.exe" protocol=UDP localport=67 profile=any'
    Pop $0
    DetailPrint "Firewall rule $\"${RULE}$\": netsh exit code $0"
    nsExec::Exec '${NETSH} delete rule name="${RULE_CLI}"'
    Pop $0
    nsExec::Exec '${NETSH} add rule name="${RULE_CLI}" dir=in action=allow program="$INSTDIR\tarvik-bootp.exe" protocol=UDP localport=67 profile=any'
    Pop $0
    DetailPrint "Firewall rule $\"${RULE_CLI}$\": netsh exit code $0"
FunctionEnd

; The setup runs elevated, and so would a program it started itself.
; Explorer starts it as the user who is logged in, as the Start menu does.
Function StartAsUser
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\TarvikBootP.exe"'
FunctionEnd

Section "Install"
    Push $INSTDIR
    Call CloseRunningCopies
    ${If} $previous_folder != ""
    ${AndIf} $previous_folder != $INSTDIR
        Push $previous_folder
        Call CloseRunningCopies
    ${EndIf}
    Call RemovePreviousVersion

    !include "${INSTALL_FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\TarvikBootP.exe"
    Call AddFirewallRules

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TarvikBootP.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: the folder goes
; only if nothing else is left in it, and of the firewall's rules only the
; two it added for these programs.
Section "Uninstall"
    Push $INSTDIR
    Call un.CloseRunningCopies
    nsExec::Exec '${NETSH} delete rule name="${RULE}" program="$INSTDIR\TarvikBootP.exe"'
    Pop $0
    nsExec::Exec '${NETSH} delete rule name="${RULE_CLI}" program="$INSTDIR\tarvik-bootp.exe"'
    Pop $0
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !include "${UNINSTALL_FILES}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
