#!/usr/bin/env bash
# Length measuring: 10,000 local audio files (MP3, FLAC, Ogg/Vorbis and WAV,
# 2,500 of each, 1 to 10 s long; the WAVs mono at 22.05 kHz to spare the disk) measured through length probes on 2 threads
# with a warm file cache, as adding them to the playlist does. Prints the
# time of the best of three runs.
#   bash bench/lengths.sh [THREADS]
# MIXORA_BENCH_BUILD=DIR uses an existing build folder instead of building
# build-release.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MIXORA_BENCH_BUILD:-}
if [ -z "$build" ]; then
  bash scripts/setup-deps.sh
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIXORA_BUILD_TESTS=OFF \
    -DMIXORA_BUILD_BENCH=ON >/dev/null
  cmake --build build-release -j2 --target mixora_length_bench >/dev/null
  build=build-release
fi
threads=${1:-2}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/src" "$tmp/music"

# Ten originals of each kind, different lengths; copies make up the rest.
for i in $(seq 0 9); do
  n=$((10 + 10 * i))
  tone="audiotestsrc wave=sine freq=$((220 + 50 * i)) samplesperbuffer=4410 num-buffers=$n"
  src="$tone ! audio/x-raw,rate=44100,channels=2"
  gst-launch-1.0 -q $src ! lamemp3enc target=bitrate bitrate=128 cbr=true \
    ! filesink location="$tmp/src/$i.mp3"
  gst-launch-1.0 -q $src ! flacenc ! filesink location="$tmp/src/$i.flac"
  gst-launch-1.0 -q $src ! vorbisenc ! oggmux ! filesink location="$tmp/src/$i.ogg"
  gst-launch-1.0 -q $tone samplesperbuffer=2205 ! audio/x-raw,rate=22050,channels=1 ! wavenc \
    ! filesink location="$tmp/src/$i.wav"
done
for k in $(seq 0 249); do
  for i in $(seq 0 9); do
    for ext in mp3 flac ogg wav; do
      cp "$tmp/src/$i.$ext" "$tmp/music/$(printf '%03d-%d' "$k" "$i").$ext"
    done
  done
done
du -sh "$tmp/music" | awk '{print "files: 10000, " $1}'
cat "$tmp"/music/* >/dev/null # warm the cache
for _ in 1 2 3; do
  "$build/bench/mixora_length_bench" -j "$threads" "$tmp/music"
done
