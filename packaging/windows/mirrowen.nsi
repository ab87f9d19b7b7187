; The Windows installer: puts Mirrowen.scr where the Screen Saver Settings
; list finds savers, makes it the current user's screen saver and registers
; an uninstaller. /S runs the installer or the uninstaller silently.
; makensis -DVERSION=1.0.0 -DSCR=Mirrowen.scr -DNOTICES=LICENSE.txt -DICON=mirrowen.ico -DOUTFILE=Setup.exe mirrowen.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirrowen"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

Name "Mirrowen"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Mirrowen"
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
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; The Screen Saver Settings with Mirrowen selected, as "Install" on a .scr opens them.
Function OpenScreenSaverSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SYSDIR\Mirrowen.scr'
FunctionEnd

Section "Mirrowen" SectionSaver
  ; The 64-bit system directory, where the settings list looks for savers.
  ${DisableX64FSRedirection}
  SetOutPath "$SYSDIR"
  File "/oname=Mirrowen.scr" "${SCR}"
  ${EnableX64FSRedirection}

  SetOutPath "$INSTDIR"
  File "/oname=LICENSE.txt" "${NOTICES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The current user's screen saver from now on.
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Mirrowen.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Mirrowen"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pelloquin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Mirrowen.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionSaver} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; Windows must not be left pointing at a missing saver; one the user has
  ; chosen since stays.
  ${DisableX64FSRedirection}
  GetFullPathName /SHORT $1 "$SYSDIR\Mirrowen.scr"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\Mirrowen.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  Delete "$SYSDIR\Mirrowen.scr"
  ${EnableX64FSRedirection}

  ; The user's settings (HKCU\Software\Pelloquin\ScreenSavers\Mirrowen) stay.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
