# End-to-end test helpers: the real hivara.exe in a throwaway Wine prefix on
# its own Xvfb display, driven and read back from outside.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$top/tools/wine-lib.sh"
build=${1:-$top/build/win}
shots=${HIVARA_SHOTS:-$top/build/screenshots}
mkdir -p "$shots"
MAIN_CLASS="Tolvik Hivara Made by Tolvik Software"
HV_PID=""
XVFB_PID=""
P=""
APP=""
failures=0

e2e_cleanup() {
  [ -n "$HV_PID" ] && kill "$HV_PID" 2>/dev/null
  [ -n "$P" ] && wine_drop_prefix "$P"
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
}
trap e2e_cleanup EXIT

# e2e_start ARCH [demohives args...]
e2e_start() {
  local arch=$1; shift
  local n
  for n in $(seq $((100 + $$ % 700)) 899); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  P=$(mktemp -d "/tmp/hivara-e2e.XXXXXX")
  wine_fresh_prefix "$arch" "$P"
  export WINEPREFIX=$P
  APP="$P/drive_c/Program Files/Tolvik Hivara"
  mkdir -p "$APP"
  cp "$build/hivara.exe" "$build/wintext.exe" "$build/demohives.exe" "$APP/"
  cp -r "$top/Languages" "$APP/"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  if [ "${NO_DEMO:-0}" != 1 ]; then
    (cd "$APP" && wine demohives.exe "$@" >"$P/demohives.txt" 2>&1) || fail "demohives failed"
  fi
}

# Starts the program with the given arguments in the background.
hv_start() {
  (cd "$APP" && exec wine hivara.exe "$@" >>"$P/hivara.log" 2>&1) &
  HV_PID=$!
}

# Waits for the program to end by itself; its exit code in HV_RC.
hv_wait() {
  local limit=${1:-60} i
  HV_RC=""
  for i in $(seq $((limit * 10))); do
    if ! kill -0 "$HV_PID" 2>/dev/null; then
      wait "$HV_PID"; HV_RC=$?; HV_PID=""; return 0
    fi
    sleep 0.1
  done
  return 1
}

wt() { (cd "$APP" && wine wintext.exe "$@"); }

shot() { xwd -root -silent | convert xwd:- "$shots/$1.png"; }

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
finish() {
  if [ "$failures" -gt 0 ]; then
    echo "--- program log"; tail -20 "$P/hivara.log" 2>/dev/null
    exit 1
  fi
  exit 0
}
# Screen position of a point given in the main window's client coordinates.
main_point() {
  local r; r=$(wt rect "$MAIN_CLASS") || return 1
  set -- $r
  echo "$(( $1 + X )) $(( $2 + Y ))"
}
