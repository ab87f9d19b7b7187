; Mirrowen.scr in a folder where a preview or a running saver may hold it
; open: Windows lets such a file be renamed, but not overwritten or deleted.
; A copy held open is renamed aside to "Mirrowen.scr.old-<tick>" (no longer
; a saver that any list finds) and removed at the next restart; the next
; install or uninstall removes whatever such copies nothing holds any more.

; The copies set aside by earlier runs that are free now.
!macro SweepSetAsideSavers DIR
  FindFirst $R0 $R1 "${DIR}\Mirrowen.scr.old-*"
  ${DoWhile} $R1 != ""
    Delete "${DIR}\$R1"
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
!macroend

; Renames DIR\Mirrowen.scr aside and queues the renamed copy for removal at
; the next restart. RESULT: "queued", "renamed" (the removal could not be
; queued) or "" (not even renamed). A restart is not needed for the saver
; itself, so the reboot flag stays as it was.
!macro SetSaverAside DIR RESULT
  System::Call 'kernel32::GetTickCount() i .R2'
  StrCpy ${RESULT} ""
  ClearErrors
  Rename "${DIR}\Mirrowen.scr" "${DIR}\Mirrowen.scr.old-$R2"
  ${IfNot} ${Errors}
    StrCpy $R3 0
    IfRebootFlag 0 +2
      StrCpy $R3 1
    Delete /REBOOTOK "${DIR}\Mirrowen.scr.old-$R2"
    ${If} ${Errors}
      StrCpy ${RESULT} "renamed"
    ${Else}
      StrCpy ${RESULT} "queued"
    ${EndIf}
    ${If} $R3 == 0
      SetRebootFlag false
    ${EndIf}
  ${EndIf}
!macroend

; Makes room for a new DIR\Mirrowen.scr. RESULT: "free" (nothing there any
; more), "aside" (the old one was held open and renamed aside) or "replace"
; (held and not even renameable: the new one has to wait for a restart).
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
      ${Else}
        StrCpy ${RESULT} "aside"
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Removes DIR\Mirrowen.scr. RESULT: "gone", "queued" (held open: renamed
; aside, removed at the next restart) or "kept" (held, and its removal could
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
      Rename "${DIR}\Mirrowen.scr.old-$R2" "${DIR}\Mirrowen.scr"
      StrCpy ${RESULT} "kept"
    ${ElseIf} ${RESULT} == ""
      StrCpy ${RESULT} "kept"
    ${EndIf}
  ${EndIf}
!macroend
