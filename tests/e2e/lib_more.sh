# Helpers for the tests of the analysis, the Options dialog, the
# defragmentation and the unattended modes; sourced after lib.sh.
PROGRESS_CLASS="TfrmGetNewHiveProgess"
OPTIONS_CLASS="TfrmOptions"
ASK_CLASS="TfrmAskDelete"
POINT_CLASS="TfrmSystemPoint"
OPT_RESTORE="Create a system restore point before defragment (XP, Vista, Seven)"
OPT_ASK="Ask before defraging the registy"
OPT_LINES="Show Grid Lines for the hive name list"

# e2e_start, then the tools of these tests beside the program.
more_start() {
  e2e_start "$@"
  local exe
  for exe in uidrive slowhives; do
    cp "$build/$exe.exe" "$APP/" || fail "no $exe.exe in $build"
  done
  INI="$APP/options.ini"
}

# slow_hives N KB [NAME]: hives whose saves take long (tests/tools/slowhives.cpp),
# listed in demohives.txt with the others.
slow_hives() {
  (cd "$APP" && wine slowhives.exe "$@" >>"$P/demohives.txt" 2>&1) || fail "slowhives $* failed"
}

# Runs a script of uidrive steps (tests/tools/uidrive.cpp) to its end.
drive() { (cd "$APP" && wine uidrive.exe "$@"); }
# The same in the background, output into FILE; its id in DRIVE_PID.
drive_bg() {
  local out=$1; shift
  (cd "$APP" && exec wine uidrive.exe "$@" >"$out" 2>&1) &
  DRIVE_PID=$!
  E2E_PIDS+=("$DRIVE_PID")
}
# Waits for the background script to end; its exit code in DRIVE_RC.
drive_wait() {
  local i
  DRIVE_RC=""
  for i in $(seq $((${1:-60} * 10))); do
    if ! kill -0 "$DRIVE_PID" 2>/dev/null; then
      wait "$DRIVE_PID"; DRIVE_RC=$?; return 0
    fi
    sleep 0.1
  done
  return 1
}
# Waits until the background script has printed a line matching PATTERN.
drive_seen() {
  local i
  for i in $(seq $((${3:-60} * 10))); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    kill -0 "$DRIVE_PID" 2>/dev/null || { grep -q "$2" "$1" 2>/dev/null; return; }
    sleep 0.1
  done
  return 1
}

# The size format: every started kilobyte, digits grouped with ",".
fmt_kb() {
  local b=$1
  echo "$(( b / 1024 + (b % 1024 != 0) ))" | sed -E ':a; s/([0-9])([0-9]{3})($|,)/\1,\2\3/; ta; s/$/ KB/'
}
size_of() { if [ -f "$1" ]; then stat -c %s "$1"; else echo 0; fi; }

# The prefix file of a hive by its registry path, from demohives.txt.
hive_file() { unix_path "$(awk -F'\t' -v n="$1" '$1 == n { print $2; exit }' "$P/demohives.txt")"; }

# "name<TAB>old<TAB>new" for every row of the list, measured now: the hive
# file and its snapshot (which the program deletes when it ends).
measure_rows() {
  local name f
  wt list "$MAIN_CLASS" | awk -F'\t' '$1 == "row" { print $3 }' | while IFS= read -r name; do
    f=$(hive_file "$name")
    printf '%s\t%s\t%s\n' "$name" "$(size_of "$f")" "$(size_of "$f.hvx")"
  done
}

# What the list and the totals must show for measured rows (measure_rows):
# the list's row lines, then "totals<TAB>current<TAB>new<TAB>reduction<TAB>percent".
expected_figures() {
  local i=0 name o n red to=0 tn=0
  while IFS=$'\t' read -r name o n; do
    if [ "$n" -gt "$o" ]; then red="0%"; else red="$(( (o - n) * 100 / o ))%"; fi
    printf 'row\t%d\t%s\t%s\t%s\t%s\n' "$i" "$name" "$(fmt_kb "$o")" "$(fmt_kb "$n")" "$red"
    i=$((i + 1)); to=$((to + o)); tn=$((tn + n))
  done <<<"$1"
  if [ "$tn" -gt "$to" ]; then
    printf 'totals\t%s\t%s\t0 KB\t0%%\n' "$(fmt_kb "$to")" "$(fmt_kb "$tn")"
  else
    printf 'totals\t%s\t%s\t%s\t%s\n' "$(fmt_kb "$to")" "$(fmt_kb "$tn")" "$(fmt_kb $((to - tn)))" "$(percent "$to" "$tn")"
  fi
}
# The compact percent: a single-precision quotient shown to the nearest tenth.
percent() {
  python3 - "$1" "$2" <<'EOF'
import struct, sys
from decimal import Decimal, ROUND_HALF_UP
o, n = int(sys.argv[1]), int(sys.argv[2])
p = struct.unpack('f', struct.pack('f', (o - n) * 100 / o))[0]
print(str(Decimal(p).quantize(Decimal('0.1'), ROUND_HALF_UP)) + '%')
EOF
}

