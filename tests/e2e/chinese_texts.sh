#!/usr/bin/env bash
# A Traditional Chinese desktop (LANG=zh_TW.UTF-8) with Detect_Language=1:
# the environment menu and the tooltips show the Big5 table's texts, decoded
# on screen. The host writes every menu and tooltip text it shows to
# MIXORA_SHOWN_TEXT_LOG, which is how this test reads them. With detection
# off the same desktop keeps the English texts.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
LOG="$E2E_TMP/shown.log"
export MIXORA_SHOWN_TEXT_LOG="$LOG"
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=zh_TW.UTF-8

# wait_shown LINE: waits until the host has shown LINE.
wait_shown() {
  for _ in $(seq 50); do
    grep -qxF "$1" "$LOG" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "never shown: $1 (shown: $(tr '\n' '|' <"$LOG" 2>/dev/null))"
}

# hover X Y: rests the pointer on client point (X, Y) until a tooltip may show.
hover() {
  xdotool mousemove $((WX + $1)) $((WY + $2))
  sleep 0.3
  xdotool mousemove $((WX + $1 + 1)) $((WY + $2))
}

mkdir -p "$XDG_CONFIG_HOME/mixora"
printf '[Settings]\r\nDetect_Language=1\r\n' >"$INI"
start_mixora "$MIXORA"
window_origin
xdotool windowfocus "$WID"
sleep 0.5

# The environment button (248,212 - 272,224) opens the translated menu.
windows_before=$(xdotool search --onlyvisible --pid "$MIXORA_PID" 2>/dev/null | wc -l)
xdotool mousemove $((WX + 260)) $((WY + 218)) click 1
wait_shown "menu: 一般"
wait_shown "menu: <無>"
wait_shown "menu: 走廊"
sleep 0.5
[ "$(xdotool search --onlyvisible --pid "$MIXORA_PID" 2>/dev/null | wc -l)" -gt "$windows_before" ] ||
  fail "no popup menu window"
# The popup's pixels: more than the skin's flat colours, i.e. text was drawn.
screenshot
colours=$(convert "$E2E_TMP/screen.png" -crop "200x200+$((WX + 260))+$((WY + 218))" \
  -format %k info:)
[ "$colours" -gt 8 ] || fail "the menu area shows only $colours colours"
xdotool key Escape
sleep 0.3
grep -q '^menu: Generic$' "$LOG" && fail "English menu text shown"

# Resting on Play / Pause (270,179 - 292,192) shows its Chinese name.
hover 281 185
wait_shown "tooltip: 撥放/暫停"
# A band slider has no translation: its English frequency stays.
hover 414 155
for _ in $(seq 30); do grep -q '^tooltip: .* Hz$' "$LOG" && break; sleep 0.1; done
grep -q '^tooltip: [0-9K]* Hz$' "$LOG" || fail "no band tooltip in English"
stop_mixora
grep -q $'^Detect_Language=1\r$' "$INI" || fail "Detect_Language not kept"

# Detection off: the same desktop sees English.
: >"$LOG"
printf '[Settings]\r\nDetect_Language=0\r\n' >"$INI"
start_mixora "$MIXORA"
window_origin
xdotool windowfocus "$WID"
sleep 0.5
hover 281 185
wait_shown "tooltip: Play / Pause"
stop_mixora
echo "PASS"
