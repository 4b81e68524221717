#!/usr/bin/env bash
# "/Scan" as seen from outside: nothing of the program visible past the main
# window's brief first showing (the progress dialog at most for the moment
# before it hides itself), and a "Time" that is the moment of writing in
# the user's short date and long time formats; with a snapshot held open only
# the error box shows. A first argument holding more than the switch, or the
# switch in the second place, leaves the program interactive.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"

more_start win64
slow_hives 60 300
PROGRAM_WINDOWS="$MAIN_CLASS|$PROGRESS_CLASS|$ASK_CLASS|$POINT_CLASS|$OPTIONS_CLASS|#32770"
report="$P/drive_c/report.ini"

drive_bg "$P/tops.txt" "mark|sampling" "tops|90"
drive_seen "$P/tops.txt" sampling 30 || fail "the sampler did not start"
started=$(date +%s)
hv_start /Scan 'C:\report.ini'
hv_wait 90 || fail "/Scan did not end"
ended=$(date +%s)
check_eq "/Scan exit code" 0 "${HV_RC:-}"
kill "$DRIVE_PID" 2>/dev/null
check "the main window's first showing was seen and ended" \
  test -n "$(lines "$P/tops.txt" hid | grep "^$MAIN_CLASS	")"
check_eq "nothing else of the program visible" "" "$(unattended_sightings "$PROGRAM_WINDOWS" "$P/tops.txt")"
check "report written" test -f "$report"
time_value=$(ini_get "$report" "Scan Result" Time)
check "Time in the short date and long time formats ($time_value)" \
  grep -qxE '[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} (AM|PM)' <<<"$time_value"
written=$(python3 -c 'import sys, datetime; print(int(datetime.datetime.strptime(sys.argv[1], "%m/%d/%Y %I:%M:%S %p").timestamp()))' \
  "$time_value" 2>/dev/null)
check "Time is the moment of writing ($time_value)" test "${written:-0}" -ge "$started" -a "${written:-0}" -le "$ended"

# Not the switch alone, or not in the first place: an ordinary start.
for args in '/Scan C:\r2.ini' 'x|/Scan|C:\r2.ini'; do
  IFS='|' read -r -a argv <<<"$args"
  hv_start "${argv[@]}"
  main=$(wt wait "$MAIN_CLASS" 60) || { fail "[$args]: no main window"; continue; }
  sleep 2
  check_eq "[$args]: still shown" visible=1 "$(wt state "$main" | cut -d' ' -f1)"
  check_eq "[$args]: no analysis ran" disabled "$(defrag_state)"
  check "[$args]: no report" test ! -e "$P/drive_c/r2.ini"
  wt close "$MAIN_CLASS"
  hv_wait 30 || fail "[$args]: the program did not end"
done

# A snapshot held open: only the error box, then empty figures and the time.
system_win=$(awk -F'\t' '$1 == "\\REGISTRY\\MACHINE\\SYSTEM" { print $2 }' "$P/demohives.txt")
printf 'held' >"$(unix_path "$system_win").hvx"
(cd "$APP" && exec wine wintext.exe hold "$system_win.hvx" >"$P/hold.out") &
E2E_PIDS+=($!)
for _ in $(seq 100); do grep -q held "$P/hold.out" && break; sleep 0.1; done
hv_start /Scan 'C:\report.ini'
box=$(msgbox_wait 60) || { fail "no error box"; finish; }
check_eq "the pre-check message" \
  "$(printf 'caption=Tolvik Hivara\ntext=Can not analyze the registry now! Please try again later.\nbutton=OK')" \
  "$(msgbox_content "$box")"
check_eq "only the box is visible" "#32770	Tolvik Hivara" "$(wt popups | cut -f2,9 | grep -E "^($PROGRAM_WINDOWS)	")"
wt click "$box" OK
hv_wait 30 || fail "the program did not end after the box"
check_eq "exit code with a snapshot held open" 1 "${HV_RC:-}"
check_eq "empty figures, then the time" "Current Size=|New Size=|Size Reduction=|Compact Percent=|Time=" \
  "$(awk '{ sub(/\r$/, "") } /^\[/ { s = $0; next } s == "[Scan Result]" && /=/ { sub(/=.*/, "="); print }' "$report" | paste -sd'|')"
check_eq "all four figures empty" "" "$(for k in 'Current Size' 'New Size' 'Size Reduction' 'Compact Percent'; do ini_get "$report" 'Scan Result' "$k"; done | tr -d '\n')"
check "a time written" test -n "$(ini_get "$report" 'Scan Result' Time)"
finish
