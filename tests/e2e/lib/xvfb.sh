# Shared by the end-to-end tests: a private X display, a private settings
# folder, and helpers to start and stop Mixora like a person's session would.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/mixora-e2e-XXXXXX)
export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"
INI="$XDG_CONFIG_HOME/mixora/Mixora.ini"

# Xvfb picks a free display number itself and tells it on stdout, so tests
# running beside other X servers never race for a number. -noreset: an X
# server resets when its last client leaves, and refuses connections while
# it does; between two clients of a test that must not happen.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset >"$E2E_TMP/display" 2>/dev/null &
XVFB_PID=$!
for _ in $(seq 200); do
  [ -s "$E2E_TMP/display" ] && break
  sleep 0.05
done
[ -s "$E2E_TMP/display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$E2E_TMP/display")"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: cannot reach Xvfb on $DISPLAY" >&2; exit 1; }

MIXORA_PID=""
cleanup() {
  [ -n "$MIXORA_PID" ] && kill -9 "$MIXORA_PID" 2>/dev/null || true
  [ -n "${BACKDROP_PID:-}" ] && kill "$BACKDROP_PID" 2>/dev/null || true
  # Wait for the server to be gone: a dying server removes its socket and
  # lock on its way out, and must not take those of the next test's server.
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$E2E_TMP/stderr.log" ]; then
    echo "--- Mixora's stderr:" >&2
    tail -20 "$E2E_TMP/stderr.log" >&2
  fi
  exit 1
}

# start_mixora BINARY: starts it and waits until its window is mapped.
start_mixora() {
  "$1" 2>"$E2E_TMP/stderr.log" &
  MIXORA_PID=$!
  wait_mixora_window
}

# wait_mixora_window: WID becomes the mapped Mixora window (fails after 20 s).
wait_mixora_window() {
  for _ in $(seq 400); do
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

# screenshot: saves the whole screen as $E2E_TMP/screen.png.
screenshot() { import -window root "$E2E_TMP/screen.png"; }

# pixel X Y: the colour at (X, Y) of the last screenshot, as rrggbb.
pixel() {
  convert "$E2E_TMP/screen.png" -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f'
}

# backdrop COLOUR: a window of one colour over the whole screen, behind
# whatever is started after it (the root's own background cannot be relied
# on: it turns black again when its owner goes away).
backdrop() {
  convert -size 1024x768 "xc:#$1" "$E2E_TMP/backdrop.png"
  display -geometry +0+0 -borderwidth 0 -title backdrop "$E2E_TMP/backdrop.png" &
  BACKDROP_PID=$!
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name '^backdrop' >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "backdrop did not appear"
}

BITMAPS="$(dirname "${BASH_SOURCE[0]}")/../../../resources/bitmaps"
# bitmap_pixel NAME X Y: a pixel of one of the skin's pictures, as rrggbb.
bitmap_pixel() {
  convert "$BITMAPS/$1.bmp" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f'
}

# window_origin: WX, WY become where the window's client area is now.
window_origin() {
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  WX=$X WY=$Y
}

# click_at X Y: a click on the window's client point (X, Y).
click_at() { xdotool mousemove $((WX + $1)) $((WY + $2)) click 1; sleep 0.4; }

# null_sink_server: a PulseAudio of this test's own, in a private runtime
# folder, whose default sink is the null sink "mixora_null"; Mixora plays to
# it through pulsesink. Skips the test when PulseAudio is not installed.
null_sink_server() {
  command -v pulseaudio >/dev/null || { echo "SKIP: no pulseaudio"; exit 0; }
  export XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  export HOME="$E2E_TMP/home" && mkdir -p "$HOME"
  pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
    -L "module-null-sink sink_name=mixora_null rate=44100" -L module-native-protocol-unix \
    --log-target=file:"$E2E_TMP/pulse.log" &
  PULSE_PID=$!
  trap 'kill "$PULSE_PID" 2>/dev/null || true; cleanup' EXIT
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || fail "no sound server"
  pactl set-default-sink mixora_null
  export MIXORA_AUDIO_SINK=pulsesink
}
