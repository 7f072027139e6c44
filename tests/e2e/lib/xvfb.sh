# Shared by the end-to-end tests: a private X display, a private settings
# folder, and helpers to start and stop Mixora like a person's session would.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/mixora-e2e-XXXXXX)
export XDG_CONFIG_HOME="$E2E_TMP/config"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
INI="$XDG_CONFIG_HOME/mixora/Mixora.ini"

n=$((100 + RANDOM % 400))
while [ -e "/tmp/.X${n}-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$n"
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$n" ] && break
  sleep 0.05
done

MIXORA_PID=""
cleanup() {
  [ -n "$MIXORA_PID" ] && kill -9 "$MIXORA_PID" 2>/dev/null || true
  kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# start_mixora BINARY: starts it and waits until its window is mapped.
start_mixora() {
  "$1" 2>"$E2E_TMP/stderr.log" &
  MIXORA_PID=$!
  for _ in $(seq 100); do
    WID=$(xdotool search --onlyvisible --name '^Mixora$' 2>/dev/null | head -1 || true)
    [ -n "$WID" ] && return 0
    sleep 0.05
  done
  fail "the Mixora window did not appear"
}

# stop_mixora: SIGTERM, as a logout sends it; Mixora must end cleanly.
stop_mixora() {
  kill -TERM "$MIXORA_PID"
  local rc=0
  wait "$MIXORA_PID" || rc=$?
  MIXORA_PID=""
  [ "$rc" = 0 ] || fail "Mixora ended with status $rc"
}
