#!/usr/bin/env bash
# An analysis cut short, several times over in one run of the program: Stop
# pressed, or the dialog closed (WM_CLOSE), while the worker is frozen in the
# middle of the hives. Stop lets the hive in hand finish and skips the rest;
# closing ends the dialog at once, whatever the worker does, and nothing of
# that worker reaches the program afterwards. Either way the list keeps its
# empty figures, Defrag Registry stays disabled and the program goes on
# answering; a run started right after a closed one completes normally.
# What the worker did is read from Wine's relay trace of the program.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_more.sh"

more_start win64
slow_hives 100 300
relay_on 'advapi32.RegSaveKeyA;user32.SetWindowTextA;user32.EnableWindow'
WINEDEBUG=+relay hv_start
main=$(wt wait "$MAIN_CLASS" 90) || { fail "no main window"; finish; }
mh=$(hex "$main")
total=$(wt list "$main" | grep -c '^row')
empty=$(empty_figures)

# The snapshot file of a hive as the program names it.
snapshot_of() { echo "$(awk -F'\t' -v n="$1" '$1 == n { print $2; exit }' "$P/demohives.txt").hvx"; }
saves() { grep '^RegSaveKeyA(' | sed -E 's/^RegSaveKeyA\([0-9a-f]+,"(.*)",[0-9a-f]+\)$/\1/'; }
# Nothing of the run stays behind in the window: no figures, Defrag disabled.
check_untouched() {
  check_eq "$1: no figures" "$empty" "$(shown_figures)"
  check_eq "$1: Defrag Registry disabled" disabled "$(defrag_state)"
  check_eq "$1: no message box" "" "$(wt popups | grep -v "$MAIN_CLASS")"
  check "$1: program running" kill -0 "$HV_PID"
}

for run in ${STOP_RUNS-1 2 3}; do
  what="Stop, run $run"
  find "$P/drive_c" -name '*.hvx' -delete
  mark=$(log_mark)
  drive "click|$MAIN_CLASS|Analyze Registry" "wait|$PROGRESS_CLASS|30" "pause|$PROGRESS_CLASS" \
    "click|$PROGRESS_CLASS|Stop" "text|$PROGRESS_CLASS|Static|Stop Process...|10" "dump|$PROGRESS_CLASS" \
    "resume" "gone|$PROGRESS_CLASS|60" "ping|$MAIN_CLASS|6000" >"$P/stop.txt" ||
    { fail "$what: driver steps"; cat "$P/stop.txt" >&2; }
  analysis_wait 30 || fail "$what: the analysis did not end"
  dump=$(lines "$P/stop.txt" dump)
  check_eq "$what: Stop disabled once pressed" "Button	visible	disabled	Stop" "$(grep -m1 'Stop$' <<<"$dump")"
  memo=$(awk -F'\t' '$1 == "Edit" { print $4 }' <<<"$dump")
  check "$what: memo shows the hive in hand ($memo)" grep -qxF "$memo" <(cut -f1 "$P/demohives.txt")
  calls=$(log_since "$mark")
  saved=$(saves <<<"$calls")
  after=$(sed -n '/^SetWindowTextA([0-9a-f]*,"Stop Process...")$/,$p' <<<"$calls")
  check "$what: stopped midway ($(grep -c . <<<"$saved") of $total saved)" test "$(grep -c . <<<"$saved")" -lt "$total"
  check "$what: at most the hive in hand saved after Stop" test "$(saves <<<"$after" | grep -c .)" -le 1
  check_eq "$what: the last hive saved is the one the memo showed" "$(snapshot_of "$memo")" "$(tail -1 <<<"$saved")"
  check "$what: no Finish" test -z "$(grep -F '"Finish")' <<<"$calls")"
  check_eq "$what: snapshots on disk are those saved" "$(grep -c . <<<"$saved")" "$(snapshots | grep -c .)"
  check_untouched "$what"
done
shot "stopped_en"

