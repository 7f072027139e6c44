#!/usr/bin/env bash
# The window takes the base skin's size and mask-shaped outline: the desktop
# shows through the transparent corners, the face shows inside.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"

backdrop ff00ff
start_mixora "$MIXORA"
sleep 0.5
screenshot
xwininfo -id "$WID" | grep -q -- '-geometry 520x419+300+200' || fail "window is not 520x419 at (300, 200)"
# Top-left corner of the window: outside the shape, the desktop shows.
[ "$(pixel 300 200)" = ff00ff ] || fail "corner is not transparent: $(pixel 300 200)"
[ "$(pixel 819 618)" = ff00ff ] || fail "bottom-right corner is not transparent"
# Inside the title display the skin is drawn.
inside=$(pixel 600 320)
[ -n "$inside" ] && [ "$inside" != ff00ff ] || fail "the face is not drawn"
stop_mixora
convert "$E2E_TMP/screen.png" -crop 520x419+300+200 "$E2E_TMP/at1x.png"

# At a fractional desktop scale the skin is drawn at the nearest whole
# scale: at 125 % exactly as at 100 %, every pixel the same.
QT_SCALE_FACTOR=1.25 start_mixora "$MIXORA"
sleep 0.5
screenshot
xwininfo -id "$WID" | grep -q -- '-geometry 520x419+300+200' || fail "not drawn 1:1 at 125 %"
convert "$E2E_TMP/screen.png" -crop 520x419+300+200 "$E2E_TMP/at125.png"
differ=$(compare -metric AE "$E2E_TMP/at1x.png" "$E2E_TMP/at125.png" null: 2>&1 || true)
[ "$differ" = 0 ] || fail "$differ pixels differ at 125 %"
stop_mixora
echo PASS
