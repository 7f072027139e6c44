#!/usr/bin/env bash
# Runs mixora_record_bench (built with -DMIXORA_BUILD_BENCH=ON) against a
# private PulseAudio whose null sink plays a 1 kHz tone into its monitor, the
# default source: the same road as recording from a sound card, without one.
# Usage: bench/record_cpu.sh BUILD_DIR [SECONDS]
set -euo pipefail
BUILD="$1"
SECONDS_TO_RECORD="${2:-60}"
TMP=$(mktemp -d /tmp/mixora-record-bench-XXXXXX)
export XDG_RUNTIME_DIR="$TMP/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
HOME="$TMP" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
  -L "module-native-protocol-unix auth-anonymous=1" \
  -L "module-null-sink sink_name=tone rate=44100" 2>"$TMP/pulse.log" &
PA=$!
trap 'kill $TONE $PA 2>/dev/null; wait $TONE $PA 2>/dev/null; rm -rf "$TMP"' EXIT
TONE=""
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-source tone.monitor
gst-launch-1.0 -q audiotestsrc freq=1000 is-live=true ! pulsesink device=tone >/dev/null 2>&1 &
TONE=$!
sleep 0.5
"$BUILD/bench/mixora_record_bench" "$SECONDS_TO_RECORD"