for run in 1 2 3; do
  what="closed, run $run"
  find "$P/drive_c" -name '*.hvx' -delete
  mark=$(log_mark)
  rm -f "$P/drive_c/go"
  # Wine's X11 driver, with no window manager to confirm, waits 2 s for a
  # hidden window to be withdrawn (more than once, at times): the first answer
  # may take that long. The worker stays frozen meanwhile, so an answer at all
  # shows that the window does not wait for it.
  drive_bg "$P/close.txt" "click|$MAIN_CLASS|Analyze Registry" "wait|$PROGRESS_CLASS|30" "pause|$PROGRESS_CLASS" \
    "dump|$PROGRESS_CLASS" "close|$PROGRESS_CLASS" "gone|$PROGRESS_CLASS|5" "ping|$MAIN_CLASS|6000" \
    "ping|$MAIN_CLASS|500" "mark|closed" 'until|C:\go|60' "resume"
  if drive_seen "$P/close.txt" "mark.closed" 60; then
    # The worker is still frozen in its hive.
    check_eq "$what: main window takes input again" enabled=1 "$(wt state "$main" | cut -d' ' -f4)"
    check_untouched "$what"
    if [ "$run" = 3 ]; then
      # The next run waits for the frozen worker, answering meanwhile, or,
      # when the worker froze while writing its snapshot (Wine's save writes
      # the file in place), the pre-check refuses it for now.
      wt click "$MAIN_CLASS" "Analyze Registry"
      if box=$(msgbox_wait 3); then
        check_eq "$what: a run refused while the old worker writes" \
          "$(printf 'caption=Tolvik Hivara\ntext=Can not analyze the registry now! Please try again later.\nbutton=OK')" \
          "$(msgbox_content "$box")"
        wt click "$box" OK
        refused=1
      fi
      check "$what: waiting for the old worker, the window answers" drive "sleep|500" "ping|$MAIN_CLASS|6000" "ping|$MAIN_CLASS|500" >/dev/null
    fi
  else
    fail "$what: the dialog did not close while its worker was frozen"
  fi
  touch "$P/drive_c/go"
  drive_wait 30
  [ "${DRIVE_RC:-}" = 0 ] || { fail "$what: driver steps"; cat "$P/close.txt" >&2; }
  memo=$(lines "$P/close.txt" dump | awk -F'\t' '$1 == "Edit" { print $4 }')
  [ "$run" = 3 ] && break
  # The worker ends by itself once it has finished its hive.
  for _ in $(seq 50); do
    n=$(log_since "$mark" | saves | grep -c .)
    sleep 0.3
    [ "$n" = "$(log_since "$mark" | saves | grep -c .)" ] && break
  done
  calls=$(log_since "$mark")
  after=$(sed -n "/^EnableWindow($mh,00000001)\$/,\$p" <<<"$calls")
  check "$what: the modal loop ended" test -n "$after"
  check "$what: stopped midway" test "$(saves <<<"$calls" | grep -c .)" -lt "$total"
  check "$what: at most the hive in hand saved after the close" test "$(saves <<<"$after" | grep -c .)" -le 1
  check_eq "$what: the last hive saved is the one the memo showed" "$(snapshot_of "$memo")" "$(saves <<<"$calls" | tail -1)"
  check_eq "$what: no text from the worker after the close" "" "$(grep '^SetWindowTextA' <<<"$after")"
  check "$what: no Finish" test -z "$(grep -F '"Finish")' <<<"$calls")"
  check_untouched "$what"
done

# The run started while the closed one's worker was frozen goes through.
if [ "${refused:-0}" = 1 ]; then
  sleep 2  # the old worker finishes its hive and ends
  wt click "$MAIN_CLASS" "Analyze Registry"
fi
analysis_wait 120 || { fail "the run after a closed one did not end"; wt popups >&2; }
check_eq "run after a closed one: Defrag Registry enabled" enabled "$(defrag_state)"
measured=$(measure_rows)
check_texts "run after a closed one: rows and totals" "$(expected_figures "$measured")" "$(shown_figures)"
finish
