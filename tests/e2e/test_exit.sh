#!/usr/bin/env bash
# Closing by the Exit button, clicked with the mouse: the snapshots beside
# the listed hive files are deleted (one held open stays), nothing else is
# touched, options.ini is written, and the program ends.
. "$(dirname "$0")/lib.sh"

e2e_start win64
mapfile -t hives < <(demo_hive_files)
mapfile -t hives_win < <(awk -F'\t' 'NF == 4 { print $2 }' "$P/demohives.txt")
check "demo hive files present" test "${#hives[@]}" -ge 3 -a -f "${hives[0]}"
config_dir=$(dirname "${hives[0]}")

for f in "${hives[@]}"; do printf 'snapshot' >"$f.hvx"; done
# Look-alikes that are no snapshot of a listed hive.
keep=("${hives[0]}.hvx.old" "${hives[0]}.bak" "$config_dir/UNLISTED.hvx")
for f in "${keep[@]}"; do printf 'keep' >"$f"; done
held="${hives[1]}"
bg_start wt hold "${hives_win[1]}.hvx" >"$P/hold.out"
for _ in $(seq 100); do grep -q held "$P/hold.out" && break; sleep 0.1; done
check "a snapshot held open elsewhere" grep -q held "$P/hold.out"

hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }
check "no options.ini before the first close" test ! -e "$APP/options.ini"
mouse_click "$(ctl_at "$main" 16 283)"
check "Exit ends the program" hv_wait 20
check_eq "exit code" 0 "${HV_RC:-}"
check "main window gone" wt gone "$MAIN_CLASS" 5

for f in "${hives[@]}"; do
  if [ "$f" = "$held" ]; then
    check "held snapshot $(basename "$f").hvx stays" test -f "$f.hvx"
  else
    check "snapshot $(basename "$f").hvx deleted" test ! -e "$f.hvx"
  fi
  check "hive file $(basename "$f") kept" test -f "$f"
done
for f in "${keep[@]}"; do check "$(basename "$f") kept" test -f "$f"; done

# First start: the defaults, written in their order.
check_eq "options.ini written" "$(printf '[Options]\nRestorePoint=0\nIsAskBeforeDefrag=1\nIsShowLine=1\nLan=English')" \
  "$(tr -d '\r' <"$APP/options.ini" | sed '/^$/d')"

# A second run with settings of its own: they apply at start and are
# written back as held, other sections and keys stay.
printf '[Other]\r\nKeep=yes\r\n[Options]\r\nLan=german\r\nIsShowLine=0\r\nRestorePoint=1\r\nIsAskBeforeDefrag=0\r\nExtra=x\r\n' \
  >"$APP/options.ini"
hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }
check_eq "grid lines off from options.ini" "gridlines=0" "$(wt list "$main" | head -1 | cut -d' ' -f1)"
check_eq "German from options.ini" "$(ini_get "$APP/Languages/DLan_German.ini" frmMain bExit)" \
  "$(ctl_field "$(ctl_at "$main" 16 283)" 9)"
mouse_click "$(ctl_at "$main" 16 283)"
check "Exit ends the program again" hv_wait 20
check_eq "exit code" 0 "${HV_RC:-}"
ini="$APP/options.ini"
check_eq "settings written back as held" "1 0 0 german" \
  "$(echo $(ini_get "$ini" Options RestorePoint) $(ini_get "$ini" Options IsAskBeforeDefrag) \
     $(ini_get "$ini" Options IsShowLine) $(ini_get "$ini" Options Lan))"
check_eq "other keys kept" "yes x" "$(ini_get "$ini" Other Keep) $(ini_get "$ini" Options Extra)"
check "held snapshot still there" test -f "$held.hvx"
for f in "${keep[@]}"; do check "$(basename "$f") still kept" test -f "$f"; done

finish
