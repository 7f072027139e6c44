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
echo PASS
