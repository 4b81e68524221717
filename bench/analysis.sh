#!/usr/bin/env bash
# Analysis benchmark under Wine (not a test).
#
#   bench/analysis.sh [BUILD_DIR [RUNS [N [KB [KIND]]]]]
#
# Lays out N extra hives of about KB kilobytes each (KIND "big": the string
# keys of demohives --big, cheap for Wine to save; KIND "slow": the binary
# keys of slowhives, which Wine saves about 15 times slower per byte), then
# measures, RUNS times each, medians printed:
#  1. the analysis in the running program: from Analyze Registry clicked to
#     Defrag Registry enabled (tests/tools/uidrive.cpp polls it every 2 ms),
#     against the floor: the same RegSaveKeyA calls on the same keys to the
#     same files in a bare loop (bench/savefloor.cpp);
#  2. whole processes: "hivara.exe /Scan report" against "savefloor.exe";
#  3. the GUI thread's answers during interactive analyses (PROBE_RUNS,
#     default 3, each in a new start of the program): WM_NULL sent
#     every 10 ms (bench/guiprobe.cpp) to the main window, and at the same
#     time to a window of a process that touches no registry, whose delays
#     are the wineserver's own (a registry save blocks every other request
#     to the single-threaded server while it runs).
# BUILD_DIR holds hivara.exe and the test tools (default build/e2e2-win).
# Windows are made unmanaged in the prefix: with no window manager Wine
# otherwise waits 2 s each time a managed window is hidden.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/e2e2-win}" && pwd)
runs=${2:-7}
count=${3:-20}
kb=${4:-2000}
kind=${5:-big}
cxx=i686-w64-mingw32-g++-posix
out="$build/bench"
mkdir -p "$out"
$cxx -O2 -static -o "$out/savefloor.exe" "$here/savefloor.cpp" || exit 1
$cxx -O2 -static -o "$out/guiprobe.exe" "$here/guiprobe.cpp" -lwinmm || exit 1

. "$here/../tests/e2e/lib.sh" "$build"
. "$here/../tests/e2e/lib_more.sh"
if [ "$kind" = slow ]; then
  more_start win64
  slow_hives "$count" "$kb"
else
  more_start win64 --big "$count" "$kb"
fi
cp "$out/savefloor.exe" "$out/guiprobe.exe" "$APP/"
tr -d '\r' <"$P/demohives.txt" | awk -F'\t' 'NF == 4' >"$P/drive_c/hives.txt"
hives=$(grep -c . "$P/drive_c/hives.txt")
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
in_app() { (cd "$APP" && "$@"); }
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
overhead() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f%%", (a - b) * 100 / b }'; }

# One interactive analysis, timed from the click to Defrag Registry enabled.
analysis_ms() {
  hv_start
  wt wait "$MAIN_CLASS" 120 >/dev/null || { echo "no main window" >&2; return 1; }
  local log t0 t1
  log=$(in_app wine uidrive.exe "mark|go" "click|$MAIN_CLASS|Analyze Registry" "enabled|$MAIN_CLASS|Defrag Registry|300") ||
    { echo "analysis did not finish: $log" >&2; return 1; }
  t0=$(awk -F'\t' '$2 == "done" && $3 == "click" { print $1 }' <<<"$log")
  t1=$(awk -F'\t' '$2 == "done" && $3 == "enabled" { print $1 }' <<<"$log")
  wt close "$MAIN_CLASS"
  hv_wait 60 || return 1
  echo $((t1 - t0))
}

# Each measured once untimed, to warm the caches.
in_app wine savefloor.exe 'C:\hives.txt' >/dev/null
analysis_ms >/dev/null || exit 1
printf '%-4s %12s %10s %14s %14s\n' run analysis_ms floor_ms scan_wall_ms floor_wall_ms
a=() f=() sw=() fw=()
for i in $(seq "$runs"); do
  a+=("$(analysis_ms)")
  [ -n "${a[-1]}" ] || exit 1
  t=$(date +%s%N)
  f+=("$(in_app wine savefloor.exe 'C:\hives.txt' | cut -f1)")
  fw+=("$(ms_since "$t")")
  t=$(date +%s%N)
  hv_start /Scan 'C:\report.ini'
  hv_wait 300 || { echo "/Scan did not end" >&2; exit 1; }
  [ "$HV_RC" = 0 ] || { echo "/Scan failed: $HV_RC" >&2; exit 1; }
  sw+=("$(ms_since "$t")")
  printf '%-4s %12s %10s %14s %14s\n' "$i" "${a[-1]}" "${f[-1]}" "${sw[-1]}" "${fw[-1]}"
