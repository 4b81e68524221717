#!/usr/bin/env bash
# Runs the Win32 test program in a fresh prefix of the given arch.
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tools/wine-lib.sh"
arch=$1 exe=$2
prefix=$(mktemp -d "/tmp/hivara-wine-$arch.XXXXXX")
# The toolkit's tests create real windows: a screen of their own.
for n in $(seq $((300 + $$ % 500)) 899); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap 'wine_drop_prefix "$prefix"; kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
wine_fresh_prefix "$arch" "$prefix"
export WINEPREFIX=$prefix
dir=$(dirname "$exe")
# The test program finds its helpers beside it; run it from a copy in the
# prefix so that files it makes beside itself stay in the throwaway prefix.
work="$prefix/drive_c/hivara-tests"
mkdir -p "$work"
cp "$exe" "$dir"/*.exe "$dir"/*.dll "$work"/ 2>/dev/null
run_limited 600 wine "$work/$(basename "$exe")" --gtest_color=no "${@:3}"
