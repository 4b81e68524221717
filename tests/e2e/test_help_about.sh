#!/usr/bin/env bash
# The Help button's menu and the background's context menu: each item opens
# its own web page through the shell's "Open" (seen in Wine's relay trace,
# no browser started), "About..." shows the About box, made anew each time.
. "$(dirname "$0")/lib.sh"

e2e_start win64
relay_on 'shell32.ShellExecuteA'
WINEDEBUG=+relay hv_start
main=$(wt wait "$MAIN_CLASS" 60) || { fail "no main window"; finish; }
mh=$(hex "$main")
opened=0

# open_page WHAT KEY PAGE: the Help button, clicked with the mouse, then an
# item by its access key; the page is opened with the main window as owner.
open_page() {
  mouse_click "$(ctl_at "$main" 16 252)"
  local m; m=$(menu_wait) || { fail "$1: no Help menu"; return; }
  xdotool key "$2"
  opened=$((opened + 1))
  relay_wait shell32.ShellExecuteA "$opened"
  check_eq "$1" "$mh,\"Open\",\"$SITE$3\",00000000,00000000,00000005" \
    "$(relay_calls shell32.ShellExecuteA | sed -n "${opened}p")"
  wt gone "$m" 5 >/dev/null || fail "$1: menu still shown"
}

# The menu pops up with its top-left corner at the mouse cursor.
mouse_click "$(ctl_at "$main" 16 252)"
m=$(menu_wait) || fail "the Help button shows no menu"
eval "$(xdotool getmouselocation --shell)"
check_eq "Help menu at the cursor" "$X $Y" "$(wt rect "$m" | cut -d' ' -f1,2)"
shot help_menu_en
check_eq "Help menu: four items, none checked" "items=4 checked=" "$(menu_marks "$m")"
xdotool key Escape
wt gone "$m" 5 >/dev/null || fail "Escape leaves the menu open"
check_eq "no page opened by the menu alone" "" "$(relay_calls shell32.ShellExecuteA)"

open_page "&Help opens the help page" h /hivara/hivadoc_help.htm
open_page "H&omepage opens the home page" o /hivara/hivadoc.htm
open_page "&Check for Update opens the update page" c /hivara/updatev21.htm

# The link label in the title band opens the site itself.
mouse_click "$(ctl_at "$main" 436 38)"
opened=$((opened + 1))
relay_wait shell32.ShellExecuteA "$opened"
check "the web site link opens the site" \
  grep -qix "$mh,\"open\",\"$SITE\",00000000,00000000,00000005" <<<"$(relay_calls shell32.ShellExecuteA | sed -n "${opened}p")"

# The About box as designed, with the main window as its owner.
check_about() {
  local about=$1 kids
  check_eq "About box caption" "About Tolvik Hivara" "$(ctl_field "$about" 9)"
  read -r al at ar ab acw ach < <(wt rect "$about")
  read -r ml mt mr mb _ < <(wt rect "$main")
  check_eq "About box client size" "360 249" "$acw $ach"
  check "About box centred on the main window ($al $at $ar $ab)" \
    test $(( (al + ar) - (ml + mr) )) -ge -1 -a $(( (al + ar) - (ml + mr) )) -le 1 -a \
    $(( (at + ab) - (mt + mb) )) -ge -1 -a $(( (at + ab) - (mt + mb) )) -le 1
  check_eq "main window disabled while the About box is open" "enabled=0" "$(wt state "$main" | cut -d' ' -f4)"
  kids=$(children "$about")
  while IFS='|' read -r name cls left top size text; do
    line=$(awk -F'\t' -v l="$left" -v t="$top" -v c="$cls" '$2 == c && $3 == l && $4 == t' <<<"$kids")
    if [ -z "$line" ]; then fail "About $name: no $cls at $left,$top"; continue; fi
    [ -n "$size" ] && check_eq "About $name size" "$size" "$(cut -f5,6 <<<"$line" | tr '\t' x)"
    [ "$text" = "*" ] && { check "About $name has a text" test -n "$(cut -f9 <<<"$line")"; continue; }
    check_eq "About $name" "$text" "$(cut -f9 <<<"$line")"
  done <<EOF
Image2|Static|0|0|360x50|
Image1|Static|20|61|32x32|
Label1|Static|80|62||Tolvik Hivara
Label2|Static|80|84||Version: 2.1   Build 20120525
lCopywrite|Static|80|129||*
Label3|Static|80|152||*
Panel2|Static|80|176|262x2|
lbEAddress|Static|80|186||$SITE
bOK|Button|256|211|80x27|&OK
EOF
}

mouse_click "$(ctl_at "$main" 16 252)"
menu_wait >/dev/null && xdotool key a
about=$(wt wait "$ABOUT_CLASS" 10) || { fail "About... shows no About box"; finish; }
check_about "$about"
sleep 0.5
shot about_en

# Its link opens the home page, owned by the About box.
mouse_click "$(ctl_at "$about" 80 186)"
opened=$((opened + 1))
relay_wait shell32.ShellExecuteA "$opened"
check_eq "the About box link opens the home page" \
  "$(hex "$about"),\"Open\",\"$SITE/hivara/hivadoc.htm\",00000000,00000000,00000005" \
  "$(relay_calls shell32.ShellExecuteA | sed -n "${opened}p")"
mouse_click "$(ctl_at "$about" 256 211)"
check "OK closes the About box" wt gone "$about" 5
check_eq "main window enabled again" "enabled=1" "$(wt state "$main" | cut -d' ' -f4)"

# A right click on bare background opens the same menu.
read -r x y < <(main_point 300 20)
xdotool mousemove "$x" "$y" click 3
if m=$(menu_wait 5); then
  check_eq "context menu: the Help menu" "items=4 checked=" "$(menu_marks "$m")"
  xdotool key Escape
  wt gone "#32768" 5 >/dev/null
else
  fail "right click on the background shows no menu"
fi

# Shown again, the box is made anew.
mouse_click "$(ctl_at "$main" 16 252)"
menu_wait >/dev/null && xdotool key a
about2=$(wt wait "$ABOUT_CLASS" 10) || { fail "second About box not shown"; finish; }
check_eq "one About box" 1 "$(wt count "$ABOUT_CLASS")"
check_about "$about2"
xdotool key Return
check "Return closes the About box" wt gone "$about2" 5

check_eq "pages opened, all by the shell" "$opened" "$(relay_calls shell32.ShellExecuteA | wc -l)"
check_eq "no browser started" "" "$(pgrep -f -a 'winebrowser|xdg-open' | grep -F "$P" || true)"
check "program still running" kill -0 "$HV_PID"

finish
