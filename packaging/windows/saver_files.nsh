; Mirrowen.scr in a folder where a preview or a running saver may hold it
; open: Windows lets such a file be renamed, but not overwritten or deleted.
; A copy held open is renamed aside to "Mirrowen.scr.old-<tick>" (no longer
; a saver that any list finds) and removed at the next restart. Queuing for
; the restart takes administrator rights: without them, one user's
; installation leaves a command in the user's own RunOnce key that does it
; at their next sign-in. The next install or uninstall removes whatever such
; copies nothing holds any more, and any new saver still waiting beside a
; held one ("Mirrowen.scr.new").

!include FileFunc.nsh

!define SIGN_IN_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define SIGN_IN_VALUE "MirrowenSetAside"

; The copies set aside by earlier runs that are free now. When none is left,
; neither is the sign-in command that was to remove them.
!macro SweepSetAsideSavers DIR
  FindFirst $R0 $R1 "${DIR}\Mirrowen.scr.old-*"
  ${DoWhile} $R1 != ""
    Delete "${DIR}\$R1"
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
  Delete "${DIR}\Mirrowen.scr.new"
  ${If} $MultiUser.InstallMode == "CurrentUser"
    FindFirst $R0 $R1 "${DIR}\Mirrowen.scr.old-*"
    FindClose $R0
    ${If} $R1 == ""
    ${AndIfNot} ${FileExists} "${DIR}\Mirrowen.scr.new"
      DeleteRegValue HKCU "${SIGN_IN_KEY}" "${SIGN_IN_VALUE}"
    ${EndIf}
  ${EndIf}
!macroend

; RESULT: the command line that does at the next sign-in what the restart
; was not allowed to, in DIR and nowhere else: cmd without AutoRun commands
; or delayed expansion, doing nothing where DIR cannot be entered. KIND
; "install" removes the copies set aside and puts a waiting new saver in
; place; "uninstall" removes the copies and then DIR, if that leaves it
; empty. "" when DIR holds a "%" (cmd expands it even between quotes) or the
; line is longer than Windows runs from RunOnce (260 characters).
!macro SignInCommand DIR KIND RESULT
  StrCpy ${RESULT} '"$SYSDIR\cmd.exe" /d /v:off /c cd /d "${DIR}" && (del /f /q Mirrowen.scr.old-*'
  !if "${KIND}" == "install"
    StrCpy ${RESULT} '${RESULT} & if exist Mirrowen.scr.new move /y Mirrowen.scr.new Mirrowen.scr)'
  !else
    ${GetFileName} "${DIR}" $R4
    StrCpy ${RESULT} '${RESULT} & cd .. & rmdir "$R4")'
  !endif
  StrCpy $R4 0
  ${Do}
    StrCpy $R5 "${DIR}" 1 $R4
    ${If} $R5 == "%"
      StrCpy ${RESULT} ""
    ${EndIf}
    IntOp $R4 $R4 + 1
  ${LoopUntil} $R5 == ""
  StrLen $R4 ${RESULT}
  ${If} $R4 > 260
    StrCpy ${RESULT} ""
  ${EndIf}
!macroend

; Leaves the sign-in command for DIR in the user's RunOnce key. RESULT:
; "sign-in", or "" where there is none: an installation for all users,
; whose folder the user's own sign-in may not change, or a DIR the command
; cannot name.
!macro QueueForSignIn DIR KIND RESULT
  StrCpy ${RESULT} ""
  ${If} $MultiUser.InstallMode == "CurrentUser"
    !insertmacro SignInCommand "${DIR}" ${KIND} $R6
    ${If} $R6 != ""
      ClearErrors
      WriteRegStr HKCU "${SIGN_IN_KEY}" "${SIGN_IN_VALUE}" $R6
      ${IfNot} ${Errors}
        StrCpy ${RESULT} "sign-in"
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Asks Windows to remove FILE at the next restart or, given NEW, to rename
; it to NEW then. RESULT: 1 when that is queued, else 0: the queue takes
; administrator rights. (Delete and Rename /REBOOTOK set no error when it is
; refused.)
!macro QueueForRestart FILE NEW RESULT
  ; MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING
  !if "${NEW}" == ""
    System::Call 'kernel32::MoveFileExW(w "${FILE}", p 0, i 5) i .s'
  !else
    System::Call 'kernel32::MoveFileExW(w "${FILE}", w "${NEW}", i 5) i .s'
  !endif
  Pop ${RESULT}
  ${If} ${RESULT} != 0
    StrCpy ${RESULT} 1
  ${EndIf}
