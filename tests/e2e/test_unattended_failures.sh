#!/usr/bin/env bash
# Unattended runs whose analysis cannot succeed: the error box is shown and
# answered, then "/Scan" writes empty figures with the time, and "/Silent"
# neither replaces a hive nor restarts.
. "$(dirname "$0")/lib.sh"

# The message box shows the text.
box_has() { wt dump "$1" | grep -qaF "$2"; }

e2e_start win64 --software-factor 5
relay_on 'advapi32.RegReplaceKeyA;user32.ExitWindowsEx'

# --- "/Silent" with an implausible SOFTWARE snapshot
WINEDEBUG=+relay hv_start /Silent
box=$(msgbox_wait 90) || fail "no error box"
check "the sanity message" box_has "$box" 'Failed to analyze the registry!'
wt click "$box" "OK"
check "the program ends after the box" hv_wait 30
check_eq "exit code of a failed analysis" 1 "${HV_RC:-}"
check "no replacement requested" bash -c "! grep -qa 'Call advapi32.RegReplaceKeyA' '$P/hivara.log'"
check "no restart requested" bash -c "! grep -qa 'Call user32.ExitWindowsEx' '$P/hivara.log'"

# --- "/Scan" while a snapshot is held open by someone else
mapfile -t hives_win < <(awk -F'\t' 'NF == 4 { print $2 }' "$P/demohives.txt")
held=$(unix_path "${hives_win[0]}").hvx
printf 'held' >"$held"
bg_start wt hold "${hives_win[0]}.hvx" >"$P/hold.out"
for _ in $(seq 100); do grep -q held "$P/hold.out" && break; sleep 0.1; done
hv_start /Scan 'C:\r.ini'
box=$(msgbox_wait 90) || fail "no pre-check box"
check "the pre-check message" box_has "$box" 'Can not analyze the registry now! Please try again later.'
wt click "$box" "OK"
check "the program ends after the box" hv_wait 30
check_eq "exit code when a snapshot is held open" 1 "${HV_RC:-}"
report="$P/drive_c/r.ini"
for k in "Current Size" "New Size" "Size Reduction" "Compact Percent"; do
  check_eq "$k empty" "" "$(ini_get "$report" "Scan Result" "$k")"
done
check "Time written" grep -qaE '^Time=[0-9]+/' "$report"

finish
