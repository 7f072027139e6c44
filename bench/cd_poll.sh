#!/usr/bin/env bash
# What looking for audio CDs costs: idle CPU of the program under Xvfb with
# Check_Audio_CD=1 and no drive, with a device node that opens but holds no
# disc ([CD] Device=/dev/null, the calls an empty drive gets), and with
# Check_Audio_CD=0 as the baseline; then the cost of one poll
# (mixora_cd_poll_bench). Needs mixora and mixora_cd_poll_bench built in
# BUILD_DIR with -DMIXORA_BUILD_BENCH=ON. MIXORA_BENCH_CD_DEVICE=/dev/sr0
# adds a real drive to both.
# Usage: bench/cd_poll.sh BUILD_DIR [SECONDS]
set -euo pipefail
BUILD="$1"
seconds="${2:-30}"
tmp=$(mktemp -d /tmp/mixora-cd-bench-XXXXXX)
Xvfb :153 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
app=""
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
sleep 1

idle() { # name, Check_Audio_CD, [CD] Device
  mkdir -p "$tmp/$1/mixora"
  printf '[Settings]\r\nCheck_Audio_CD=%s\r\n[CD]\r\nDevice=%s\r\n' "$2" "$3" \
    >"$tmp/$1/mixora/Mixora.ini"
  DISPLAY=:153 XDG_CONFIG_HOME="$tmp/$1" "$BUILD/mixora" 2>/dev/null &
  app=$!
  sleep 3
  local hz start end
  hz=$(getconf CLK_TCK)
  start=$(awk '{print $14 + $15}' "/proc/$app/stat")
  sleep "$seconds"
  end=$(awk '{print $14 + $15}' "/proc/$app/stat")
  kill "$app"
  wait "$app" 2>/dev/null || true
  awk -v n="$1" -v d=$((end - start)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "idle CPU, %-28s %.3f%% of one core over %d s (%d ticks of 1/%d s)\n", n ":", 100 * d / hz / s, s, d, hz }'
}

idle "detection off" 0 ""
idle "detection on, no drive" 1 ""
idle "detection on, node, no disc" 1 /dev/null
if [ -n "${MIXORA_BENCH_CD_DEVICE:-}" ]; then
  idle "detection on, $MIXORA_BENCH_CD_DEVICE" 1 "$MIXORA_BENCH_CD_DEVICE"
fi
"$BUILD/bench/mixora_cd_poll_bench" --benchmark_min_time=0.5
