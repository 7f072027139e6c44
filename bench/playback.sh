#!/usr/bin/env bash
# Playback cost: a 60 s 44.1 kHz stereo MP3 played with the equalizer on
# through the program's media control into a PulseAudio null sink, under
# Xvfb. Prints the player's CPU as a percentage of one core and its
# resident memory while playing, and how long after an equalizer change the
# change reaches the sound server's output.
#   bash bench/playback.sh [SECONDS]     (default 40 s of measuring)
# MIXORA_BENCH_BUILD=DIR uses an existing build folder instead of building
# build-release.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MIXORA_BENCH_BUILD:-}
if [ -z "$build" ]; then
  bash scripts/setup-deps.sh
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIXORA_BUILD_TESTS=OFF \
    -DMIXORA_BUILD_BENCH=ON >/dev/null
  cmake --build build-release -j2 --target mixora_play_driver >/dev/null
  build=build-release
fi
driver="$PWD/$build/bench/mixora_play_driver"
seconds=${1:-40}

tmp=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$tmp"' EXIT
# A sound server of our own: private runtime folder, one null sink.
export XDG_RUNTIME_DIR="$tmp/run" HOME="$tmp/home" QT_QPA_PLATFORM=xcb DISPLAY=:154
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
Xvfb :154 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
  -L "module-null-sink sink_name=mixora_null rate=44100" -L module-native-protocol-unix \
  --log-target=file:"$tmp/pulse.log" &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

# Pink noise at 192 kbit/s: the decoder does the work real music asks of it.
gst-launch-1.0 -q audiotestsrc wave=pink-noise volume=0.3 samplesperbuffer=1024 num-buffers=2584 \
  ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate bitrate=192 cbr=true \
  ! filesink location="$tmp/music.mp3"

# 1. CPU and memory while playing (after 5 s of settling).
"$driver" "$tmp/music.mp3" 0 --show >"$tmp/driver.log" 2>&1 &
app=$!
pids+=($app)
sleep 5
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
start=$(ticks)
sleep "$seconds"
end=$(ticks)
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$app/status")
inputs=$(pactl list short sink-inputs | wc -l)
kill "$app"
awk -v d=$((end - start)) -v hz="$hz" -v s="$seconds" -v r="$rss" -v n="$inputs" 'BEGIN {
  printf "playing: CPU %.2f%% of one core over %d s, resident %.1f MiB, %d sink input(s)\n",
         100 * d / hz / s, s, r / 1024, n }'

# 2. An equalizer change (every band to -12 dB) at 4 s into a steady 1 kHz
# tone: when does the level at the null sink's monitor drop? Each chunk the
# recorder reads is stamped with the wall clock; the earliest stamp fixes
# the clock of the whole recording, so the drop is placed in time within a
# few ms even when the reader is late. Three runs (RUNS=n for more).
gst-launch-1.0 -q audiotestsrc freq=1000 volume=0.3 samplesperbuffer=1024 num-buffers=431 \
  ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate bitrate=192 cbr=true \
  ! filesink location="$tmp/tone.mp3"
for _ in $(seq "${RUNS:-3}"); do
python3 - "$driver" "$tmp/tone.mp3" <<'PY'
import array, math, subprocess, sys, time
rec = subprocess.Popen(["parec", "--device=mixora_null.monitor", "--raw", "--format=s16le",
                        "--channels=2", "--rate=44100", "--latency-msec=5"], stdout=subprocess.PIPE)
drv = subprocess.Popen([sys.argv[1], sys.argv[2], "6", "--change-at", "4"], stdout=subprocess.PIPE,
                       text=True)
chunk = 441 * 4  # 10 ms
levels = []      # (frames recorded up to the end of the chunk, rms)
reads = []       # (wall clock of a read, frames recorded up to it)
frames = 0
end = time.time() + 7
while time.time() < end:
    data = rec.stdout.read(chunk)
    frames += len(data) // 4
    reads.append((time.time(), frames))
    s = array.array("h", data)
    levels.append((frames, math.sqrt(sum(v * v for v in s) / max(1, len(s)))))
rec.kill()
# The recording runs at the sample rate; a read can only come late, never
# early, so the earliest read fixes the clock of every sample.
start = min(t - n / 44100 for t, n in reads[len(reads) // 4:])
levels = [(start + n / 44100, r) for n, r in levels]
changed = None
for line in drv.communicate()[0].splitlines():
    if line.startswith("changed at"):
        changed = int(line.split()[2]) / 1e9
if changed is None:
    sys.exit("the driver did not change the equalizer")
before = [r for t, r in levels if changed - 1.0 < t < changed]
ref = sorted(before)[len(before) // 2]
heard = next((t for t, r in levels if t > changed and r < ref / 2), None)  # 6 dB down
if heard is None:
    print("effect change: not heard within the recording")
else:
    print("effect change: heard %.0f ms after it was made (+-10 ms)" % ((heard - changed) * 1000))
PY
done
