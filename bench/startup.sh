#!/usr/bin/env bash
# Start-up benchmark under Wine (not a test): time from process start to the
# main window shown, and the working set once shown, of hivara.exe against a
# minimal Win32 window program started the same way.
#
#   bench/startup.sh [BUILD_DIR [RUNS]]
#
# BUILD_DIR holds hivara.exe, wintext.exe and demohives.exe (default
# build/e2e-win); RUNS is the number of timed starts of each program
# (default 9), after one untimed start each. The minimal program and the
# stopwatch are built here with the MinGW cross compiler, into
# BUILD_DIR/bench. Both programs are started by the stopwatch
# (bench/startwatch.cpp) with CreateProcess inside the same fresh prefix, on
# its own Xvfb display, one after the other; medians are printed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/e2e-win}" && pwd)
runs=${2:-9}
cxx=i686-w64-mingw32-g++-posix
out="$build/bench"
mkdir -p "$out"
$cxx -O2 -static -mwindows -o "$out/minimal.exe" "$here/minimal.cpp" || exit 1
$cxx -O2 -static -o "$out/startwatch.exe" "$here/startwatch.cpp" -lpsapi || exit 1

. "$here/../tests/e2e/lib.sh" "$build"
e2e_start win64
cp "$out/minimal.exe" "$out/startwatch.exe" "$APP/"

measure() {  # measure CLASS EXE: one line of the stopwatch
  (cd "$APP" && run_limited 60 wine startwatch.exe "$1" "$APP_WIN$2")
}

hv=() mini=()
measure "$MAIN_CLASS" hivara.exe >/dev/null
measure MinimalBenchWindow minimal.exe >/dev/null
printf '%-8s %10s %10s %10s %10s\n' program shown_ms idle_ms ws_kb peak_kb
for i in $(seq "$runs"); do
  line=$(measure "$MAIN_CLASS" hivara.exe) || { echo "hivara.exe run $i failed" >&2; exit 1; }
  hv+=("$line")
  printf '%-8s %10s %10s %10s %10s\n' hivara $(cut -f1-4 <<<"$line")
  line=$(measure MinimalBenchWindow minimal.exe) || { echo "minimal.exe run $i failed" >&2; exit 1; }
  mini+=("$line")
  printf '%-8s %10s %10s %10s %10s\n' minimal $(cut -f1-4 <<<"$line")
done

median() {  # median FIELD LINES...
  local f=$1; shift
  printf '%s\n' "$@" | cut -f"$f" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

hs=$(median 1 "${hv[@]}") ms=$(median 1 "${mini[@]}")
hi=$(median 2 "${hv[@]}") mi=$(median 2 "${mini[@]}")
hw=$(median 3 "${hv[@]}") mw=$(median 3 "${mini[@]}")
echo
echo "medians of $runs runs (Wine $(wine --version 2>/dev/null | sed 's/^wine-//'), win64 prefix, 32-bit programs)"
printf 'start to window shown: hivara %s ms, minimal %s ms, ratio %s\n' "$hs" "$ms" "$(ratio "$hs" "$ms")"
printf 'start to first idle:   hivara %s ms, minimal %s ms, ratio %s\n' "$hi" "$mi" "$(ratio "$hi" "$mi")"
printf 'working set shown:     hivara %s KB, minimal %s KB, ratio %s (+%s KB)\n' "$hw" "$mw" "$(ratio "$hw" "$mw")" \
  "$((hw - mw))"
echo "(the working set is the Wine process's resident set, VmRSS, as Wine reports it to GetProcessMemoryInfo)"
