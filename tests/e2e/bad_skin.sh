#!/usr/bin/env bash
# A saved skin package that would abort the program (a 4.6 KB package whose
# face claims 65535 x 65535 pixels) is refused with a message at start, the
# window comes up with the built-in skin and the choice is not kept; and
# `--skin=builtin` is a way back that needs no message at all.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
FIXTURES="$(cd "$(dirname "$0")/../fixtures/skins" && pwd)"

"$MIXORA" --help | grep -q -- '--skin=builtin' || fail "--help does not mention --skin=builtin"

mkdir -p "$XDG_CONFIG_HOME/mixora"
cp "$FIXTURES/HugeRle.dll" "$E2E_TMP/HugeRle.dll"
saved_bad_skin() {
  printf '[Settings]\nVolume=-700\nSkin_File=%s\n' "$E2E_TMP/HugeRle.dll" >"$INI"
}

# visible_mixora_windows: "WIDTHxHEIGHT" of every visible window named Mixora.
visible_mixora_windows() {
  for w in $(xdotool search --onlyvisible --name '^Mixora$' 2>/dev/null); do
    xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p'
  done
}

wait_for_main_window() {
  for _ in $(seq 400); do
    visible_mixora_windows | grep -qx '520x419' && return 0
    sleep 0.05
  done
  fail "no 520 x 419 window: $(visible_mixora_windows | tr '\n' ' ')"
}

# The way back: no message, the built-in skin, the choice saved at once.
saved_bad_skin
"$MIXORA" --skin=builtin 2>"$E2E_TMP/stderr.log" &
MIXORA_PID=$!
wait_for_main_window
grep -qx 'Skin_File=' "$INI" || fail "--skin=builtin not saved at start: $(cat "$INI")"
[ "$(visible_mixora_windows | wc -l)" = 1 ] || fail "an extra window: $(visible_mixora_windows)"
stop_mixora
grep -qx 'Volume=-700' "$INI" || fail "other settings lost: $(cat "$INI")"

# Without the option: told (a message box first), then the built-in skin.
saved_bad_skin
"$MIXORA" 2>"$E2E_TMP/stderr.log" &
MIXORA_PID=$!
box=""
for _ in $(seq 400); do
  box=$(xdotool search --onlyvisible --name '^Mixora$' 2>/dev/null | head -1 || true)
  [ -n "$box" ] && break
  kill -0 "$MIXORA_PID" 2>/dev/null || fail "Mixora ended at start"
  sleep 0.05
done
[ -n "$box" ] || fail "nothing appeared"
sleep 1
visible_mixora_windows | grep -qx '520x419' && fail "the window came before the message"
box=$(xdotool search --onlyvisible --name '^Mixora$' | head -1)
# Its OK button sits at the bottom right; a click answers it like a person.
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + WIDTH - 52)) $((Y + HEIGHT - 24)) click 1
wait_for_main_window
stop_mixora
grep -qx 'Skin_File=' "$INI" || fail "the refused package was kept as the skin: $(cat "$INI")"
echo "PASS"
