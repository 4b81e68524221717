#!/usr/bin/env bash
# Builds every target and runs every test: host unit tests (plain and under
# AddressSanitizer and UBSan), the Win32 tests under Wine in throwaway
# prefixes, and the end-to-end tests of the real program under Xvfb.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh || exit 1
jobs=${HIVARA_JOBS:-2}

build() {  # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null || return 1
  cmake --build "$dir" -j"$jobs" -- --no-print-directory >"$dir.log" 2>&1 \
    || { tail -40 "$dir.log"; return 1; }
}

build build/host || exit 1
build build/host-san \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" || exit 1
build build/win -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release || exit 1

passed=0 failed=0
run_ctest() {  # dir, label, extra ctest args...
  local dir=$1 label=$2; shift 2
  echo "== $label"
  local out
  out=$(cd "$dir" && ctest --output-on-failure "$@" 2>&1)
  echo "$out" | grep -vE '^ *(Start |[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed)' | sed '/^$/d'
  local line total nfail
  line=$(echo "$out" | grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  nfail=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')
  passed=$((passed + total - nfail)); failed=$((failed + nfail))
}
run_ctest build/host "host unit tests" -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build/host-san "host unit tests, sanitizers" -j"$jobs"
run_ctest build/win "Win32 tests under Wine, end-to-end tests under Xvfb" -j"$jobs"
echo "tests: $passed passed, $failed failed"
[ "$failed" = 0 ]
