#!/usr/bin/env bash
# The main window as it first shows: its class, frame, hive rows, texts,
# buttons and tooltips, read back from outside the program.
. "$(dirname "$0")/lib.sh"
arch=${E2E_ARCH:-win64}

e2e_start "$arch"
hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }
shot "main_en_$arch"

check_eq "one window of the class" 1 "$(wt count "$MAIN_CLASS")"
check_eq "caption" "Tolvik Hivara" "$(ctl_field "$main" 9)"
# Borderless: the window is its client area, centred on the 1024x768 screen.
check_eq "window rectangle and client size" "234 188 790 580 556 392" "$(wt rect "$main")"

list=$(wt list "$main")
check_eq "grid lines on by default" "gridlines=1" "$(head -1 <<<"$list" | cut -d' ' -f1)"
check_eq "columns" "$(printf 'column\t0\t205\tleft\tHive Name\ncolumn\t1\t72\tright\tCurrent Size\ncolumn\t2\t70\tright\tNew Size\ncolumn\t3\t65\tright\tReduction')" \
  "$(grep '^column' <<<"$list")"
# One row per hive of the list, in the registry's order (Wine: sorted by
# name); the volatile hive without a file gives none.
expected=$(awk -F'\t' 'NF == 4 { print $1 }' "$P/demohives.txt" | LC_ALL=C sort -f | awk '{ printf "row\t%d\t%s\t\t\t\n", NR - 1, $0 }')
check "demo hive list made" test "$(grep -c . <<<"$expected")" -ge 3
check_eq "one row per hive, size cells empty" "$expected" "$(grep '^row' <<<"$list")"

kids=$(children "$main")
check_eq "the list first in tab order" SysListView32 "$(head -1 <<<"$kids" | cut -f2)"
# name class left top visible|hidden enabled|disabled text
while IFS='|' read -r name cls left top vis en text; do
  line=$(awk -F'\t' -v l="$left" -v t="$top" -v c="$cls" '$2 == c && $3 == l && $4 == t' <<<"$kids")
  if [ -z "$line" ]; then fail "$name: no $cls at $left,$top"; continue; fi
  check_eq "$name" "$vis $en [$text]" "$(awk -F'\t' '{ printf "%s %s [%s]", $7, $8, $9 }' <<<"$line")"
done <<EOF
lTitle|Static|17|12|visible|enabled|Tolvik Hivara 2.1
lTitle1|Static|13|67|visible|enabled|Main
bAnalyzeRegistry|Button|13|93|visible|enabled|Analyze Registry
bDefragRegistry|Button|13|122|visible|disabled|Defrag Registry
bOptions|Button|12|151|visible|enabled|Options
lTitle3|Static|13|193|visible|enabled|Help
bHomepage|Button|15|221|hidden|enabled|Homepage
bLanguage|Button|16|221|visible|enabled|Language
bAbout|Button|16|252|visible|enabled|Help
bExit|Button|16|283|visible|enabled|Exit
lLastWashed|Static|116|312|visible|enabled|Current Registry Size:
Label4|Static|116|330|visible|enabled|New Registry Size:
Label5|Static|116|348|visible|enabled|Size Reduction:
lCompactPercent1|Static|117|366|visible|enabled|Compact Percent:
lCurrentRegistrySize|Static|222|312|visible|enabled|
lNewRegistrySize|Static|222|330|visible|enabled|
lSizeReduction|Static|222|348|visible|enabled|
lCompactPercent|Static|222|366|visible|enabled|
Label6|Static|342|312|visible|enabled|Step Hint:
Label2|Static|353|330|visible|enabled|1. Analyze the Windows registry.
Label1|Static|353|348|visible|enabled|2. Review the analyzing result.
Label3|Static|353|366|visible|enabled|3. Defrag the registry and restart the pc.
suiURLLabel1|Static|436|38|visible|enabled|${SITE#http://}
bMinimize|Button|488|9|visible|enabled|
bClose|Static|517|9|visible|enabled|
EOF
check "nothing at the Exit button's designed slot" test -z "$(awk -F'\t' '$4 == 314' <<<"$kids")"

# Flat buttons are as wide as their caption plus 17, hidden ones too.
while IFS=$'\t' read -r h cls left top w _ _ _ text; do
  [ "$cls" = Button ] && [ -n "$text" ] || continue
  check_eq "width of the $text button" "$(( $(wt measure "$text") + 17 ))" "$w"
done <<<"$kids"

# Tooltips, by the control they belong to.
tips=$(wt tips "$main")
while IFS='|' read -r left top tip; do
  h=$(ctl_at "$main" "$left" "$top")
  check_eq "tooltip at $left,$top" "$tip" "$(awk -F'\t' -v h="$h" '$1 == h { print $2 }' <<<"$tips")"
done <<'EOF'
13|93|Analyze your registry
13|122|Defrag your registry
12|151|Settings
16|221|Change display language
16|252|Click to popup the menu
15|221|Homepage
16|283|Exit
488|9|Minimize
517|9|Minimize to system tray
EOF

finish
