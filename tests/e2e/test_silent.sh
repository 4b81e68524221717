#!/usr/bin/env bash
# "/Silent" with every dialog switched on in options.ini: after the main
# window's brief first showing nothing of the program is visible (the
# progress dialog at most for the moment before it hides itself) (sampled
# throughout from one running process, and photographed mid-analysis), every
# hive gets its replacement request in list order and the forced restart
# follows (Wine's restart then ends every process of the prefix). Then
# "/sILENT" over an implausible SOFTWARE snapshot: only the error box shows,
# and neither a replacement nor a restart is requested. Requests are read
# from Wine's relay trace.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"

more_start win64
# Enough work to watch the analysis while it runs.
slow_hives 60 300
printf '[Options]\r\nRestorePoint=1\r\nIsAskBeforeDefrag=1\r\nIsShowLine=1\r\nLan=English\r\n' >"$INI"
relay_on 'advapi32.RegReplaceKeyA;user32.ExitWindowsEx'
total=$(awk -F'\t' 'NF == 4' "$P/demohives.txt" | wc -l)
PROGRAM_WINDOWS="$MAIN_CLASS|$PROGRESS_CLASS|$ASK_CLASS|$POINT_CLASS|$OPTIONS_CLASS|#32770"

# Visible top-level windows, sampled until the restart ends the sampler too.
drive_bg "$P/tops.txt" "mark|sampling" "tops|120"
drive_seen "$P/tops.txt" "sampling" 30 || fail "the sampler did not start"
mark=$(log_mark)
WINEDEBUG=+relay hv_start /Silent
shot_taken=0
for _ in $(seq 600); do
  kill -0 "$HV_PID" 2>/dev/null || break
  n=$(snapshots | grep -c .)
  if [ "$shot_taken" = 0 ] && [ "$n" -ge 5 ] && [ "$n" -lt "$total" ]; then
    shot silent_mid_analysis
    shot_taken=1
  fi
  sleep 0.1
done
check "photographed mid-analysis" test "$shot_taken" = 1
hv_wait 60 || fail "the program did not end"
check_eq "exit code (the restart ended the program)" 0 "${HV_RC:-}"
drive_wait 30 || fail "the restart left the sampler running"
check "the prefix's processes end after the restart" run_limited 60 wineserver -w

check "the main window's first showing was seen and ended" \
  test -n "$(lines "$P/tops.txt" hid | grep "^$MAIN_CLASS	")"
check_eq "nothing else of the program visible" "" "$(unattended_sightings "$PROGRAM_WINDOWS" "$P/tops.txt")"

calls=$(log_since "$mark")
order=$(awk -F'\t' 'NF == 4 { print $1 }' "$P/demohives.txt" | LC_ALL=C sort -f)
check_texts "one replacement request per hive, in list order" "$(replacement_requests <<<"$order")" \
  "$(grep '^RegReplaceKeyA(' <<<"$calls" | sed -E 's/^RegReplaceKeyA\((.*)\)$/\1/')"
check_eq "then the forced restart, once" "ExitWindowsEx(00000006,00000001)" \
  "$(sed -n '/^RegReplaceKeyA(/,$p' <<<"$calls" | grep '^ExitWindowsEx(')"

# An implausible SOFTWARE snapshot, the switch in another letter case.
software=$(hive_file '\REGISTRY\MACHINE\SOFTWARE')
truncate -s $(( $(awk -F'\t' '$1 == "\\REGISTRY\\MACHINE\\SOFTWARE" { print $4 + 0 }' "$P/demohives.txt") * 5 )) "$software"
mark=$(log_mark)
WINEDEBUG=+relay hv_start /sILENT
box=$(msgbox_wait 90) || { fail "no error box"; finish; }
check_eq "the sanity message" "$(printf 'caption=Tolvik Hivara\ntext=Failed to analyze the registry!\nbutton=OK')" \
  "$(msgbox_content "$box")"
check_eq "only the box is visible" "#32770	Tolvik Hivara" \
  "$(wt popups | cut -f2,9 | grep -E "^($PROGRAM_WINDOWS)	")"
shot silent_failed
wt click "$box" OK
hv_wait 30 || fail "the program did not end after the box"
check_eq "exit code of a failed analysis" 1 "${HV_RC:-}"
check_eq "no replacement, no restart" "" "$(log_since "$mark" | grep -E '^(RegReplaceKeyA|ExitWindowsEx)\(')"
finish