done

# Responsiveness during interactive analyses, one per start of the program.
probed_run() {
  hv_start
  wt wait "$MAIN_CLASS" 120 >/dev/null || return 1
  rm -f "$P/drive_c/stop"
  (cd "$APP" && exec wine guiprobe.exe host HivaraQuietProbe) &
  local host=$! pm pq
  (cd "$APP" && exec wine guiprobe.exe probe "$MAIN_CLASS" 10 'C:\stop' 50 >"$P/probe_main.txt" 2>"$P/probe_slow.txt") &
  pm=$!
  (cd "$APP" && exec wine guiprobe.exe probe HivaraQuietProbe 10 'C:\stop' >"$P/probe_quiet.txt") &
  pq=$!
  sleep 2
  in_app wine uidrive.exe "tick" "click|$MAIN_CLASS|Analyze Registry" "tick" "enabled|$MAIN_CLASS|Defrag Registry|300" \
    "tick" >"$P/probe_drive.txt" || echo "a probed analysis did not finish" >&2
  sleep 1
  touch "$P/drive_c/stop"
  wait "$pm" "$pq"
  kill "$host" 2>/dev/null; wait "$host" 2>/dev/null
  wt close "$MAIN_CLASS"
  hv_wait 60
  # When the slow replies were asked for, from the click on (ms).
  local ticks
  ticks=$(awk -F'\t' '$2 == "tick" { print $3 }' "$P/probe_drive.txt" | paste -sd' ')
  SLOW_AT=$(awk -F'\t' -v t="$ticks" 'BEGIN { split(t, k, " ") } $1 == "slow" { printf "%s+%d ms (%.0f ms)", sep, $2 - k[2], $3; sep = ", " }' \
    "$P/probe_slow.txt")
  printf '%s\t%s\t%s\n' "$(cat "$P/probe_main.txt")" "$(cat "$P/probe_quiet.txt")" "$(awk -v t="$ticks" 'BEGIN { split(t, k, " "); print k[3] - k[2] }')"
  echo "$SLOW_AT" >"$P/slow_at.txt"
}
echo
printf '%-4s %34s   %34s   %s\n' probe "GUI thread: replies max p99 >50ms" "quiet process: replies max p99 >50ms" \
  "replies over 50 ms, from the click (run ms)"
probes=()
for i in $(seq "${PROBE_RUNS:-3}"); do
  probes+=("$(probed_run)")
  IFS=$'\t' read -r n1 x1 _ p1 s1 n2 x2 _ p2 s2 run_ms <<<"${probes[-1]}"
  printf '%-4s %34s   %34s   %s\n' "$i" "$n1 $x1 $p1 $s1" "$n2 $x2 $p2 $s2" "$(cat "$P/slow_at.txt") (run $run_ms)"
done

am=$(printf '%s\n' "${a[@]}" | median) fm=$(printf '%s\n' "${f[@]}" | median)
swm=$(printf '%s\n' "${sw[@]}" | median) fwm=$(printf '%s\n' "${fw[@]}" | median)
largest() { printf '%s\n' "${probes[@]}" | cut -f"$1" | sort -n | tail -1; }
sum() { printf '%s\n' "${probes[@]}" | cut -f"$1" | awk '{ s += $1 } END { print s }'; }
echo
echo "medians of $runs runs; $hives hives ($count extra $kind keys of $kb KB); Wine $(wine --version 2>/dev/null | sed 's/^wine-//'), win64 prefix, 32-bit programs"
printf 'analysis in the program:  %s ms against the bare saves %s ms: overhead %s\n' "$am" "$fm" "$(overhead "$am" "$fm")"
printf 'whole processes:          /Scan %s ms against savefloor %s ms: %s ms more\n' "$swm" "$fwm" "$((${swm%.*} - ${fwm%.*}))"
printf 'GUI thread, %s analyses (WM_NULL every 10 ms, %s replies): largest %s ms, %s over 50 ms\n' \
  "${#probes[@]}" "$(sum 1)" "$(largest 2)" "$(sum 5)"
printf 'quiet process, same moments (%s replies):                 largest %s ms, %s over 50 ms\n' \
  "$(sum 6)" "$(largest 7)" "$(sum 10)"
echo "(load average during the run: $(cut -d' ' -f1-3 /proc/loadavg))"
