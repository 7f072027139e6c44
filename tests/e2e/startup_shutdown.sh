#!/usr/bin/env bash
# The real program under Xvfb: the frameless window appears, and ending it as
# a logout would writes Mixora.ini with every setting, keeping the user's own
# lines in a hand-edited file.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"

# A first run with no settings file.
start_mixora "$MIXORA"
geometry=$(xwininfo -id "$WID")
echo "$geometry" | grep -q 'Map State: IsViewable' || fail "window not viewable"
echo "$geometry" | grep -q 'Absolute upper-left X:  300' || fail "window not at x 300"
echo "$geometry" | grep -q 'Absolute upper-left Y:  200' || fail "window not at y 200"
# Motif hints: flags, functions, decorations ...; no decorations means no frame.
decorations=$(xprop -id "$WID" _MOTIF_WM_HINTS | sed 's/.*= //' | cut -d, -f3 | tr -d ' ')
[ "$decorations" = 0x0 ] || fail "window is not frameless"
stop_mixora
expected=$'[Settings]\nRepeat=0\nMute=0\nVolume=0\nDisplayRecorder=1\nDisplayPlaylist=1\nDisplayEqualizer=1\nCheck_Audio_CD=1\nDetect_Language=0\nSkin_File=\n\n[EQ]\nEQPresetMask=0'
[ "$(cat "$INI")" = "$expected" ] || fail "first-run Mixora.ini differs: $(cat "$INI")"

# A hand-edited file: odd capitals, blanks, comments and a volume out of range.
printf '; mine\r\n[SETTINGS]\r\n volume = -9999 \r\nrepeat=2\r\nMyKey=keep\r\n' >"$INI"
start_mixora "$MIXORA"
stop_mixora
grep -q $'^; mine\r$' "$INI" || fail "comment lost"
grep -q $'^MyKey=keep\r$' "$INI" || fail "unknown key lost"
grep -q $'^Volume=-3000\r$' "$INI" || fail "volume not clamped: $(cat "$INI")"
grep -q $'^Repeat=2\r$' "$INI" || fail "repeat mode lost"
[ "$(grep -c -i '^volume' "$INI")" = 1 ] || fail "volume written twice"
echo "PASS"
