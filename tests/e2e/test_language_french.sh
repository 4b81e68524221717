#!/usr/bin/env bash
# Started in French: every window in French from its first showing, the
# French item checked; a missing language is reported in French and changes
# nothing; a switch to German at run time is saved at close.
. "$(dirname "$0")/lib.sh"

e2e_start win64
fr="$APP/Languages/DLan_French.ini"
de="$APP/Languages/DLan_German.ini"
printf '[Options]\r\nLan=French\r\n' >"$APP/options.ini"
relay_on 'shell32.ShellExecuteA'
WINEDEBUG=+relay hv_start
main=$(wt wait "$MAIN_CLASS" 60) || { fail "no main window"; finish; }
mh=$(hex "$main")
sleep 0.5
shot main_fr

french=$(main_file_texts "$fr")
check_texts "main window in French" "$french" "$(main_texts "$main")"
check_fitted "$main" "French"
check_eq "French column headings keep their alignment" "left right right right" "$(column_alignment "$main")"

m=$(lang_menu "$main") || fail "no language menu"
check_eq "French item checked" French "$(lang_checked "$m")"
shot language_menu_fr

# The missing-file message takes its wording from the language in force.
xdotool key c
box=$(msgbox_wait) || { fail "no message for the missing Chinese file"; finish; }
sleep 0.5
shot missing_language_fr
check_texts "missing Chinese file reported in French" \
  "$(printf 'caption=Tolvik Hivara\ntext=%sLanguages\\DLan_Chinese.ini %s\nbutton=OK' "$APP_WIN" \
     "$(ini_get "$fr" ResourceString RES_Not_Found)")" \
  "$(msgbox_content "$box")"
check_eq "no page opened while the message shows" "" "$(relay_calls shell32.ShellExecuteA)"
mouse_click "$(wt dump "$box" | awk -F'\t' '$2 == "Button" && $7 == "visible" { print $1; exit }')"
check "OK closes the message" wt gone "$box" 5
relay_wait shell32.ShellExecuteA 1
check_eq "then the translation page opens" "$mh,\"Open\",\"$SITE/hivara/translate.htm\",00000000,00000000,00000001" \
  "$(relay_calls shell32.ShellExecuteA)"
check_texts "texts still French" "$french" "$(main_texts "$main")"
m=$(lang_menu "$main")
check_eq "French still checked" French "$(lang_checked "$m")"
xdotool key Escape
wt gone "#32768" 5 >/dev/null

# The About box opens in French.
mouse_click "$(ctl_at "$main" 16 252)"
menu_wait >/dev/null && xdotool key p
about=$(wt wait "$ABOUT_CLASS" 10) || { fail "no About box"; finish; }
sleep 0.5
shot about_fr
check_texts "About box in French" "$(about_file_texts "$fr")" "$(about_texts "$about")"
mouse_click "$(ctl_at "$about" 256 211)"
wt gone "$about" 5 >/dev/null || fail "About box not closed"

# Switched to German ("A&llemand"): every text and the check mark at once.
lang_menu "$main" >/dev/null && xdotool key l
for _ in $(seq 50); do
  [ "$(ctl_field "$(ctl_at "$main" 16 283)" 9)" = "$(ini_get "$de" frmMain bExit)" ] && break
  sleep 0.1
done
sleep 0.3
shot main_de
check_texts "main window in German" "$(main_file_texts "$de")" "$(main_texts "$main")"
check_fitted "$main" "German"
m=$(lang_menu "$main")
check_eq "German item checked alone" German "$(lang_checked "$m")"
xdotool key Escape
wt gone "#32768" 5 >/dev/null
check_eq "no further page opened" 1 "$(relay_calls shell32.ShellExecuteA | wc -l)"

# The choice reaches options.ini at close.
mouse_click "$(ctl_at "$main" 16 283)"
check "Exit ends the program" hv_wait 20
check_eq "German saved" German "$(ini_get "$APP/options.ini" Options Lan)"

finish
