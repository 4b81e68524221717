#!/usr/bin/env bash
# The unattended modes end to end: "/Scan" writes its report (quoted path
# with blanks, other sections kept, an old result replaced), "/Scan" without
# a path writes nothing, a report in a missing folder is reported and ends
# the program, and "/silent" asks Windows to replace every hive and restart
# without showing anything.
. "$(dirname "$0")/lib.sh"

# The message box shows the text.
box_has() { wt dump "$1" | grep -qaF "$2"; }

e2e_start win64

# Expected figures from the sizes the demo registry made.
kb_total() { awk -F'\t' -v col="$1" 'NF == 4 { kb = int($col / 1024) + ($col % 1024 ? 1 : 0); s += $col }
  END { k = int(s / 1024) + (s % 1024 ? 1 : 0); t = sprintf("%d", k); out = "";
        while (length(t) > 3) { out = "," substr(t, length(t) - 2) out; t = substr(t, 1, length(t) - 3) }
        print t out " KB" }' "$P/demohives.txt"; }
want_current=$(kb_total 3)

# --- "/Scan" with a quoted report path holding blanks
report_dir="$P/drive_c/report dir"
mkdir -p "$report_dir"
printf '[Other]\r\nKeep=yes\r\n[Scan Result]\r\nStale=1\r\nCurrent Size=old\r\n' >"$report_dir/scan report.ini"
hv_start /Scan 'C:\report dir\scan report.ini'
check "/Scan ends by itself" hv_wait 90
check_eq "/Scan exit code" 0 "${HV_RC:-}"
report="$report_dir/scan report.ini"
keys=$(awk '{ sub(/\r$/, "") } /^\[/ { s = $0; next } s == "[Scan Result]" && /=/ { sub(/=.*/, ""); print }' "$report" | paste -sd,)
check_eq "report keys in order" "Current Size,New Size,Size Reduction,Compact Percent,Time" "$keys"
check_eq "Current Size from the hive files" "$want_current" "$(ini_get "$report" "Scan Result" "Current Size")"
check "New Size is a size" grep -qaE '^New Size=[0-9,]+ KB' "$report"
check "Compact Percent has one decimal" grep -qaE '^Compact Percent=[0-9]+\.[0-9]%' "$report"
check "Time is a date and a time" grep -qaE '^Time=[0-9]+/[0-9]+/[0-9]{4}( .+)?' "$report"
check_eq "other section kept" yes "$(ini_get "$report" Other Keep)"
check "old result replaced" bash -c "! grep -qa '^Stale=' '$report'"
check "no snapshot left" bash -c "! ls '$P/drive_c/windows/system32/config/'*.hvx 2>/dev/null | grep -q ."

# --- the same figures as the window shows after an interactive analysis
hv_start
main=$(wt wait "$MAIN_CLASS" 30) || fail "no main window"
wt click "$MAIN_CLASS" "Analyze Registry"
for _ in $(seq 300); do [ -n "$(wt dump "$MAIN_CLASS" | awk -F'\t' '$3 == 222 && $4 == 312 { print $9 }')" ] && break; sleep 0.2; done
# Low gains bring an advice box; answer it.
wt click "#32770" "OK" >/dev/null 2>&1
shown=$(wt dump "$MAIN_CLASS" | awk -F'\t' '$3 == 222 && ($4 == 312 || $4 == 330 || $4 == 348 || $4 == 366) { print $9 }' | paste -sd'|')
written=$(for k in "Current Size" "New Size" "Size Reduction" "Compact Percent"; do ini_get "$report" "Scan Result" "$k"; done | paste -sd'|')
check_eq "report figures equal the window's totals" "$shown" "$written"
wt close "$MAIN_CLASS"
check "window closed" hv_wait 20

# --- "/Scan" without a path: the analysis, no report, the end
before=$(find "$P/drive_c" -newer "$report" -name '*.ini' 2>/dev/null | grep -v options.ini | wc -l)
hv_start /scan
check "/scan without a path ends" hv_wait 90
check_eq "exit code without a path" 0 "${HV_RC:-}"
after=$(find "$P/drive_c" -newer "$report" -name '*.ini' 2>/dev/null | grep -v options.ini | wc -l)
check_eq "no report file written" "$before" "$after"

# --- a report in a folder that does not exist
hv_start /SCAN 'C:\no such folder\r.ini'
box=$(msgbox_wait 90) || fail "no error box"
check "the write error is shown" box_has "$box" 'Unable to write to C:\no such folder\r.ini'
shot scan_report_error
wt click "$box" "OK"
check "the program ends after the error box" hv_wait 30
check_eq "exit code for an unwritable report" 2 "${HV_RC:-}"

# --- "/silent": replacement of every hive and the restart, nothing shown
relay_on 'advapi32.RegReplaceKeyA;user32.ExitWindowsEx'
: >"$P/hivara.log"
hives=$(awk -F'\t' 'NF == 4' "$P/demohives.txt" | wc -l)
WINEDEBUG=+relay hv_start /silent
seen=0
for _ in $(seq 300); do
  kill -0 "$HV_PID" 2>/dev/null || break
  # Past the main window's brief first showing nothing may be visible.
  if grep -qa "Call advapi32.RegReplaceKeyA" "$P/hivara.log"; then
    [ "$(wt popups 2>/dev/null | grep -c -E "$MAIN_CLASS|#32770|TfrmGetNewHiveProgess")" = 0 ] || seen=1
  fi
  grep -qa "Ret  user32.ExitWindowsEx" "$P/hivara.log" && break
  sleep 0.1
done
check_eq "nothing of the program visible while it works" 0 "$seen"
hv_wait 60
calls=$(relay_calls advapi32.RegReplaceKeyA)
check_eq "one replacement request per hive" "$hives" "$(printf '%s\n' "$calls" | grep -c .)"
check "machine hives under HKLM with .hvx and .bak" bash -c "printf '%s\n' \"\$1\" | grep -qa '^80000002,\"SOFTWARE\",\".*SOFTWARE.hvx\",\".*SOFTWARE.bak\"'" _ "$calls"
check "user hives under HKU" bash -c "printf '%s\n' \"\$1\" | grep -qa '^80000003,\".DEFAULT\",'" _ "$calls"
check_eq "the forced restart" "00000006,00000001" "$(relay_calls user32.ExitWindowsEx | head -1)"

finish
