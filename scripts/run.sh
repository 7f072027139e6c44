#!/usr/bin/env bash
# Sets up, builds (Release) and runs Mixora. Without a display it runs Mixora
# under Xvfb, saves a screenshot, prints its path and ends Mixora cleanly.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMIXORA_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j2 --target mixora

if [ -n "${DISPLAY:-}" ]; then
  exec build-release/mixora "$@"
fi

shot_dir="${MIXORA_SHOT_DIR:-$PWD/out}"
mkdir -p "$shot_dir"
shot="$shot_dir/mixora-screenshot.png"

# Xvfb picks a free display number and tells it on stdout.
display_file=$(mktemp)
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset >"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -1 "$display_file")"

build-release/mixora "$@" &
app=$!
# Wait for the window, then give it a moment to paint.
for _ in $(seq 50); do
  xdotool search --name '^Mixora$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 2
import -window root "$shot"
echo "Screenshot: $shot"
sleep 1
# The same road as a logout: SIGTERM becomes WM_CLOSE and the settings are written.
kill -TERM "$app"
wait "$app"
echo "Mixora ended with status $?"
