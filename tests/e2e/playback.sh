#!/usr/bin/env bash
# Playing music like a person: open two files through the real file dialog,
# hear them at a PulseAudio null sink, watch the elapsed time run, pause and
# resume, double-click a playlist line, save the list, clear it, load it
# back, and play to the end of the list in repeat mode 0.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
null_sink_server

# Two tones of 3 s and 4 s.
MUSIC="$E2E_TMP/music"
mkdir -p "$MUSIC"
tone() { # NAME FREQ SECONDS
  gst-launch-1.0 -q audiotestsrc wave=sine freq="$2" volume=0.5 samplesperbuffer=4410 \
    num-buffers=$((10 * $3)) ! audio/x-raw,rate=44100,channels=2 ! wavenc \
    ! filesink location="$MUSIC/$1"
}
tone one.wav 440 3
tone two.wav 660 4

start_mixora "$MIXORA"
WX=300 WY=200
xdotool windowfocus "$WID"
sleep 0.5
# crop NAME X Y W H: a piece of the window from a new screenshot.
crop() {
  screenshot
  convert "$E2E_TMP/screen.png" -crop "$4x$5+$((WX + $2))+$((WY + $3))" +repage "$E2E_TMP/$1.png"
}
same() { [ "$(compare -metric AE "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" null: 2>&1)" = 0 ]; }
digits() { crop "$1" 158 116 44 14; }  # the elapsed minutes and seconds
playlist() { crop "$1" 176 280 172 78; }
# dialog NAME: waits for the file dialog; then types into its name field.
dialog() {
  local d
  d=$(timeout 10 xdotool search --sync --onlyvisible --name '^(Open|Save)' 2>/dev/null | head -1) || true
  [ -n "$d" ] || fail "no file dialog"
  xdotool windowfocus --sync "$d"
  sleep 0.3
  xdotool type --delay 20 "$1"
  xdotool key Return
  sleep 0.5
}
sink_inputs() { pactl list short sink-inputs | wc -l; }
# until_changed REF NAME: captures the digits as NAME until they differ from
# REF (up to 10 s); false when they never do.
until_changed() {
  for _ in $(seq 40); do
    digits "$2"
    same "$1" "$2" || return 0
    sleep 0.25
  done
  return 1
}
# loud: the null sink's monitor carries sound (not silence) for half a second.
loud() {
  timeout 2 parec --device=mixora_null.monitor --raw --format=s16le --channels=1 \
    --rate=44100 >"$E2E_TMP/rec.raw" 2>/dev/null || true
  python3 - "$E2E_TMP/rec.raw" <<'PY'
import array, sys
a = array.array('h', open(sys.argv[1], 'rb').read())
peak = max((abs(x) for x in a[len(a)//4:]), default=0)
sys.exit(0 if peak > 1000 else 1)
PY
}

digits stopped
playlist empty

# Open media file: the dialog goes to the folder, then both files.
click_at 199 185
dialog "$MUSIC"
dialog '"one.wav" "two.wav"'
until_changed stopped t1 || fail "the elapsed time does not advance"
loud || fail "the null sink hears silence"
playlist listed
same empty listed && fail "the playlist shows no lines"

# Pause: the time stands still; resume: it runs again.
click_at 281 185
sleep 0.4
digits p1
sleep 1.2
digits p2
same p1 p2 || fail "the time runs on while paused"
click_at 281 185
until_changed p2 r1 || fail "the time does not run again after resuming"

# Double-click the first line: it starts again from its beginning.
sleep 1
digits before
xdotool mousemove $((WX + 200)) $((WY + 286)) click --repeat 2 --delay 80 1
until_changed before restarted || fail "the double-click changed nothing"

# Save the list, clear it, load it back.
click_at 334 372
dialog "$E2E_TMP/list.pla"
[ -f "$E2E_TMP/list.pla" ] || fail "no playlist file written" # bytes: unit tests
click_at 262 372
sleep 0.5
playlist cleared
same cleared empty || fail "the cleared playlist still shows lines"
click_at 298 372
dialog "$E2E_TMP/list.pla"
sleep 0.5
playlist loaded
same loaded empty && fail "the loaded playlist shows no lines"

# Repeat mode 0: play from the first entry to the end of the list; then
# playback stops and the time shows 00:00 again.
click_at 307 185 # Stop
sleep 0.5
click_at 281 185 # Play
until_changed stopped again || fail "nothing plays after loading"
for _ in $(seq 40); do
  sleep 0.5
  digits end
  same end stopped && [ "$(sink_inputs)" = 0 ] && break
done
same end stopped || fail "the time does not show 00:00 at the end of the list"
[ "$(sink_inputs)" = 0 ] || fail "something still plays at the end of the list"

stop_mixora
echo PASS
