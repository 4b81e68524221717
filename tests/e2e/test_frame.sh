#!/usr/bin/env bash
# The frameless window's own title bar, with the real mouse: dragging from
# bare background moves it, pressing on a control does not; the close
# button's picture gives way under the mouse.
. "$(dirname "$0")/lib.sh"

e2e_start win64
hv_start
main=$(wt wait "$MAIN_CLASS" 30) || { fail "no main window"; finish; }

origin() { wt rect "$main" | cut -d' ' -f1,2; }

# drag X Y DX DY: presses at a client point, moves by DX DY, releases.
drag() {
  local x y
  read -r x y < <(main_point "$1" "$2")
  xdotool mousemove "$x" "$y" mousedown 1 sleep 0.1 mousemove "$((x + $3 / 2))" "$((y + $4 / 2))" sleep 0.1 \
    mousemove "$((x + $3))" "$((y + $4))" sleep 0.1 mouseup 1
}

# expect_drag WHAT X Y DX DY MOVES(yes|no)
expect_drag() {
  local what=$1 before want i now
  before=$(origin)
  drag "$2" "$3" "$4" "$5"
  if [ "$6" = yes ]; then
    want="$(( ${before% *} + $4 )) $(( ${before#* } + $5 ))"
  else
    want=$before
  fi
  if [ "$6" = yes ]; then
    for i in $(seq 20); do
      now=$(origin)
      [ "$now" = "$want" ] && break
      sleep 0.1
    done
  else
    sleep 0.5
    now=$(origin)
  fi
  check_eq "$what" "$want" "$now"
}

expect_drag "drag on the title band right of the title moves the window" 300 20 60 40 yes
expect_drag "drag on the Exit button's designed slot (now bare) moves it" 25 325 -30 25 yes
expect_drag "drag on the \"Step Hint:\" label does not move it" 360 318 50 30 no
expect_drag "drag on the title does not move it" 40 18 50 30 no
expect_drag "drag on the Options button does not move it" 30 163 50 30 no
expect_drag "drag on the list does not move it" 300 200 50 30 no

# Both ends of a control's box count as on the control.
IFS=$'\t' read -r _ _ l t w h _ <<<"$(wt dump "$(ctl_at "$main" 342 312)")"
expect_drag "drag one pixel right of the label's width does not move it" $((l + w)) $((t + 5)) 40 20 no
expect_drag "drag two pixels right of it moves the window" $((l + w + 1)) $((t + 5)) 40 20 yes
expect_drag "drag one pixel below the label's height does not move it" $((l + 5)) $((t + h)) 40 20 no
expect_drag "drag two pixels below it moves the window" $((l + 5)) $((t + h + 1)) 40 20 yes
check "program still running after the drags" kill -0 "$HV_PID"

# The close button: pressed, its picture moves 2 pixels right and down;
# released away from it, back, and nothing is closed.
close=$(ctl_at "$main" 517 9)
read -r x y < <(wt center "$close")
xdotool mousemove "$x" "$y" mousedown 1
sleep 0.3
check_eq "pressed close button shifted" "519 11" "$(ctl_field "$close" 3) $(ctl_field "$close" 4)"
xdotool mousemove "$((x + 80))" "$((y + 80))" sleep 0.2 mouseup 1
sleep 0.3
check_eq "released outside: back in place" "517 9" "$(ctl_field "$close" 3) $(ctl_field "$close" 4)"
check "released outside: the program goes on" kill -0 "$HV_PID"

# The pictures: normal, and the hover picture while the mouse is over it.
xdotool mousemove 700 700
sleep 0.3
shot frame_close_normal
xdotool mousemove "$x" "$y"
sleep 0.3
shot frame_close_hover
yellow() {  # yellow pixels in the close button's square
  convert "$shots/$1.png" -crop "24x24+$((x - 12))+$((y - 12))" +repage -fx '(r>0.6 && g>0.5 && b<0.35) ? 1 : 0' \
    -format '%[fx:round(mean*w*h)]' info:
}
check_eq "no yellow cross without the mouse" 0 "$(yellow frame_close_normal)"
check "yellow cross under the mouse" test "$(yellow frame_close_hover)" -gt 10

# Clicked, the close button ends the program like Exit.
xdotool click 1
check "close button ends the program" hv_wait 15
check_eq "exit code" 0 "${HV_RC:-}"

finish
