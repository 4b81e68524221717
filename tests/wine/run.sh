#!/usr/bin/env bash
# Runs the Win32 test program in a fresh prefix of the given arch.
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tools/wine-lib.sh"
arch=$1 exe=$2
prefix=$(mktemp -d "/tmp/hivara-wine-$arch.XXXXXX")
trap 'wine_drop_prefix "$prefix"' EXIT
wine_fresh_prefix "$arch" "$prefix"
export WINEPREFIX=$prefix
dir=$(dirname "$exe")
# The test program finds its helpers beside it; run it from a copy in the
# prefix so that files it makes beside itself stay in the throwaway prefix.
work="$prefix/drive_c/hivara-tests"
mkdir -p "$work"
cp "$exe" "$dir"/*.exe "$dir"/*.dll "$work"/ 2>/dev/null
run_limited 600 wine "$work/$(basename "$exe")" --gtest_color=no
