#!/usr/bin/env bash
# The recorder as a person uses it: a 1 kHz tone plays into a PulseAudio null
# sink whose monitor is the default source; Record, the digits counting,
# Stop, Save through the real file dialog, and the tone found in the file.
# Then a logout (SIGTERM) in the middle of a recording: the recording is kept
# and the next start says where.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
RECORDNO="$(dirname "$0")/../../resources/bitmaps/RECORDNO.bmp"

export XDG_CACHE_HOME="$E2E_TMP/cache" XDG_DATA_HOME="$E2E_TMP/data"
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

PA_PID="" TONE_PID=""
stop_sound() {
  [ -n "$TONE_PID" ] && kill "$TONE_PID" 2>/dev/null && wait "$TONE_PID" 2>/dev/null || true
  [ -n "$PA_PID" ] && kill "$PA_PID" 2>/dev/null && wait "$PA_PID" 2>/dev/null || true
}
trap 'stop_sound; cleanup' EXIT

# A private PulseAudio with nothing but a null sink; without one (no
# pulseaudio installed) the program records a generated tone instead.
if command -v pulseaudio >/dev/null; then
  HOME="$E2E_TMP" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=tone rate=44100" 2>"$E2E_TMP/pulse.log" &
  PA_PID=$!
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || fail "PulseAudio did not start: $(tail -3 "$E2E_TMP/pulse.log")"
  pactl set-default-source tone.monitor
  pactl set-default-sink tone
  gst-launch-1.0 -q audiotestsrc freq=1000 volume=0.5 is-live=true ! pulsesink device=tone buffer-time=1000000 \
    >/dev/null 2>&1 &
  TONE_PID=$!
  sleep 0.5
else
  export MIXORA_RECORD_SOURCE="audiotestsrc freq=1000 volume=0.5 is-live=true"
fi

