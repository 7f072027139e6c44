#!/usr/bin/env bash
# Idle cost: CPU time Mixora uses over 30 s of doing nothing under Xvfb
# (after a 3 s settle), as a percentage of one core.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIXORA_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j2 --target mixora >/dev/null
seconds=${1:-30}
tmp=$(mktemp -d)
Xvfb :152 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
sleep 1
DISPLAY=:152 XDG_CONFIG_HOME="$tmp" build-release/mixora 2>/dev/null &
app=$!
sleep 3
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
start=$(ticks)
sleep "$seconds"
end=$(ticks)
awk -v d=$((end - start)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "idle CPU: %.3f%% of one core over %d s (%d ticks of 1/%d s)\n", 100 * d / hz / s, s, d, hz }'