# What the window shows: the list's rows, then the totals line as above.
shown_figures() {
  local main dump
  main=$(wt wait "$MAIN_CLASS" 5) || return 1
  wt list "$main" | grep '^row'
  dump=$(children "$main")
  printf 'totals'
  for t in 312 330 348 366; do
    printf '\t%s' "$(awk -F'\t' -v t="$t" '$2 == "Static" && $3 == 222 && $4 == t { print $9; exit }' <<<"$dump")"
  done
  printf '\n'
}
# The rows and totals of a main window that no analysis has filled yet.
empty_figures() {
  wt list "$MAIN_CLASS" | awk -F'\t' '$1 == "row" { printf "row\t%s\t%s\t\t\t\n", $2, $3 }'
  printf 'totals\t\t\t\t\n'
}

# enabled|disabled of the Defrag Registry button.
defrag_state() { ctl_field "$(ctl_at "$MAIN_CLASS" 13 122)" 8; }

# Clicks Analyze Registry and waits for a successful run to be over: the
# Defrag Registry button enabled and the main window usable again.
analyze_ok() {
  wt click "$MAIN_CLASS" "Analyze Registry" || return 1
  local i
  for i in $(seq $((${1:-60} * 5))); do
    [ "$(defrag_state)" = enabled ] && analysis_wait 1 && return 0
    sleep 0.2
  done
  return 1
}

# Snapshot files present now, one prefix path a line.
snapshots() { find "$P/drive_c" -name '*.hvx' 2>/dev/null | sort; }

# 1 if the check box of a window with that text is ticked, else 0.
checked() { drive "check|$1|$2" | awk -F'\t' '$2 == "check" { print $3 }'; }
ini_val() { ini_get "$INI" Options "$1"; }

# Waits until no analysis runs and the main window takes input again.
analysis_wait() {
  local i
  for i in $(seq $((${1:-60} * 5))); do
    if [ "$(wt count "$PROGRESS_CLASS")" = 0 ] && [ "$(wt state "$MAIN_CLASS" | cut -d' ' -f4)" = enabled=1 ]; then
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Fields of uidrive's output lines of one kind (dump, seen, window, ...),
# without the time: lines OUTPUT KIND.
lines() { awk -F'\t' -v k="$2" '$2 == k { sub(/^[^\t]*\t[^\t]*\t/, ""); print }' "$1"; }

# The program's log has grown to N lines: log_mark prints N, log_since N the
# relay calls logged after that, one a line ("Function(arguments)", string
# addresses dropped, paths' backslashes single).
log_mark() { if [ -f "$P/hivara.log" ]; then wc -l <"$P/hivara.log"; else echo 0; fi; }
log_since() {
  tail -n +"$(($1 + 1))" "$P/hivara.log" | grep -a ':Call [A-Za-z0-9_]*\.[A-Za-z0-9_]*(' |
    sed -E 's/^.*:Call [A-Za-z0-9_]+\.//; s/\) ret=[0-9a-f]+$/)/; s/[0-9a-f]{8} "/"/g; s/\\\\/\\/g'
}

# The replacement request the program must make for each hive named on
# stdin, one a line: root (HKLM or HKU), subkey, snapshot and backup names.
replacement_requests() {
  local n f
  while IFS= read -r n; do
    f=$(awk -F'\t' -v n="$n" '$1 == n { print $2; exit }' "$P/demohives.txt")
    case $n in
      \\REGISTRY\\MACHINE\\*) printf '80000002,"%s","%s.hvx","%s.bak"\n' "${n#\\REGISTRY\\MACHINE\\}" "$f" "$f" ;;
      *) printf '80000003,"%s","%s.hvx","%s.bak"\n' "${n#\\REGISTRY\\USER\\}" "$f" "$f" ;;
    esac
  done
}

# From a "tops" sampling (uidrive), the program's windows that were seen
# shown, one a line ("class<TAB>text"), leaving out the main window's first
# showing and a progress dialog hidden again within a second (in the
# unattended modes it hides itself as soon as it starts its work).
unattended_sightings() {
  awk -F'\t' -v classes="$1" '
    BEGIN { n = split(classes, c, "|"); for (i = 1; i <= n; i++) prog[c[i]] = 1 }
    ($2 == "top" || $2 == "hid") && ($3 in prog) {
      key = $3 "\t" $4
      if ($2 == "top") { since[key] = $1; count[key]++; next }
      if (key in since) { shown_for[key, count[key]] = $1 - since[key]; delete since[key] }
    }
    END {
      for (key in count) for (i = 1; i <= count[key]; i++) {
        split(key, k, "\t")
        if (k[1] == main && i == 1 && ((key, i) in shown_for)) continue
        if (k[1] == progress && ((key, i) in shown_for) && shown_for[key, i] <= 1000) continue
        print key
      }
    }' main="$MAIN_CLASS" progress="$PROGRESS_CLASS" "$2"
}