click_at() { xdotool mousemove $((WX + $1)) $((WY + $2)) click 1; sleep 0.3; }
# Clock readings in seconds, and sums of them: recording lengths follow the
# time the buttons were on, however loaded the machine is.
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
add() { awk 'BEGIN { s = 0; for (i = 1; i < ARGC; i++) s += ARGV[i]; printf "%.3f", s }' "$@"; }
# cell_shows X Y DIGIT: the 10 x 10 digit cell at client (X, Y) shows DIGIT.
cell_shows() {
  local got want
  got=$(convert "$E2E_TMP/screen.png" -crop "10x10+$((WX + $1))+$((WY + $2))" +repage rgb:- | md5sum)
  want=$(convert "$RECORDNO" -crop "10x10+$(($3 * 10))+0" +repage rgb:- | md5sum)
  [ "$got" = "$want" ]
}
# The position's seconds units: cell 0 at (77, 112).
seconds_shown() {
  screenshot
  for d in 0 1 2 3 4 5 6 7 8 9; do
    cell_shows 77 112 "$d" && { echo "$d"; return; }
  done
  echo "?"
}
# check_wav FILE MIN_S MAX_S: a PCM wave file of 22050 Hz, 16 bits, stereo
# (the first-run format), MIN_S..MAX_S long, its loudest tone at 1 kHz.
check_wav() {
  python3 - "$@" <<'EOF' || fail "bad recording $1"
import math, struct, sys
path, lo, hi = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
b = open(path, 'rb').read()
head = struct.unpack_from('<4sI8sIHHIIHH4sI', b)
assert head == (b'RIFF', len(b) - 8, b'WAVEfmt ', 16, 1, 2, 22050, 88200, 4, 16, b'data',
                len(b) - 44), head
rate, n = 22050, len(b) - 44
secs = n / 4 / rate
assert lo <= secs <= hi, f'{secs:.3f} s long'
left = [s / 32768 for s in struct.unpack_from(f'<{n // 2}h', b, 44)[::2]]
def level(part, hz):
    k = 2 * math.cos(2 * math.pi * hz / rate); s1 = s2 = 0.0
    for v in part: s1, s2 = v + k * s1 - s2, s1
    return math.sqrt(max(s1 * s1 + s2 * s2 - k * s1 * s2, 0)) / len(part)
# The loudest half second: a tone client starved of CPU (sanitized builds
# running beside it) leaves gaps of silence in the sink it plays into, which
# are the tone's fault, not the recorder's.
win = rate // 2
tail = max((left[i:i + win] for i in range(0, len(left) - win + 1, win // 4)),
           key=lambda part: level(part, 1000))
levels = {hz: level(tail, hz) for hz in range(200, 10001, 100)}
peak = max(levels, key=levels.get)
assert peak == 1000 and levels[1000] > 0.05, f'peak at {peak} Hz, level {levels[1000]:.3f}'
print(f'{path}: {secs:.3f} s, 1 kHz at {levels[1000]:.3f}')
EOF
}

start_mixora "$MIXORA"
WX=300 WY=200
xdotool windowfocus "$WID"
sleep 0.5

# Record (16,134 - 43,146); the digits count the seconds. The sound server
# may take a moment to start the capture on a loaded machine: wait for the
# first second, then see the next one come.
click_at 29 140
rec_start=$(now)
for _ in $(seq 50); do
  first=$(seconds_shown)
  [ "$first" != "?" ] && [ "$first" -ge 1 ] && break
  sleep 0.1
done
# The digits follow the 333 ms tick, so the next second may show a tick late.
for _ in $(seq 30); do
  sleep 0.1
  second=$(seconds_shown)
  [ "$second" != "?" ] && [ "$first" != "?" ] && [ "$second" -gt "$first" ] && break
done
[ "$first" != "?" ] && [ "$second" != "?" ] && [ "$first" -ge 1 ] && [ "$second" -gt "$first" ] ||
  fail "digits showed $first then $second while recording"
# Stop recording (52,134 - 79,146): the digits go back to 0.
click_at 65 140
rec_end=$(now)
[ "$(seconds_shown)" = 0 ] || fail "digits not back to 0 after Stop"

# Save (52,162 - 79,174): the file dialog; a name without extension gets .wav.
click_at 65 168
sleep 1.5
xdotool type --delay 20 "$E2E_TMP/take"
xdotool key Return
for _ in $(seq 50); do [ -s "$E2E_TMP/take.wav" ] && break; sleep 0.1; done
[ -s "$E2E_TMP/take.wav" ] || fail "no take.wav after saving"
# As long as Record was on, less the moment the capture takes to start.
take=$(elapsed "$rec_start" "$rec_end")
take_len=$(check_wav "$E2E_TMP/take.wav" "$(add "$take" -2.5)" "$(add "$take" 0.3)" |
  sed -n 's/.*: \([0-9.]*\) s,.*/\1/p')

# A logout while recording on: nothing is asked, and the whole recording
# (the saved take and what was added after it) is kept.
click_at 29 140
rec_start=$(now)
sleep 1.5
stop_mixora
more=$(elapsed "$rec_start" "$(now)")
kept=$(ls "$XDG_DATA_HOME"/mixora/recordings/Recording-*.wav 2>/dev/null | head -1)
[ -n "$kept" ] || fail "the unsaved recording was not kept"
check_wav "$kept" "$(add "$take_len" 0.5)" "$(add "$take" "$more" 0.6)"
grep -q "^Rescued=$kept" "$INI" || fail "the next start would not know: $(cat "$INI")"
[ -z "$(ls -A "$XDG_CACHE_HOME/mixora")" ] || fail "temporary recordings left behind"

# The next start tells where it is, once.
start_mixora "$MIXORA"
for _ in $(seq 40); do
  [ "$(xdotool search --onlyvisible --name '^Mixora$' | wc -l)" -ge 2 ] && break
  sleep 0.1
done
[ "$(xdotool search --onlyvisible --name '^Mixora$' | wc -l)" -ge 2 ] || fail "no note at start"
xdotool key Return
sleep 0.5
stop_mixora
grep -q '^Rescued=$' "$INI" || fail "the note would show again"
echo "PASS"
