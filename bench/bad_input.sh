#!/usr/bin/env bash
# Large and damaged inputs under Xvfb: time from exec to the first window
# (the main window, or the message box that refuses a skin), the peak
# resident memory (VmHWM) and, for the settings file, the time from SIGTERM
# to the end of the process.
#   bench/bad_input.sh [PROGRAM]        (default: build/mixora)
set -euo pipefail
cd "$(dirname "$0")/.."
MIXORA="$(realpath "${1:-build/mixora}")"
FIXTURES="$PWD/tests/fixtures/skins"
tmp=$(mktemp -d /tmp/mixora-bench-XXXXXX)
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset >"$tmp/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -1 "$tmp/display")"
export XDG_CONFIG_HOME="$tmp/config"
cfg="$XDG_CONFIG_HOME/mixora"

now_ms() { date +%s%3N; }

# run LABEL [ARGS...]: one start and stop with the files now in $cfg.
run() {
  local label=$1; shift
  local t0 t1 t2 t3 pid hwm
  t0=$(now_ms)
  "$MIXORA" "$@" 2>/dev/null &
  pid=$!
  until xdotool search --onlyvisible --name '^Mixora$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$label: ended before any window"; return; }
    [ $(( $(now_ms) - t0 )) -lt 120000 ] || { echo "$label: no window after 120 s"; kill -9 "$pid"; return; }
    sleep 0.01
  done
  t1=$(now_ms)
  sleep 1
  # A message box first: answer it, then wait for the main window.
  for w in $(xdotool search --onlyvisible --name '^Mixora$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "${WIDTH}x${HEIGHT}" = 520x419 ] ||
      xdotool mousemove $((X + WIDTH - 52)) $((Y + HEIGHT - 24)) click 1
  done
  sleep 1
  hwm=$(sed -n 's/VmHWM:[[:space:]]*//p' "/proc/$pid/status")
  t2=$(now_ms)
  kill -TERM "$pid"
  wait "$pid" || true
  t3=$(now_ms)
  printf '%-34s start %6d ms   exit %6d ms   peak %s\n' "$label" $((t1 - t0)) $((t3 - t2)) "$hwm"
}

rm -rf "$cfg"; mkdir -p "$cfg"
run "no files"

python3 - "$cfg/registry.reg" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write("REGEDIT4\n")
    for i in range(40000):
        f.write('\n[HKEY_CURRENT_USER\\S\\K%05d]\n@="ab"\n' % i)
PY
echo "registry.reg: $(du -h "$cfg/registry.reg" | cut -f1)"
run "registry 40000 keys"
rm -f "$cfg/registry.reg"

for layout in after before; do
  python3 - "$cfg/Mixora.ini" "$layout" <<'PY'
import sys
path, layout = sys.argv[1], sys.argv[2]
junk = "".join("Key%08d=some value that pads the file\n" % i for i in range(2_450_000))
settings = "[Settings]\nVolume=-700\nSkin_File=\n\n[EQ]\nEQPresetMask=0\n\n"
with open(path, "w") as f:
    if layout == "after":
        f.write(settings + "[Junk]\n" + junk)
    else:
        f.write("[Junk]\n" + junk + "\n" + settings)
PY
  echo "Mixora.ini: $(du -h "$cfg/Mixora.ini" | cut -f1), settings $layout the padding"
  run "100 MB ini, settings $layout"
done
rm -f "$cfg/Mixora.ini"

for f in "$FIXTURES"/*.dll; do
  printf '[Settings]\nSkin_File=%s\n' "$f" >"$cfg/Mixora.ini"
  run "saved skin $(basename "$f")"
done
