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

# A free display number: the first one without a lock file.
n=99
while [ -e "/tmp/.X${n}-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$n" ] && break
  sleep 0.1
done
export DISPLAY=":$n"

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
