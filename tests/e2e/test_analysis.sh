#!/usr/bin/env bash
# Analyze Registry clicked: the progress dialog as it shows mid-run (its
# worker frozen for the moment it is read and photographed), the bar and
# the hive in hand moving on in catalogue order, and afterwards every row and
# the four totals as the hive files and their snapshots measure, with
# Defrag Registry enabled.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"
arch=${E2E_ARCH:-win64}

more_start "$arch"
# Saves that take long enough to watch, before the demo hives in the list.
slow_hives 100 300
hv_start
main=$(wt wait "$MAIN_CLASS" 90) || { fail "no main window"; finish; }
rows=$(awk -F'\t' 'NF == 4' "$P/demohives.txt" | wc -l)
check_eq "one row per hive" "$rows" "$(wt list "$main" | grep -c '^row')"
check_eq "no figures before the analysis" "$(empty_figures)" "$(shown_figures)"
check_eq "Defrag Registry disabled before the analysis" disabled "$(defrag_state)"
read -r ml mt mr mb _ < <(wt rect "$main")

drive_bg "$P/run.txt" "click|$MAIN_CLASS|Analyze Registry" "wait|$PROGRESS_CLASS|30" "pause|$PROGRESS_CLASS" \
  "dump|$PROGRESS_CLASS" "mark|paused" 'until|C:\go|60' "resume" "watch|$PROGRESS_CLASS|120"
if drive_seen "$P/run.txt" "mark.paused" 60; then
  shot "progress_$arch"
  check_eq "main window disabled while the dialog is up" enabled=0 "$(wt state "$main" | cut -d' ' -f4)"
else
  fail "the progress dialog was not seen mid-run"
fi
touch "$P/drive_c/go"
drive_wait 180 || fail "the run did not end"
check_eq "driver steps" 0 "${DRIVE_RC:-}"
analysis_wait 60 || fail "the analysis did not end"

# The dialog mid-run: its texts, the hive in hand, the bar's percent caption.
IFS=$'\t' read -r geo client caption < <(lines "$P/run.txt" window)
check_eq "dialog caption" "Defrag Registry" "$caption"
check_eq "dialog client size" "394 181" "$client"
read -r dl dt dr db <<<"$geo"
check "dialog centred on the main window ($dl $dt $dr $db)" \
  test $(( (dl + dr) - (ml + mr) )) -ge -1 -a $(( (dl + dr) - (ml + mr) )) -le 1 -a \
  $(( (dt + db) - (mt + mb) )) -ge -1 -a $(( (dt + db) - (mt + mb) )) -le 1
dump=$(lines "$P/run.txt" dump)
check_eq "label" "Static	visible	enabled	Analyzing registry. Please wait." "$(grep -m1 'Analyzing' <<<"$dump")"
check_eq "checking label" "Static	visible	enabled	Checking: " "$(grep -m1 'Checking' <<<"$dump")"
check_eq "Stop enabled" "Button	visible	enabled	Stop" "$(grep -m1 'Stop' <<<"$dump")"
memo=$(awk -F'\t' '$1 == "Edit" { print $4 }' <<<"$dump")
check "memo shows a hive of the list ($memo)" grep -qxF "$memo" <(cut -f1 "$P/demohives.txt")
bar=$(awk -F'\t' '$1 == "msctls_progress32" { print $4 }' <<<"$dump")
check "bar caption a percent below 100 ($bar)" grep -qxE '[0-9]{1,2}%' <<<"$bar"

# While it ran: the percent never went back, the hives came in list order.
percents=$(lines "$P/run.txt" seen | awk -F'\t' '$1 == "msctls_progress32" { sub(/%$/, "", $2); print $2 }')
check "bar advanced ($(echo $percents | tr ' ' ,))" test "$(sort -n <<<"$percents")" = "$percents" -a "$(wc -l <<<"$percents")" -ge 3
order=$(wt list "$main" | awk -F'\t' '$1 == "row" { print $2 "\t" $3 }')
seen_rows=$(lines "$P/run.txt" seen | awk -F'\t' '$1 == "Edit" && $2 != "Finish"' | cut -f2 |
  while IFS= read -r name; do awk -F'\t' -v n="$name" '$2 == n { print $1 }' <<<"$order"; done)
check "hives in hand in list order ($(echo $seen_rows | tr ' ' ,))" \
  test "$(sort -n <<<"$seen_rows")" = "$seen_rows" -a "$(wc -l <<<"$seen_rows")" -ge 3

# Afterwards: figures as measured (the snapshots go when the program ends).
measured=$(measure_rows)
check "every hive has its snapshot" test -z "$(awk -F'\t' '$3 == 0' <<<"$measured")"
check_texts "rows and totals" "$(expected_figures "$measured")" "$(shown_figures)"
check_eq "Defrag Registry enabled" enabled "$(defrag_state)"
check_eq "no message box" "" "$(wt popups | grep -v "$MAIN_CLASS")"
shot "analysis_done_$arch"
finish
