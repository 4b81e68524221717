#!/usr/bin/env bash
# The language menu from an English start: missing files are reported (with
# the "Please visit " line only for Other) and change nothing; existing
# files switch every text at once, English back from DLan_English.ini.
. "$(dirname "$0")/lib.sh"

e2e_start win64
langs="$APP/Languages"
relay_on 'shell32.ShellExecuteA'
WINEDEBUG=+relay hv_start
main=$(wt wait "$MAIN_CLASS" 60) || { fail "no main window"; finish; }
mh=$(hex "$main")
english_at_start=$(main_texts "$main")
pages=0

m=$(lang_menu "$main") || fail "no language menu"
check_eq "English item checked at start" English "$(lang_checked "$m")"
shot language_menu_en

# missing WHAT KEYS EXPECTED_TEXT: picks an item by keys, checks the message,
# closes it and checks that the translation page follows.
missing() {
  local box
  lang_menu "$main" >/dev/null || { fail "$1: no language menu"; return; }
  xdotool key $2
  box=$(msgbox_wait) || { fail "$1: no message"; return; }
  check_texts "$1: message" "$(printf 'caption=Tolvik Hivara\ntext=%s\nbutton=OK' "$3")" "$(msgbox_content "$box")"
  [ "${SHOT:-}" ] && { sleep 0.3; shot "$SHOT"; }
  xdotool key Return
  wt gone "$box" 5 >/dev/null || fail "$1: message not closed"
  pages=$((pages + 1))
  relay_wait shell32.ShellExecuteA "$pages"
  check_eq "$1: translation page opened" "$mh,\"Open\",\"$SITE/hivara/translate.htm\",00000000,00000000,00000001" \
    "$(relay_calls shell32.ShellExecuteA | sed -n "${pages}p")"
}

SHOT=missing_language_en missing "Chinese, missing" c "${APP_WIN}Languages\\DLan_Chinese.ini can not be found."
# Other is the last item; in the message box CR LF reads as "||".
missing "Other, missing" "Up Return" \
  "${APP_WIN}Languages\\DLan_Other.ini can not be found.||||Please visit $SITE/hivara/translate.htm"
check_texts "texts unchanged after missing files" "$english_at_start" "$(main_texts "$main")"
m=$(lang_menu "$main")
check_eq "English still checked" English "$(lang_checked "$m")"
xdotool key Escape
wt gone "#32768" 5 >/dev/null

# wait_text LEFT TOP TEXT: until the control there shows TEXT.
wait_text() {
  local i
  for i in $(seq 50); do
    [ "$(ctl_field "$(ctl_at "$main" "$1" "$2")" 9)" = "$3" ] && return 0
    sleep 0.1
  done
  return 1
}

lang_menu "$main" >/dev/null && xdotool key f
wait_text 16 283 "$(ini_get "$langs/DLan_French.ini" frmMain bExit)"
check_texts "switched to French" "$(main_file_texts "$langs/DLan_French.ini")" "$(main_texts "$main")"
check_fitted "$main" "after the switch to French"
m=$(lang_menu "$main")
check_eq "French checked alone" French "$(lang_checked "$m")"
xdotool key Escape
wt gone "#32768" 5 >/dev/null

# A file beside the program wins over Languages; keys it lacks keep the
# texts of the language before.
printf '[frmMain]\r\nbExit=Fuera\r\n' >"$APP/DLan_Spanish.ini"
printf '[frmMain]\r\nbExit=Wrong file\r\n' >"$langs/DLan_Spanish.ini"
lang_menu "$main" >/dev/null && xdotool key e  # "&Espagnol"
check "file beside the program used" wait_text 16 283 Fuera
check_texts "keys it lacks keep the French texts" \
  "$(main_file_texts "$langs/DLan_French.ini" | sed 's/^bExit=.*/bExit=Fuera/')" "$(main_texts "$main")"
m=$(lang_menu "$main")
check_eq "Spanish checked alone" Spanish "$(lang_checked "$m")"
xdotool key Escape
wt gone "#32768" 5 >/dev/null

# Back to English, from the English file: the texts of the start return
# (the four totals, empty at start, take the file's values).
lang_menu "$main" >/dev/null && xdotool key a  # "&Anglais" is still the caption
wait_text 16 283 Exit
english=$(main_file_texts "$langs/DLan_English.ini")
check_texts "back to English from the file" "$english" "$(main_texts "$main")"
totals='^(lCurrentRegistrySize|lNewRegistrySize|lSizeReduction|lCompactPercent)='
check_texts "the start-up English texts return" "$(grep -Ev "$totals" <<<"$english_at_start")" \
  "$(main_texts "$main" | grep -Ev "$totals")"
check_fitted "$main" "back in English"
check_eq "column headings keep their alignment" "left right right right" "$(column_alignment "$main")"
m=$(lang_menu "$main")
check_eq "English checked alone" English "$(lang_checked "$m")"
xdotool key Escape
wt gone "#32768" 5 >/dev/null

# Without DLan_English.ini, English is a missing language like any other.
mv "$langs/DLan_English.ini" "$P/DLan_English.ini.away"
missing "English, missing" e "${APP_WIN}Languages\\DLan_English.ini can not be found."
check "still running" kill -0 "$HV_PID"

finish
