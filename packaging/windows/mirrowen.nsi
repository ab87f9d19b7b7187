; The Windows installer: puts Mirrowen.scr where the Screen Saver Settings
; list finds savers (for all users) or into the user's own programs folder
; (only for the current user), makes it the current user's screen saver and
; registers an uninstaller. /S runs the installer or the uninstaller
; silently; /AllUsers and /CurrentUser choose the kind of installation.
; makensis -DVERSION=1.0.0 -DSCR=Mirrowen.scr -DNOTICES=LICENSE.txt -DICON=mirrowen.ico -DOUTFILE=Setup.exe mirrowen.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirrowen"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

; Administrators are asked for their rights (and may still choose "only for
; me"); anyone else installs for themselves without elevation. A previous
; installation's kind and folder are the defaults.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Mirrowen"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include "saver_files.nsh"

; What the finish page adds when the old saver was held open.
Var FinishNote
; The folder Mirrowen.scr goes into, and its full name there.
Var SaverDir
Var SaverPath

Name "Mirrowen"
OutFile "${OUTFILE}"
BrandingText "Mirrowen ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Mirrowen"
VIAddVersionKey "CompanyName" "Pelloquin"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Pelloquin"
VIAddVersionKey "FileDescription" "Mirrowen screensaver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver Settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_FINISHPAGE_TEXT "$(MUI_TEXT_FINISH_INFO_TEXT)$FinishNote"
!define MUI_FINISHPAGE_TEXT_REBOOT "$(MUI_TEXT_FINISH_INFO_REBOOT)$FinishNote"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; The 64-bit system directory, where the settings list looks, for all users;
; the installation folder for one user.
!macro SetSaverPath
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $SaverDir "$SYSDIR"
  ${Else}
    StrCpy $SaverDir "$INSTDIR"
  ${EndIf}
  StrCpy $SaverPath "$SaverDir\Mirrowen.scr"
!macroend

; The Screen Saver Settings with Mirrowen selected, as "Install" on a .scr opens them.
Function OpenScreenSaverSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SaverPath'
FunctionEnd

; Pushes 1 when the installer runs as the user whose session it is in (always
; so for one user's installation), else 0: an administrator's credentials
; typed in for a standard user make a process of another account, whose
; hive is not the one the user's desktop reads. When the session cannot be
; asked, 0: another account's hive is never written.
Function IsSessionUser
  ${If} $MultiUser.InstallMode != "AllUsers"
    Push 1
    Return
  ${EndIf}
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 0
  ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r1, *i .r2) i .r0'
  ${If} $0 != 0
    System::Call 'kernel32::lstrcpynW(w .r2, p r1, i ${NSIS_MAX_STRLEN})'
    System::Call 'wtsapi32::WTSFreeMemory(p r1)'
    System::Call 'advapi32::GetUserNameW(w .r0, *i ${NSIS_MAX_STRLEN})'
    ${If} $2 != ""
    ${AndIf} $2 == $0
      StrCpy $3 1
    ${EndIf}
  ${EndIf}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Section "Mirrowen" SectionSaver
  !insertmacro SetSaverPath
  ${DisableX64FSRedirection}
  SetOutPath "$SaverDir"
  ; A saver that a preview or a running saver holds open cannot be
  ; overwritten: it is renamed aside, or replaced at the next restart.
  !insertmacro ClearSaverPath $SaverDir $0
  ${If} $0 == "replace"
    File "/oname=$SaverPath.new" "${SCR}"
    ClearErrors
    Rename "$SaverPath.new" "$SaverPath"
    ${IfNot} ${Errors}
      StrCpy $0 "free"
    ${Else}
      !insertmacro QueueForRestart "$SaverPath.new" "$SaverPath" $2
      ${If} $2 == 1
        SetRebootFlag true
      ${Else}
        StrCpy $0 "replace-unqueued"
      ${EndIf}
    ${EndIf}
  ${Else}
    File "/oname=$SaverPath" "${SCR}"
  ${EndIf}
  ; What the restart may not be asked to do (without administrator rights)
  ; the user's next sign-in does, or else the next run of this setup.
  StrCpy $1 ""
  ${If} $0 == "aside-unqueued"
  ${OrIf} $0 == "replace-unqueued"
    !insertmacro QueueForSignIn $SaverDir install $1
  ${EndIf}
  ${If} $0 == "aside"
    StrCpy $FinishNote "$\r$\n$\r$\nThe previous Mirrowen.scr was in use: it was set aside and is removed when Windows restarts."
  ${ElseIf} $0 == "aside-unqueued"
    ${If} $1 == "sign-in"
      StrCpy $FinishNote "$\r$\n$\r$\nThe previous Mirrowen.scr was in use: it was set aside and is removed when you next sign in."
    ${Else}
      StrCpy $FinishNote "$\r$\n$\r$\nThe previous Mirrowen.scr was in use: it was set aside and is removed when this setup or the uninstaller next runs."
    ${EndIf}
  ${ElseIf} $0 == "replace"
    StrCpy $FinishNote "$\r$\n$\r$\nThe previous Mirrowen.scr is in use; the new one takes its place when Windows restarts."
  ${ElseIf} $0 == "replace-unqueued"
    ${If} $1 == "sign-in"
      StrCpy $FinishNote "$\r$\n$\r$\nThe previous Mirrowen.scr is in use; the new one takes its place when you next sign in."
    ${Else}
      ; Nothing would ever put it in place: the old saver stays as it is.
      Delete "$SaverPath.new"
      StrCpy $FinishNote "$\r$\n$\r$\nThe previous Mirrowen.scr is in use and was not replaced: close the Screen Saver Settings and run this setup again."
      SetErrorLevel 2
    ${EndIf}
  ${EndIf}
  ${EnableX64FSRedirection}

  SetOutPath "$INSTDIR"
  File "/oname=LICENSE.txt" "${NOTICES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The current user's screen saver from now on, but never in the hive of an
  ; administrator who elevated the installer for someone else.
  Call IsSessionUser
  Pop $0
  ${If} $0 == 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  ${EndIf}

  ; HKLM for all users, HKCU for one; an upgrade rewrites the same entry.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Mirrowen"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Pelloquin"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionSaver} $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro SetSaverPath
  ${DisableX64FSRedirection}
  GetFullPathName /SHORT $1 "$SaverPath"
  ; A saver held open is set aside and removed at the next restart (without
  ; administrator rights, at the user's next sign-in); where even that
  ; cannot be arranged, the saver and its entry both stay, so nothing is
  ; left without the other.
  !insertmacro RemoveSaverPath $SaverDir $0
  ${If} $0 == "kept"
    ${EnableX64FSRedirection}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Mirrowen.scr is in use and could not be removed. Close the screen saver settings and try again." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  ; Windows must not be left pointing at a missing saver; one the user has
  ; chosen since stays.
  ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $2 == "$SaverPath"
  ${OrIf} $2 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ${EnableX64FSRedirection}

  ; The user's settings (HKCU\Software\Pelloquin\ScreenSavers\Mirrowen) stay.
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
