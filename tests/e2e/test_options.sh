#!/usr/bin/env bash
# The Options dialog against options.ini: its boxes show the settings it
# opens with; Cancel and the close box after changes leave the file, the
# grid lines and the settings in memory as they were; OK stores all three
# boxes, applies the grid lines at once and rewrites the file (also without
# a change), keeping what else the file holds; the grid lines stay off after
# a restart.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"

more_start win64
printf '[Other]\r\nKeep=yes\r\n[Options]\r\nRestorePoint=1\r\nIsAskBeforeDefrag=0\r\nIsShowLine=1\r\nLan=English\r\n' >"$INI"
gridlines() { wt list "$MAIN_CLASS" | sed -n 's/^gridlines=\([01]\).*/\1/p'; }
# The three boxes, top to bottom: restore point, ask, grid lines.
boxes() { echo "$(checked "$OPTIONS_CLASS" "$OPT_RESTORE") $(checked "$OPTIONS_CLASS" "$OPT_ASK") $(checked "$OPTIONS_CLASS" "$OPT_LINES")"; }
stored() { echo "$(ini_val RestorePoint) $(ini_val IsAskBeforeDefrag) $(ini_val IsShowLine)"; }
open_options() {
  wt click "$MAIN_CLASS" Options
  wt wait "$OPTIONS_CLASS" 10 >/dev/null || fail "$1: no Options dialog"
}
toggle_all() { for b in "$OPT_RESTORE" "$OPT_ASK" "$OPT_LINES"; do wt click "$OPTIONS_CLASS" "$b"; done; }
# Waits for options.ini to differ from FILE (the settings are saved once the
# dialog has returned).
ini_changed() {
  for _ in $(seq 50); do [ -f "$INI" ] && ! cmp -s "$INI" "$1" && return 0; sleep 0.1; done
  return 1
}

hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }
check_eq "grid lines from the file" 1 "$(gridlines)"
cp "$INI" "$P/ini.start"

open_options "first opening"
check_eq "boxes show the settings" "1 0 1" "$(boxes)"
check_eq "main window disabled under the dialog" enabled=0 "$(wt state "$main" | cut -d' ' -f4)"
toggle_all
check_eq "the boxes toggled" "0 1 0" "$(boxes)"
wt click "$OPTIONS_CLASS" "&Cancel"
wt gone "$OPTIONS_CLASS" 10 || fail "Cancel leaves the dialog open"
sleep 0.5
check "Cancel: options.ini untouched" cmp -s "$INI" "$P/ini.start"
check_eq "Cancel: grid lines kept" 1 "$(gridlines)"
open_options "after Cancel"
check_eq "Cancel: the settings in memory unchanged" "1 0 1" "$(boxes)"

toggle_all
wt close "$OPTIONS_CLASS"
wt gone "$OPTIONS_CLASS" 10 || fail "the close box leaves the dialog open"
sleep 0.5
check "close box: options.ini untouched" cmp -s "$INI" "$P/ini.start"
check_eq "close box: grid lines kept" 1 "$(gridlines)"
open_options "after the close box"
check_eq "close box: the settings in memory unchanged" "1 0 1" "$(boxes)"

toggle_all
wt click "$OPTIONS_CLASS" "&OK"
wt gone "$OPTIONS_CLASS" 10 || fail "OK leaves the dialog open"
check_eq "OK: grid lines off at once" 0 "$(gridlines)"
ini_changed "$P/ini.start" || fail "OK did not write options.ini"
check_eq "OK: all three stored" "0 1 0" "$(stored)"
check_eq "OK: language kept" English "$(ini_val Lan)"
check_eq "OK: other sections kept" yes "$(ini_get "$INI" Other Keep)"
open_options "after OK"
check_eq "OK: the dialog shows the new settings" "0 1 0" "$(boxes)"
shot options_after_ok

# OK without a change writes the file all the same.
rm -f "$INI"
wt click "$OPTIONS_CLASS" "&OK"
wt gone "$OPTIONS_CLASS" 10 || fail "OK leaves the dialog open"
for _ in $(seq 50); do [ -s "$INI" ] && break; sleep 0.1; done
check "OK without a change: options.ini written" test -s "$INI"
check_eq "OK without a change: the settings written" "0 1 0" "$(stored)"
check_eq "grid lines still off" 0 "$(gridlines)"

wt close "$MAIN_CLASS"
hv_wait 30 || fail "the program did not end"
hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window after the restart"; finish; }
check_eq "after a restart: grid lines off" 0 "$(gridlines)"
open_options "after a restart"
check_eq "after a restart: the dialog shows the stored settings" "0 1 0" "$(boxes)"
wt click "$OPTIONS_CLASS" "&Cancel"
finish
