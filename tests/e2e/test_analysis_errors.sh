#!/usr/bin/env bash
# Analyses that do not succeed, before and after one that did: a SOFTWARE
# snapshot under a quarter of its hive file gives the sanity message (from the
# language file in French), disables Defrag Registry and keeps the figures;
# a snapshot held open by another process gives the pre-check message (built
# in, in every language) and changes nothing at all, not even the button.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"

more_start win64 --software-factor 5
software_name='\REGISTRY\MACHINE\SOFTWARE'
software=$(hive_file "$software_name")
software_snap=$(tr -d '\r' <"$P/demohives.txt" | awk -F'\t' -v n="$software_name" '$1 == n { print $4 }')
system_win=$(awk -F'\t' '$1 == "\\REGISTRY\\MACHINE\\SYSTEM" { print $2 }' "$P/demohives.txt")
check "SOFTWARE hive file five times its snapshot" test "$(size_of "$software")" -ge $((software_snap * 5 - 5))
box_text() { printf 'caption=Tolvik Hivara\ntext=%s\nbutton=OK' "$1"; }
NO_SUCCESS="Failed to analyze the registry!"
PRECHECK="Can not analyze the registry now! Please try again later."

# Clicks Analyze Registry (by its place: captions differ by language) and
# answers the message box that must follow; its content in BOX.
analyze_expecting_box() {
  BOX=""
  mouse_click "$(ctl_at "$MAIN_CLASS" 13 93)"
  local box
  box=$(msgbox_wait 60) || { fail "$1: no message box"; return 1; }
  BOX=$(msgbox_content "$box")
  [ -n "${2:-}" ] && shot "$2"
  wt click "$box" OK
  wt gone "$box" 10 || fail "$1: the box stays"
  analysis_wait 10 || fail "$1: the window takes no input"
}
# The snapshots' modification times: unchanged when no run touched them.
snapshot_times() { snapshots | xargs -r stat -c '%n %.9Y'; }
# Another process holds the SYSTEM snapshot open without sharing.
hold_snapshot() {
  (cd "$APP" && exec wine wintext.exe hold "$system_win.hvx" >"$P/hold.out") &
  HOLD_PID=$!
  E2E_PIDS+=("$HOLD_PID")
  for _ in $(seq 100); do grep -q held "$P/hold.out" && break; sleep 0.1; done
  grep -q held "$P/hold.out" || fail "could not hold the SYSTEM snapshot"
}
release_snapshot() { kill "$HOLD_PID"; wait "$HOLD_PID" 2>/dev/null; }

hv_start
main=$(wt wait "$MAIN_CLASS" 60) || { fail "no main window"; finish; }
empty=$(empty_figures)

analyze_expecting_box "implausible SOFTWARE snapshot" analysis_failed_en
check_eq "implausible SOFTWARE snapshot: the sanity message" "$(box_text "$NO_SUCCESS")" "$BOX"
check_eq "implausible SOFTWARE snapshot: no figures" "$empty" "$(shown_figures)"
check_eq "implausible SOFTWARE snapshot: Defrag Registry disabled" disabled "$(defrag_state)"

hold_snapshot
before=$(snapshot_times)
analyze_expecting_box "snapshot held open"
check_eq "snapshot held open: the pre-check message" "$(box_text "$PRECHECK")" "$BOX"
check_eq "snapshot held open: no snapshot written" "$before" "$(snapshot_times)"
check_eq "snapshot held open: no figures" "$empty" "$(shown_figures)"
check_eq "snapshot held open: Defrag Registry still disabled" disabled "$(defrag_state)"
release_snapshot

# A plausible SOFTWARE hive file: the analysis goes through.
truncate -s $((software_snap * 118 / 100)) "$software"
analysis_ok=0
analyze_ok 60 && analysis_ok=1
check_eq "plausible SOFTWARE snapshot: the analysis succeeds" 1 "$analysis_ok"
figures=$(shown_figures)
check_texts "plausible SOFTWARE snapshot: rows and totals" "$(expected_figures "$(measure_rows)")" "$figures"

hold_snapshot
before=$(snapshot_times)
analyze_expecting_box "held open after a good run"
check_eq "held open after a good run: the pre-check message" "$(box_text "$PRECHECK")" "$BOX"
check_eq "held open after a good run: no snapshot written" "$before" "$(snapshot_times)"
check_eq "held open after a good run: figures kept" "$figures" "$(shown_figures)"
check_eq "held open after a good run: Defrag Registry stays enabled" enabled "$(defrag_state)"
release_snapshot

# A snapshot a little under a quarter of the file: implausible again.
truncate -s $((software_snap * 4 + 4000)) "$software"
analyze_expecting_box "implausible after a good run"
check_eq "implausible after a good run: the sanity message" "$(box_text "$NO_SUCCESS")" "$BOX"
check_eq "implausible after a good run: figures kept" "$figures" "$(shown_figures)"
check_eq "implausible after a good run: Defrag Registry disabled" disabled "$(defrag_state)"

# In French the sanity message comes from the language file; the pre-check
# message stays the built-in English one.
wt close "$MAIN_CLASS"
hv_wait 30 || fail "the program did not end"
sed -i 's/^Lan=.*/Lan=French\r/' "$INI"
check_eq "French set" French "$(ini_val Lan)"
hv_start
main=$(wt wait "$MAIN_CLASS" 60) || { fail "no main window in French"; finish; }
french=$(ini_get "$APP/Languages/DLan_French.ini" ResourceString RES_Analyze_NoSuccess)
check "French text present" test -n "$french" -a "$french" != "$NO_SUCCESS"
analyze_expecting_box "French, implausible" analysis_failed_fr
check_eq "French, implausible: the message from the language file" "$(box_text "$french")" "$BOX"
check_eq "French, implausible: Defrag Registry disabled" disabled "$(defrag_state)"
hold_snapshot
analyze_expecting_box "French, held open"
check_eq "French, held open: the built-in message" "$(box_text "$PRECHECK")" "$BOX"
release_snapshot
finish
