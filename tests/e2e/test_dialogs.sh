#!/usr/bin/env bash
# The Options dialog and the defragmentation's dialogs, used as a user would:
# OK applies and saves, Cancel changes nothing; "Don't ask me next time"
# answered No is saved at once and nothing is replaced; a failed restore
# point answered No stops the defragmentation. Screenshots in English and
# French.
. "$(dirname "$0")/lib.sh"

box_has() { wt dump "$1" | grep -qaF "$2"; }
gridlines() { wt list "$MAIN_CLASS" | sed -n 's/^gridlines=\([01]\).*/\1/p'; }
opt() { ini_get "$APP/options.ini" Options "$1"; }
# The settings are saved once the dialog has gone: wait for the value.
opt_is() {
  for _ in $(seq 50); do [ "$(opt "$1")" = "$2" ] && return 0; sleep 0.1; done
  return 1
}
replacements() { grep -ac "Call advapi32.RegReplaceKeyA" "$P/hivara.log"; }
# Runs an analysis from the button and waits for its totals.
analyse() {
  # By its place, so that it works in every language.
  mouse_click "$(ctl_at "$(wt wait "$MAIN_CLASS" 5)" 13 93)"
  for _ in $(seq 300); do
    [ -n "$(wt dump "$MAIN_CLASS" | awk -F'\t' '$3 == 222 && $4 == 312 { print $9 }')" ] && break
    sleep 0.2
  done
  wt click "#32770" "OK" >/dev/null 2>&1  # the advice on a small gain, if any
  sleep 0.3
}

e2e_start win64
relay_on 'advapi32.RegReplaceKeyA;user32.ExitWindowsEx'
WINEDEBUG=+relay hv_start
wt wait "$MAIN_CLASS" 30 >/dev/null || fail "no main window"

# --- Options: OK removes the grid lines at once and saves
check_eq "grid lines at start" 1 "$(gridlines)"
wt click "$MAIN_CLASS" "Options"
wt wait TfrmOptions 10 >/dev/null || fail "no Options dialog"
shot options_en
wt click TfrmOptions "Show Grid Lines for the hive name list"
wt click TfrmOptions "&OK"
wt gone TfrmOptions 10 || fail "Options still open after OK"
check_eq "grid lines off at once" 0 "$(gridlines)"
check "saved: IsShowLine=0" opt_is IsShowLine 0
check "saved: IsAskBeforeDefrag=1" opt_is IsAskBeforeDefrag 1

# --- Options: Cancel after changes changes nothing
cp "$APP/options.ini" "$P/options.before"
wt click "$MAIN_CLASS" "Options"
wt wait TfrmOptions 10 >/dev/null
wt click TfrmOptions "Show Grid Lines for the hive name list"
wt click TfrmOptions "Ask before defraging the registy"
wt click TfrmOptions "&Cancel"
wt gone TfrmOptions 10 || fail "Options still open after Cancel"
check_eq "Cancel keeps the grid lines" 0 "$(gridlines)"
check "Cancel keeps options.ini" cmp -s "$APP/options.ini" "$P/options.before"

# --- Defrag: "Don't ask me next time" and No
main=$(wt wait "$MAIN_CLASS" 5)
defrag_state() { wt dump "$MAIN_CLASS" | awk -F'\t' '$3 == 13 && $4 == 122 { print $8 }'; }
check_eq "Defrag disabled before an analysis" disabled "$(defrag_state)"
analyse
check_eq "Defrag enabled after it" enabled "$(defrag_state)"
wt click "$MAIN_CLASS" "Defrag Registry"
wt wait TfrmAskDelete 10 >/dev/null || fail "no confirmation"
shot confirm_en
wt click TfrmAskDelete "Don't ask me next time"
wt click TfrmAskDelete "&No"
wt gone TfrmAskDelete 10 || fail "confirmation still open"
check "No with the box ticked saves IsAskBeforeDefrag=0 at once" opt_is IsAskBeforeDefrag 0
check_eq "No replaces nothing" 0 "$(replacements)"

# --- restore point on: no confirmation now; Wine's System Restore fails
wt click "$MAIN_CLASS" "Options"
wt wait TfrmOptions 10 >/dev/null
wt click TfrmOptions "Create a system restore point before defragment (XP, Vista, Seven)"
wt click TfrmOptions "&OK"
wt gone TfrmOptions 10
check "saved: RestorePoint=1" opt_is RestorePoint 1
wt click "$MAIN_CLASS" "Defrag Registry"
box=$(msgbox_wait 20) || fail "no failure question"
check "the confirmation was skipped" wt gone TfrmAskDelete 0.1
check "restore point dialog behind the question" wt wait TfrmSystemPoint 2
shot restore_point_failed_en
check "the failure question" box_has "$box" "Restore Point creation Failed! Please check whether you close the system restore. Contiue to defrag?"
wt click "$box" "&No"
wt gone TfrmSystemPoint 10 || fail "restore point dialog still open"
check_eq "No stops before any replacement" 0 "$(replacements)"
check "still running" kill -0 "$HV_PID"
wt close "$MAIN_CLASS"
hv_wait 20

# --- the same dialogs in French
printf '[Options]\r\nRestorePoint=1\r\nIsAskBeforeDefrag=1\r\nIsShowLine=1\r\nLan=French\r\n' >"$APP/options.ini"
: >"$P/hivara.log"
WINEDEBUG=+relay hv_start
wt wait "$MAIN_CLASS" 30 >/dev/null || fail "no main window (French)"
analyse
# French captions are not ASCII: the button by its place.
main=$(wt wait "$MAIN_CLASS" 5)
mouse_click "$(ctl_at "$main" 13 122)"
ask=$(wt wait TfrmAskDelete 10) || fail "no French confirmation"
check "the confirmation in French" box_has "$ask" "$(ini_get "$APP/Languages/DLan_French.ini" frmAskDelete Label1)"
shot confirm_fr
wt click TfrmAskDelete "$(ini_get "$APP/Languages/DLan_French.ini" frmAskDelete bOK)"
box=$(msgbox_wait 20) || fail "no failure question (French)"
sp=$(wt wait TfrmSystemPoint 2)
check "the restore point dialog in French" box_has "$sp" "$(ini_get "$APP/Languages/DLan_French.ini" frmSystemPoint lScanTask)"
shot restore_point_failed_fr
wt click "$box" "&No"
check_eq "No stops (French)" 0 "$(replacements)"
wt close "$MAIN_CLASS"
hv_wait 20

finish
