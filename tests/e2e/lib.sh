# End-to-end test helpers: the real hivara.exe in a throwaway Wine prefix on
# its own Xvfb display, driven and read back from outside.
set -u
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$top/tools/wine-lib.sh"
build=${1:-$top/build/win}
shots=${HIVARA_SHOTS:-$top/build/screenshots}
mkdir -p "$shots"
# The ANSI code page follows the locale: pin it so that window texts read
# back as the CP1252 bytes of the language files.
export LC_ALL=C.UTF-8
# Web pages must not reach a real browser: the shell's handler is switched off.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
MAIN_CLASS="Tolvik Hivara Made by Tolvik Software"
# The product's web site, as the program builds its page addresses.
SITE="http://www.tolvik.example"
ABOUT_CLASS="TfrmAbout"
HV_PID=""
XVFB_PID=""
E2E_PIDS=()
P=""
APP=""
failures=0

e2e_cleanup() {
  local pid
  [ -n "$HV_PID" ] && kill "$HV_PID" 2>/dev/null
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$P" ] && wine_drop_prefix "$P"
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
}
trap e2e_cleanup EXIT

# e2e_start ARCH [demohives args...]
e2e_start() {
  local arch=$1; shift
  P=$(mktemp -d "/tmp/hivara-e2e.XXXXXX")
  # Xvfb picks a free display itself and names it on the descriptor.
  Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$P.display" >/dev/null 2>&1 &
  XVFB_PID=$!
  wine_fresh_prefix "$arch" "$P"
  export WINEPREFIX=$P
  APP="$P/drive_c/Program Files/Tolvik Hivara"
  APP_WIN='C:\Program Files\Tolvik Hivara\'
  mkdir -p "$APP"
  local exe
  for exe in hivara wintext demohives; do
    [ -f "$build/$exe.exe" ] && cp "$build/$exe.exe" "$APP/"
  done
  cp -r "$top/Languages" "$APP/"
  local n="" _
  for _ in $(seq 100); do
    n=$(cat "$P.display" 2>/dev/null)
    [ -n "$n" ] && break
    sleep 0.05
  done
  rm -f "$P.display"
  [ -n "$n" ] || { fail "Xvfb did not start"; finish; }
  export DISPLAY=":$n"
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

# Starts another process in the background; it is ended by its id at exit.
bg_start() {
  "$@" &
  E2E_PIDS+=($!)
  BG_PID=$!
}

wt() { (cd "$APP" && wine wintext.exe "$@"); }

# xwd -root misses the contents of framed windows under Xvfb; import does not.
# Waits for the screen to settle (two equal grabs) so that windows just
# shown are painted.
shot() {
  local prev="" cur i
  for i in $(seq 25); do
    import -window root -depth 8 "rgb:$P/shot.rgb"
    cur=$(md5sum <"$P/shot.rgb")
    [ "$cur" = "$prev" ] && break
    prev=$cur
    sleep 0.2
  done
  convert -size 1024x768 -depth 8 "rgb:$P/shot.rgb" "$shots/$1.png"
}

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
# check_eq DESCRIPTION EXPECTED ACTUAL
check_eq() {
  if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
finish() {
  if [ "$failures" -gt 0 ]; then
    echo "--- program log"; grep -av "window proc\|PE DLL\|TLS callback" "$P/hivara.log" 2>/dev/null | tail -20
    exit 1
  fi
  exit 0
}

# Screen position of a point given in the main window's client coordinates.
main_point() { wt point "$MAIN_CLASS" "$1" "$2"; }

# Child windows of a window (wintext dump without the window's own line):
# handle, class, left, top, width, height, visible, enabled, text.
children() { wt dump "$1" | tail -n +2; }

# Handle of the child whose designed top-left corner is LEFT TOP.
ctl_at() { children "$1" | awk -F'\t' -v l="$2" -v t="$3" '$3 == l && $4 == t { print $1; exit }'; }
# One field of the dump line of a child (see children) by handle.
ctl_field() { wt dump "$1" | awk -F'\t' -v f="$2" 'NR == 1 { print $f }'; }

# Presses and releases the left (or given) mouse button on the middle of a
# window. A second click on the same spot waits out the double-click time:
# it would be a double click, which an owner-drawn button takes for no click.
LAST_CLICK=""
mouse_click() {
  local x y now
  read -r x y < <(wt center "$1") || return 1
  now=$(date +%s%N)
  if [ "${LAST_CLICK% *}" = "$x,$y" ] && [ $(( (now - ${LAST_CLICK#* }) / 1000000 )) -lt 700 ]; then
    sleep 0.7
  fi
  xdotool mousemove "$x" "$y" click "${2:-1}"
  LAST_CLICK="$x,$y $(date +%s%N)"
}

# Handle of the popup menu once one is shown.
menu_wait() { wt wait "#32768" "${1:-10}"; }

# Menus cannot be read from another process under Wine: reads a shown popup
# menu from the screen instead. Prints "items=N checked=I,..." with the
# indexes of the text items (separators skipped) that carry a check mark.
menu_marks() {
  local m=$1 l t r b
  read -r l t r b _ < <(wt rect "$m") || return 1
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  xdotool mousemove 1020 760  # no item highlighted
  sleep 0.3
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage -colorspace Gray -depth 8 -strip pgm:"$P/menu.pgm"
  # Wine's menu ignores keys while the mouse is away from it.
  xdotool mousemove "$X" "$Y"
  sleep 0.2
  python3 - "$P/menu.pgm" <<'EOF'
import sys
data = open(sys.argv[1], 'rb').read()
magic, w, h, _, px = data.split(maxsplit=4)
w, h = int(w), int(h)
dark = lambda x, y: px[y * w + x] < 90
# The check mark stands in the left margin, the text right of it.
margin = range(3, 17)
text = range(18, w - 4)
bands, marks = [], set()
for y in range(2, h - 2):
    row = sum(dark(x, y) for x in text)
    if row > len(text) // 2:
        sys.exit("an item is highlighted")
    if row:
        if bands and y - bands[-1][1] <= 3:  # an underlined access key
            bands[-1][1] = y
        else:
            bands.append([y, y])
    if any(dark(x, y) for x in margin):
        marks.add(y)
checked = [i for i, (a, b) in enumerate(bands) if any(a <= y <= b for y in marks)]
print("items=%d checked=%s" % (len(bands), ",".join(map(str, checked))))
EOF
}

# The language menu's items in order, without the separator.
LANG_ITEMS=(BrazilianPortuguese Chinese Czech Danish Dutch English Finnish French German Greek Italian Japanese
            Kurdish Polish Portuguese Russian Slovenian Spanish Swedish Turkish Ukranian Other)
# Names of the language items that carry a check mark in the shown menu.
lang_checked() {
  local marks i out=""
  marks=$(menu_marks "$1") || return 1
  case $marks in "items=${#LANG_ITEMS[@]} "*) ;; *) echo "unexpected menu: $marks"; return 1 ;; esac
  for i in $(echo "${marks#*checked=}" | tr ',' ' '); do out="$out${out:+ }${LANG_ITEMS[$i]}"; done
  echo "$out"
}

# Calls of the named Windows functions are written to the program's log
# (with WINEDEBUG=+relay for its process).
relay_on() {
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$1" /f >/dev/null 2>&1
}
# The logged calls of a function, one a line: its arguments as Wine prints
# them, without the addresses of strings.
relay_calls() {
  grep -a "Call $1(" "$P/hivara.log" | sed -E 's/^[0-9a-f]+:Call [^(]*\(//; s/\) ret=[0-9a-f]+$//; s/[0-9a-f]{8} "/"/g'
}
# Waits until the function has been called and has returned N times in all.
relay_wait() {
  local i
  for i in $(seq 150); do
    [ "$(grep -ac "Ret  $1(" "$P/hivara.log")" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
hex() { printf '%08x' "${1#\#}"; }

# Value of a key in an INI file, section and key compared without case, as
# the profile functions read it (blanks and one pair of quotes removed).
ini_get() {
  awk -v sec="$2" -v key="$3" '
    { sub(/\r$/, "") }
    /^[ \t]*\[/ { s = $0; sub(/^[ \t]*\[/, "", s); sub(/\].*/, "", s); in_sec = (tolower(s) == tolower(sec)); next }
    in_sec {
      i = index($0, "="); if (!i) next
      k = substr($0, 1, i - 1); v = substr($0, i + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", k); gsub(/^[ \t]+|[ \t]+$/, "", v)
      if (tolower(k) != tolower(key)) next
      if (v ~ /^".*"$/ && length(v) > 1) v = substr(v, 2, length(v) - 2)
      print v; found = 1; exit
    }
    END { exit !found }' "$1"
}

# The prefix's file behind a Windows path (drive C:, names without case,
# sysnative being the 64-bit system folder).
unix_path() {
  local w=$1 path="$P/drive_c" part found
  w=${w#[Cc]:\\}
  IFS='\' read -r -a parts <<<"$w"
  for part in "${parts[@]}"; do
    [ "${part,,}" = sysnative ] && part=system32
    found=$(find "$path" -maxdepth 1 -mindepth 1 -iname "$part" -print -quit 2>/dev/null)
    path=${found:-$path/$part}
  done
  echo "$path"
}

# Hive files the demo hive list names, as prefix files, one a line.
demo_hive_files() { awk -F"\t" "NF == 4 { print \$2 }" "$P/demohives.txt" | while read -r f; do unix_path "$f"; done; }

# The main window's translated texts by language-file key, from where each
# control stands: key, class, left, top (buttons after they moved up).
MAIN_TEXT_KEYS="lTitle1 Static 13 67
bAnalyzeRegistry Button 13 93
bDefragRegistry Button 13 122
bOptions Button 12 151
Label1 Static 353 348
Label3 Static 353 366
Label2 Static 353 330
lTitle3 Static 13 193
bLanguage Button 16 221
bAbout Button 16 252
bHomepage Button 15 221
lLastWashed Static 116 312
Label4 Static 116 330
Label5 Static 116 348
lCurrentRegistrySize Static 222 312
lNewRegistrySize Static 222 330
lSizeReduction Static 222 348
lCompactPercent1 Static 117 366
lCompactPercent Static 222 366
suiURLLabel1 Static 436 38
Label6 Static 342 312
bExit Button 16 283
lTitle Static 17 12"
MAIN_HINT_KEYS="bAnalyzeRegistry 13 93
bDefragRegistry 13 122
bOptions 12 151
bLanguage 16 221
bAbout 16 252
bHomepage 15 221
bClose 517 9
bExit 16 283
bMinimize 488 9"
ABOUT_TEXT_KEYS="Label1 Static 80 62
lCopywrite Static 80 129
Label3 Static 80 152
lbEAddress Static 80 186
Label2 Static 80 84
Panel2 Static 80 176
bOK Button 256 211"

# Texts of a window as KEY=TEXT lines in the order of KEYS (see above):
# window_texts WINDOW SECTION KEYS [HINT_KEYS]
window_texts() {
  local win=$1 dump tips key cls l t h
  dump=$(wt dump "$win")
  echo "$2=$(head -1 <<<"$dump" | cut -f9)"
  while read -r key cls l t; do
    echo "$key=$(awk -F'\t' -v c="$cls" -v l="$l" -v t="$t" 'NR > 1 && $2 == c && $3 == l && $4 == t { print $9; exit }' <<<"$dump")"
  done <<<"$3"
  [ "$2" = frmMain ] && wt list "$win" | awk -F'\t' '$1 == "column" { print "lvMain_Column" $2 "=" $5 }'
  [ -n "${4:-}" ] || return 0
  tips=$(wt tips "$win")
  while read -r key l t; do
    h=$(awk -F'\t' -v l="$l" -v t="$t" 'NR > 1 && $3 == l && $4 == t { print $1; exit }' <<<"$dump")
    echo "${key}Hint=$(awk -F'\t' -v h="$h" '$1 == h { print $2 }' <<<"$tips")"
  done <<<"$4"
}
main_texts() { window_texts "$1" frmMain "$MAIN_TEXT_KEYS" "$MAIN_HINT_KEYS"; }
about_texts() { window_texts "$1" frmAbout "$ABOUT_TEXT_KEYS"; }

# The same lines as a language file gives them: file_texts FILE SECTION KEYS [HINT_KEYS]
file_texts() {
  local key _
  echo "$2=$(ini_get "$1" "$2" "$2")"
  while read -r key _; do echo "$key=$(ini_get "$1" "$2" "$key")"; done <<<"$3"
  if [ "$2" = frmMain ]; then
    for key in 0 1 2 3; do echo "lvMain_Column$key=$(ini_get "$1" "$2" "lvMain_Column$key")"; done
  fi
  [ -n "${4:-}" ] || return 0
  while read -r key _; do echo "${key}Hint=$(ini_get "$1" "$2" "${key}Hint")"; done <<<"$4"
}
main_file_texts() { file_texts "$1" frmMain "$MAIN_TEXT_KEYS" "$MAIN_HINT_KEYS"; }
about_file_texts() { file_texts "$1" frmAbout "$ABOUT_TEXT_KEYS"; }

# check_texts DESCRIPTION EXPECTED ACTUAL: line by line, differences shown.
check_texts() {
  if [ "$2" == "$3" ]; then echo "ok: $1"; return; fi
  fail "$1:"
  diff <(echo "$2") <(echo "$3") | grep '^[<>]' | sed 's/^</  expected/; s/^>/  shown   /' | iconv -f cp1252 -t utf-8 >&2
}

# Alignment of the list's column headings, left to right.
column_alignment() { wt list "$1" | awk -F'\t' '$1 == "column" { printf "%s%s", sep, $4; sep = " " }'; }

# Flat buttons are as wide as their caption plus 17 pixels.
check_fitted() {
  local h cls w text bad=""
  while IFS=$'\t' read -r h cls _ _ w _ _ _ text; do
    [ "$cls" = Button ] && [ -n "$text" ] || continue
    [ "$w" = "$(( $(wt measure "$text") + 17 ))" ] || bad="$bad [$text]=$w"
  done < <(children "$1")
  check "$2: flat buttons fitted to their captions" test -z "$bad"
  [ -z "$bad" ] || echo "  misfitted:$bad" | iconv -f cp1252 -t utf-8 >&2
}

# The message box of the program, once shown: its handle.
msgbox_wait() { wt wait "#32770" "${1:-10}"; }
# Caption, texts and buttons of a message box, one a line.
msgbox_content() {
  wt dump "$1" | awk -F'\t' 'NR == 1 { print "caption=" $9; next }
    $2 == "Static" && $9 != "" { print "text=" $9 }
    $2 == "Button" && $7 == "visible" { b = b "button=" $9 "\n" }
    END { printf "%s", b }'
}

# Opens the language menu with the mouse; its handle.
lang_menu() {
  mouse_click "$(ctl_at "$1" 16 221)"
  menu_wait
}
