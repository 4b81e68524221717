#!/usr/bin/env bash
# Defrag Registry after an analysis, to the end: the confirmation (a fresh,
# clear check box each time; ticking and clearing it keeps the question; a
# question turned off comes back through Options), the failed restore point
# whose question defaults to No (Enter stops everything), then Yes: one
# replacement request per hive in list order with its root, subkey, snapshot
# and backup name, an old backup deleted just before its hive's request, the
# restart message, and the forced restart (which ends every process of the
# prefix under Wine). Requests are read from Wine's relay trace.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"

more_start win64
printf '[Options]\r\nRestorePoint=0\r\nIsAskBeforeDefrag=1\r\nIsShowLine=1\r\nLan=English\r\n' >"$INI"
relay_on 'advapi32.RegReplaceKeyA;user32.ExitWindowsEx;KERNEL32.DeleteFileA'
WINEDEBUG=+relay hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }
analyze_ok 60 || { fail "the analysis did not succeed"; finish; }
mark=$(log_mark)
requests() { log_since "$mark" | grep -E '^(RegReplaceKeyA|ExitWindowsEx)\(' | grep -c .; }

# confirm WHAT: Defrag Registry clicked, the confirmation awaited; its handle.
confirm() {
  wt click "$MAIN_CLASS" "Defrag Registry"
  ASK=$(wt wait "$ASK_CLASS" 10) || { fail "$1: no confirmation"; return 1; }
  check_eq "$1: the check box starts clear" 0 "$(checked "$ASK_CLASS" "Don't ask me next time")"
}
answer() {
  wt click "$ASK_CLASS" "$1"
  wt gone "$ASK_CLASS" 10 || fail "the confirmation stays after $1"
}
ask_saved() {  # ask_saved VALUE: options.ini holds it right after the answer
  for _ in $(seq 50); do [ "$(ini_val IsAskBeforeDefrag)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}

confirm "first click" || finish
texts=$(drive "dump|$ASK_CLASS" | awk -F'\t' '$2 == "dump" && $6 != "" { print $3 "|" $6 }' | sort)
check_texts "confirmation texts" "$(printf '%s\n' "Static|Are you sure you want to start to defrag your registry?" \
  "Button|&Yes" "Button|&No" "Static|You must restart your computer for the changes to take effect" \
  "Static|after you finish the Registry defragment." "Button|Don't ask me next time" | sort)" "$texts"
shot defrag_confirm_en
wt click "$ASK_CLASS" "Don't ask me next time"
wt click "$ASK_CLASS" "Don't ask me next time"
answer "&No"
sleep 0.5
check_eq "ticked and cleared, No: the question stays on" 1 "$(ini_val IsAskBeforeDefrag)"

confirm "second click" || finish
wt click "$ASK_CLASS" "Don't ask me next time"
shot defrag_confirm_ticked_en
answer "&No"
check "ticked, No: the question switched off in options.ini at once" ask_saved 0
check_eq "No: nothing requested" 0 "$(requests)"

# Options shows the question off; turning it and the restore point on.
wt click "$MAIN_CLASS" Options
wt wait "$OPTIONS_CLASS" 10 >/dev/null || fail "no Options dialog"
check_eq "Options shows the question off" 0 "$(checked "$OPTIONS_CLASS" "$OPT_ASK")"
wt click "$OPTIONS_CLASS" "$OPT_ASK"
wt click "$OPTIONS_CLASS" "$OPT_RESTORE"
wt click "$OPTIONS_CLASS" "&OK"
wt gone "$OPTIONS_CLASS" 10 || fail "Options stays open"

# The question is back; the restore point fails under Wine; Enter means No.
confirm "after Options" || finish
answer "&Yes"
box=$(msgbox_wait 30) || { fail "no restore point question"; finish; }
check "restore point dialog beneath the question" eval 'wt wait "$POINT_CLASS" 2 >/dev/null'
check_texts "restore point question" "$(printf 'caption=Tolvik Hivara\ntext=Restore Point creation Failed! Please check whether you close the system restore. Contiue to defrag?\nbutton=&Yes\nbutton=&No')" \
  "$(msgbox_content "$box")"
shot defrag_restore_failed_en
# A click on the question's text gives the box the keyboard, touching no button.
mouse_click "$(children "$box" | awk -F'\t' '$2 == "Static" && $9 ~ /^Restore Point/ { print $1 }')"
xdotool key Return
wt gone "$box" 10 || fail "Enter leaves the question open"
wt gone "$POINT_CLASS" 10 || fail "the restore point dialog stays"
analysis_wait 10 || fail "the main window takes no input after Enter"
check_eq "Enter (No by default): nothing requested" 0 "$(requests)"

# An old backup of one hive, to be deleted before that hive's request.
mapfile -t names < <(wt list "$main" | awk -F'\t' '$1 == "row" { print $3 }')
old_bak="$(hive_file '\REGISTRY\MACHINE\SYSTEM').bak"
printf 'old backup' >"$old_bak"
mark=$(log_mark)
confirm "the real one" || finish
answer "&Yes"
box=$(msgbox_wait 30) || { fail "no restore point question"; finish; }
wt click "$box" "&Yes"
box=$(msgbox_wait 30) || { fail "no restart message"; finish; }
check_eq "restart message" "$(printf 'caption=Tolvik Hivara\ntext=You must restart your computer for the changes to take effect. Click the OK button to restart your computer now.\nbutton=OK')" \
  "$(msgbox_content "$box")"
shot defrag_restart_message_en
check_eq "no restart before the message is answered" "" "$(log_since "$mark" | grep '^ExitWindowsEx(')"

# Every hive, in list order: HKLM or HKU, the subkey, snapshot and backup.
expected=$(printf '%s\n' "${names[@]}" | replacement_requests)
calls=$(log_since "$mark")
check_texts "one replacement request per hive" "$expected" \
  "$(grep '^RegReplaceKeyA(' <<<"$calls" | sed -E 's/^RegReplaceKeyA\((.*)\)$/\1/')"
system_file=$(awk -F'\t' '$1 == "\\REGISTRY\\MACHINE\\SYSTEM" { print $2 }' "$P/demohives.txt")
check_eq "the old backup deleted just before its hive's request" \
  "$(printf 'DeleteFileA("%s.bak")\nRegReplaceKeyA(80000002,"SYSTEM",' "$system_file")" \
  "$(grep -E '^(DeleteFileA\(".*\.bak"\)|RegReplaceKeyA\()' <<<"$calls" | grep -B1 -m1 '"SYSTEM"' | sed -E 's/^(RegReplaceKeyA\(80000002,"SYSTEM",).*/\1/')"
check_eq "no other backup deleted" 1 "$(grep -c '^DeleteFileA(".*\.bak")' <<<"$calls")"
check "the old backup is gone" test ! -e "$old_bak"

wt click "$box" OK
hv_wait 60 || fail "the restart did not end the program"
check_eq "the forced restart requested once, after the replacements" "ExitWindowsEx(00000006,00000001)" \
  "$(log_since "$mark" | sed -n '/^RegReplaceKeyA(/,$p' | grep '^ExitWindowsEx(')"
check_eq "the program ended by the restart" 0 "${HV_RC:-}"
# Wine's restart ends every process of the prefix and boots it afresh; the
# prefix then goes quiet by itself.
check "the prefix's processes end after the restart" run_limited 60 wineserver -w
finish
