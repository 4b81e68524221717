#!/usr/bin/env bash
# A second copy, with or without a switch, hands over to the running one:
# it restores the first from the taskbar, puts it in front and ends without
# a window of its own; the switch is not passed on.
. "$(dirname "$0")/lib.sh"

e2e_start win64
hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }
rows_before=$(wt list "$main")
relay_on 'user32.CreateWindowExA;user32.CreateWindowExW;user32.PostMessageA;user32.SetForegroundWindow;kernel32.CreateFileA;kernel32.GetPrivateProfileStringA;kernel32.WritePrivateProfileStringA'
bg_start wine notepad >/dev/null 2>&1
wt wait Notepad 30 >/dev/null || fail "notepad did not start"
main_hex=$(printf '%08x' "${main#\#}")

wait_state() {  # wait_state WINDOW PATTERN: polls the window's state
  local i
  for i in $(seq 50); do
    [[ $(wt state "$1") == $2 ]] && return 0
    sleep 0.1
  done
  return 1
}

round=0
for args in "" "/Silent" "/Scan C:\\report.ini"; do
  round=$((round + 1))
  what="second copy${args:+ with $args}"
  # The minimise button, clicked with the mouse, sends the window to the
  # taskbar; another program is then in front.
  mouse_click "$(ctl_at "$main" 488 9)"
  check "$what: first copy minimised" wait_state "$main" "*iconic=1*"
  xdotool mousemove 100 300 click 1
  check "$what: another program in front" wait_state Notepad "*foreground=1*"

  start=$(date +%s%N)
  # shellcheck disable=SC2086
  (cd "$APP" && WINEDEBUG=+relay run_limited 30 wine hivara.exe $args >/dev/null 2>"$P/second$round.log")
  rc=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  check_eq "$what: exit code" 0 "$rc"
  check "$what: ends at once ($ms ms)" test "$ms" -lt 5000
  calls=$(grep -a 'Call [a-z0-9]*\.[A-Za-z]*(' "$P/second$round.log" | grep -v 'window proc' | sed 's/^[0-9a-f]*:Call //; s/ ret=[0-9a-f]*$//')
  check_eq "$what: only posts WM_SHOWMAIN and puts the first in front" \
    "$(printf 'user32.PostMessageA(%s,00006604,00000000,00000000)\nuser32.SetForegroundWindow(%s)' "$main_hex" "$main_hex")" \
    "$calls"

  check "$what: first copy restored and in front" wait_state "$main" "visible=1 iconic=0 foreground=1 enabled=1"
  check_eq "$what: still one main window" 1 "$(wt count "$MAIN_CLASS")"
  check_eq "$what: first copy at its place" "234 188 790 580 556 392" "$(wt rect "$main")"
done

# Had a switch reached the first copy, it would now hide its window, write
# snapshots or the report, and end.
sleep 2
check "first copy still running" kill -0 "$HV_PID"
check_eq "first copy still shown" "visible=1" "$(wt state "$main" | cut -d' ' -f1)"
check_eq "first copy's rows unchanged" "$rows_before" "$(wt list "$main")"
check "no report written" test ! -e "$P/drive_c/report.ini"
check_eq "no snapshots written" "" "$(demo_hive_files | while read -r f; do ls "$f.hvx" 2>/dev/null; done)"

finish