!macroend

; Renames DIR\Mirrowen.scr aside and queues the renamed copy for removal at
; the next restart. RESULT: "queued", "renamed" (the removal could not be
; queued), "deleted" (freed meanwhile, it went at once) or "" (not even
; renamed). A restart is not needed for the saver itself, so the reboot flag
; stays as it was.
!macro SetSaverAside DIR RESULT
  System::Call 'kernel32::GetTickCount() i .R2'
  StrCpy ${RESULT} ""
  ClearErrors
  Rename "${DIR}\Mirrowen.scr" "${DIR}\Mirrowen.scr.old-$R2"
  ${IfNot} ${Errors}
    Delete "${DIR}\Mirrowen.scr.old-$R2"
    ${IfNot} ${FileExists} "${DIR}\Mirrowen.scr.old-$R2"
      StrCpy ${RESULT} "deleted"
    ${Else}
      !insertmacro QueueForRestart "${DIR}\Mirrowen.scr.old-$R2" "" ${RESULT}
      ${If} ${RESULT} == 1
        StrCpy ${RESULT} "queued"
      ${Else}
        StrCpy ${RESULT} "renamed"
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Makes room for a new DIR\Mirrowen.scr. RESULT: "free" (nothing there any
; more), "aside" (the old one was held open, renamed aside and queued for
; removal at the restart), "aside-unqueued" (renamed aside, but the restart
; could not be asked to remove it) or "replace" (held and not even
; renameable: the new one has to wait).
!macro ClearSaverPath DIR RESULT
  !insertmacro SweepSetAsideSavers "${DIR}"
  StrCpy ${RESULT} "free"
  ${If} ${FileExists} "${DIR}\Mirrowen.scr"
    ClearErrors
    Delete "${DIR}\Mirrowen.scr"
    ${If} ${Errors}
      !insertmacro SetSaverAside "${DIR}" ${RESULT}
      ${If} ${RESULT} == ""
        StrCpy ${RESULT} "replace"
      ${ElseIf} ${RESULT} == "renamed"
        StrCpy ${RESULT} "aside-unqueued"
      ${ElseIf} ${RESULT} == "deleted"
        StrCpy ${RESULT} "free"
      ${Else}
        StrCpy ${RESULT} "aside"
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Removes DIR\Mirrowen.scr. RESULT: "gone", "queued" (held open: renamed
; aside, removed at the next restart), "sign-in" (held open: renamed aside,
; removed at the user's next sign-in) or "kept" (held, and its removal could
; not be arranged: it stays where it was).
!macro RemoveSaverPath DIR RESULT
  !insertmacro SweepSetAsideSavers "${DIR}"
  StrCpy ${RESULT} "gone"
  ClearErrors
  Delete "${DIR}\Mirrowen.scr"
  ${If} ${Errors}
  ${AndIf} ${FileExists} "${DIR}\Mirrowen.scr"
    !insertmacro SetSaverAside "${DIR}" ${RESULT}
    ${If} ${RESULT} == "renamed"
      !insertmacro QueueForSignIn "${DIR}" uninstall ${RESULT}
      ${If} ${RESULT} == ""
        Rename "${DIR}\Mirrowen.scr.old-$R2" "${DIR}\Mirrowen.scr"
        StrCpy ${RESULT} "kept"
      ${EndIf}
    ${ElseIf} ${RESULT} == "deleted"
      StrCpy ${RESULT} "gone"
    ${ElseIf} ${RESULT} == ""
      StrCpy ${RESULT} "kept"
    ${EndIf}
  ${EndIf}
!macroend
