#!/usr/bin/env bash
# Start-up benchmark under Xvfb: median time from exec to the window mapped,
# and resident memory 3 s later, over 5 runs of a Release build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIXORA_BUILD_TESTS=OFF \
  -DMIXORA_BUILD_BENCH=ON >/dev/null
cmake --build build-release -j2 --target mixora mixora_map_time >/dev/null
tmp=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
Xvfb :151 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=:151 XDG_CONFIG_HOME="$tmp" XDG_RUNTIME_DIR="$tmp" \
  build-release/bench/mixora_map_time "$PWD/build-release/mixora" "${1:-5}" 3
