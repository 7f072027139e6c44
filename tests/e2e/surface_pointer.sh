#!/usr/bin/env bash
# Driving the real window like a person: hover and press looks, a panel cut
# out of the outline and back, dragging the window by its body, and clicks
# whose commands end up in Mixora.ini. (Tooltips: window_manager.sh.)
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"

# expect_look BITMAP X Y: the window's client pixel (X, Y) shows BITMAP there.
expect_look() {
  local want got
  want=$(bitmap_pixel "$1" "$2" "$3")
  got=$(pixel $((WX + $2)) $((WY + $3)))
  [ "$want" = "$got" ] || fail "pixel ($2, $3) shows $got, not $1's $want"
}
# drag X1 Y1 XM YM X2 Y2: press at (X1, Y1), move through (XM, YM) to (X2, Y2), release.
drag() {
  xdotool mousemove $((WX + $1)) $((WY + $2)) mousedown 1
  sleep 0.2
  xdotool mousemove $((WX + $3)) $((WY + $4))
  sleep 0.1
  xdotool mousemove $((WX + $5)) $((WY + $6))
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}

backdrop 00ff00
start_mixora "$MIXORA"
WX=300 WY=200
xdotool windowfocus "$WID"
sleep 0.5

# Hovering over Stop (box 296,179 - 318,192) lights it, and only it.
xdotool mousemove $((WX + 307)) $((WY + 185))
sleep 0.4
screenshot
expect_look SKINFOCUS 300 183
expect_look SKINFOCUS 314 189
expect_look SKINBASE 330 185 # Forward, next to it, stays plain
# Holding the button down shows it pressed.
xdotool mousedown 1
sleep 0.4
screenshot
expect_look SKINDOWN 300 183
xdotool mouseup 1
sleep 0.3

# The recorder toggle (146,212 - 170,224) cuts the wing out and puts it back.
expect_look SKINBASE 60 120
click_at 158 218
screenshot
[ "$(pixel $((WX + 60)) $((WY + 120)))" = 00ff00 ] || fail "recorder wing still shown"
click_at 158 218
screenshot
expect_look SKINBASE 60 120

# Repeat (359,150 - 375,166) three times: mode 3.
for _ in 1 2 3; do click_at 367 158; done

# Drag the volume thumb (right end of 153,152 - 202,163) to the left end.
drag 198 157 175 157 120 157

# Dragging the body moves the window with the pointer.
drag 135 50 175 80 195 90
xwininfo -id "$WID" | grep -q -- '-geometry 520x419+360+240' ||
  fail "window did not follow the drag: $(xwininfo -id "$WID" | grep geometry)"
WX=360 WY=240

# Power (348,212 - 372,224) closes Mixora; the settings are written.
click_at 360 218
for _ in $(seq 50); do kill -0 "$MIXORA_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$MIXORA_PID" 2>/dev/null && fail "Power did not close Mixora"
wait "$MIXORA_PID" || fail "Mixora ended with an error"
MIXORA_PID=""
grep -q '^Repeat=3$' "$INI" || fail "Repeat not 3: $(cat "$INI")"
grep -q '^Volume=-3000$' "$INI" || fail "Volume not -3000: $(cat "$INI")"
echo PASS
