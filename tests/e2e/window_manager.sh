#!/usr/bin/env bash
# The window on a desktop as people meet it: highlights and tooltips on an
# inactive window (with no window manager and under openbox), a highlight
# that goes when the pointer leaves, a tap on the body that moves nothing
# while a drag does, and the window destroyed by another client.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
command -v openbox >/dev/null || fail "openbox is missing: run scripts/setup-deps.sh"

# shows BITMAP X Y [WHAT]: the window's pixel (X, Y) is BITMAP's there.
shows() {
  local want got
  screenshot
  want=$(bitmap_pixel "$1" "$2" "$3")
  got=$(pixel $((WX + $2)) $((WY + $3)))
  [ "$want" = "$got" ] || fail "${4:-pixel ($2, $3)}: shows $got, not $1's $want"
}
windows_of_mixora() { xdotool search --onlyvisible --pid "$MIXORA_PID" 2>/dev/null | wc -l; }
# tooltip_over X Y: resting on (X, Y) opens one more window of Mixora's.
tooltip_over() {
  local before after
  xdotool mousemove $((WX + 5)) $((WY + 5))
  sleep 0.3
  before=$(windows_of_mixora)
  xdotool mousemove $((WX + $1)) $((WY + $2))
  sleep 0.2
  xdotool mousemove $((WX + $1 + 1)) $((WY + $2))
  for _ in $(seq 40); do
    after=$(windows_of_mixora)
    [ "$after" -gt "$before" ] && return 0
    sleep 0.1
  done
  return 1
}
POWER="360 218"   # Power: 348,212 - 372,224
MUTE="212 158"    # Mute: 205,151 - 219,165
BODY="135 50"     # green body of the mask, no control

# --- No window manager: the window is never activated. --------------------
start_mixora "$MIXORA"
window_origin
xdotool mousemove $((WX + 360)) $((WY + 218))
sleep 0.4
shows SKINFOCUS $POWER "Power under the pointer, window never active"
# Leaving the window takes the highlight away.
xdotool mousemove 5 760
sleep 0.4
shows SKINBASE $POWER "Power after the pointer left"
tooltip_over $MUTE || fail "no tooltip over Mute without a window manager"
# A band change (100 Hz, 411,132 - 419,179) ended by SIGTERM before it has
# settled still reaches registry.reg.
REG="$XDG_CONFIG_HOME/mixora/registry.reg"
! grep -qs 'Effect Driver' "$REG" || fail "the effect state was written before any change"
xdotool mousemove $((WX + 414)) $((WY + 140)) click 1
sleep 0.15
stop_mixora
grep -A1 'Effect Driver' "$REG" | grep -q '"State"=hex:' || fail "the band change was lost at SIGTERM"

# --- openbox, with another window active. ---------------------------------
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
WM_PID=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

convert -size 120x80 xc:#3060a0 "$E2E_TMP/other.png"
display -geometry +880+660 -title other "$E2E_TMP/other.png" &
OTHER_PID=$!
start_mixora "$MIXORA"
OTHER=$(xdotool search --sync --onlyvisible --name '^other' | head -1)
xdotool windowmove "$WID" 200 150
xdotool windowactivate --sync "$OTHER"
sleep 0.5
[ "$(xdotool getactivewindow)" != "$WID" ] || fail "Mixora should not be the active window"
window_origin
xdotool mousemove $((WX + 360)) $((WY + 218))
sleep 0.4
shows SKINFOCUS $POWER "Power under the pointer, another window active"
xdotool mousemove 5 5
sleep 0.4
shows SKINBASE $POWER "Power after the pointer left, under openbox"
tooltip_over $MUTE || fail "no tooltip over Mute while another window is active"

# A tap on the body (press and release with no time between) moves nothing,
# now or when the pointer moves afterwards.
xdotool mousemove $((WX + 135)) $((WY + 50))
sleep 0.3
for _ in 1 2 3; do
  xdotool mousedown 1 mouseup 1
  sleep 0.3
  xdotool mousemove_relative 60 40
  sleep 0.4
  before_x=$WX before_y=$WY
  window_origin
  [ "$WX,$WY" = "$before_x,$before_y" ] || fail "a tap glued the window to the pointer: now at $WX,$WY"
  xdotool mousemove $((WX + 135)) $((WY + 50))
  sleep 0.3
done
# A real drag on the body still moves it.
xdotool mousedown 1
sleep 0.2
for step in 10 20 40 60 80; do
  xdotool mousemove $((WX + 135 + step)) $((WY + 50 + step / 2))
  sleep 0.1
done
sleep 0.2
xdotool mouseup 1
sleep 0.5
before_x=$WX before_y=$WY
window_origin
[ "$WX" -gt "$before_x" ] && [ "$WY" -gt "$before_y" ] ||
  fail "dragging the body did not move the window (still at $WX,$WY)"

# Repeat (359,150 - 375,166) once, so the settings have something to keep.
xdotool mousemove $((WX + 367)) $((WY + 158)) click 1
sleep 0.4

# Another client destroys the window: Mixora ends the normal way.
xdotool windowclose "$WID"
for _ in $(seq 50); do kill -0 "$MIXORA_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$MIXORA_PID" 2>/dev/null && fail "Mixora kept running without its window"
rc=0
wait "$MIXORA_PID" || rc=$?
MIXORA_PID=""
[ "$rc" = 0 ] || fail "Mixora ended with status $rc after its window was destroyed"
grep -q '^Repeat=1$' "$INI" || fail "settings not written: $(cat "$INI")"

# Nothing of the debugger's reached the terminal.
! grep -q 'found' "$E2E_TMP/stderr.log" || fail "debugger lines on stderr"

kill "$OTHER_PID" "$WM_PID" 2>/dev/null || true
echo PASS
