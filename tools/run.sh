#!/usr/bin/env bash
# Builds hivara.exe and runs it under Wine on a demo registry: a prefix of
# its own (build/demo-prefix) whose hive list names a few real keys with hive
# files made for them. Arguments go to the program ("/Scan C:\report.ini").
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j2 --target hivara demohives >/dev/null
. tools/wine-lib.sh
prefix=${HIVARA_DEMO_PREFIX:-$top/build/demo-prefix}
[ -f "$prefix/system.reg" ] || wine_fresh_prefix win64 "$prefix"
export WINEPREFIX=$prefix
app="$prefix/drive_c/Program Files/Tolvik Hivara"
mkdir -p "$app"
cp build/win/hivara.exe build/win/demohives.exe "$app/"
cp -r Languages "$app/"
(cd "$app" && wine demohives.exe >/dev/null)
if [ -z "${DISPLAY:-}" ]; then
  # No screen: run on a virtual one and leave a screenshot of the window.
  Xvfb :93 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  export DISPLAY=:93
  (cd "$app" && wine hivara.exe "$@") &
  sleep 8
  import -window root build/demo-screenshot.png
  echo "No display: the window was shown on a virtual screen; see build/demo-screenshot.png"
  wineserver -k
  wait || true
else
  cd "$app" && exec wine hivara.exe "$@"
fi
