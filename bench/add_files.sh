#!/usr/bin/env bash
# Adding 10,000 local audio files (MP3, FLAC, OGG, WAV mixed) to the
# playlist through the engine and the program's media control, with a warm
# file cache.
#   bench/add_files.sh [BUILD_DIR]   (built with -DMIXORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:-build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/src" "$tmp/music"
for i in $(seq 0 9); do
  n=$((10 + 10 * i))
  tone="audiotestsrc wave=sine freq=$((220 + 50 * i)) samplesperbuffer=4410 num-buffers=$n"
  src="$tone ! audio/x-raw,rate=44100,channels=2"
  gst-launch-1.0 -q $src ! lamemp3enc target=bitrate bitrate=128 cbr=true \
    ! filesink location="$tmp/src/$i.mp3"
  gst-launch-1.0 -q $src ! flacenc ! filesink location="$tmp/src/$i.flac"
  gst-launch-1.0 -q $src ! vorbisenc ! oggmux ! filesink location="$tmp/src/$i.ogg"
  gst-launch-1.0 -q $src ! wavenc ! filesink location="$tmp/src/$i.wav"
done
for k in $(seq 0 249); do
  for i in $(seq 0 9); do
    for ext in mp3 flac ogg wav; do
      cp "$tmp/src/$i.$ext" "$tmp/music/$(printf '%03d-%d' "$k" "$i").$ext"
    done
  done
done
cat "$tmp"/music/* >/dev/null # warm the cache
for _ in 1 2 3; do
  "$build/bench/mixora_add_files_bench" "$tmp/music"
done
