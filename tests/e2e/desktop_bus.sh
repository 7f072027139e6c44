#!/usr/bin/env bash
# The desktop's ways in, on a private session bus: `mixora a.ogg b.ogg`
# plays a.ogg; `mixora --enqueue c.ogg` from another shell hands c.ogg to
# the running one and ends; dbus-send's Next plays b.ogg, and the next one
# c.ogg; a start with no session bus at all runs, silently.
if [ -z "${MIXORA_E2E_PRIVATE_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "SKIP: no dbus-run-session"; exit 0; }
  MIXORA_E2E_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
null_sink_server

MUSIC="$E2E_TMP/music"
mkdir -p "$MUSIC"
for f in a:440 b:550 c:660; do
  gst-launch-1.0 -q audiotestsrc wave=sine freq="${f#*:}" volume=0.3 num-buffers=600 \
    ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! vorbisenc ! oggmux \
    ! filesink location="$MUSIC/${f%:*}.ogg"
done

mpris() { # METHOD: a call on the player interface
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.mixora /org/mpris/MediaPlayer2 \
    "org.mpris.MediaPlayer2.Player.$1" >/dev/null
}
property() { # NAME: the player's property as dbus-send prints it
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.mixora /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1"
}
# playing NAME: waits until NAME is the loaded entry and plays.
playing() {
  for _ in $(seq 60); do
    if property Metadata 2>/dev/null | grep -q "file://$MUSIC/$1\"" &&
      property PlaybackStatus 2>/dev/null | grep -q '"Playing"'; then
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# Relative names, from the folder that holds them.
(cd "$MUSIC" && exec "$MIXORA" a.ogg b.ogg) 2>"$E2E_TMP/stderr.log" &
MIXORA_PID=$!
wait_mixora_window
playing a.ogg || fail "mixora a.ogg b.ogg does not play a.ogg"
[ "$(pactl list short sink-inputs | wc -l)" -ge 1 ] || fail "nothing reaches the sound server"

# A second start hands its file over and ends at once.
(cd "$MUSIC" && timeout 10 "$MIXORA" --enqueue c.ogg) 2>"$E2E_TMP/second.log" ||
  fail "the second start did not end cleanly: $(cat "$E2E_TMP/second.log")"
playing a.ogg || fail "enqueueing interrupted a.ogg"

mpris Next
playing b.ogg || fail "Next does not play b.ogg"
mpris Next
playing c.ogg || fail "the enqueued c.ogg is not next after b.ogg"

stop_mixora

# Without any session bus Mixora starts alone and says nothing about it.
env -u DBUS_SESSION_BUS_ADDRESS "$MIXORA" 2>"$E2E_TMP/nobus.log" &
MIXORA_PID=$!
wait_mixora_window
stop_mixora
[ -s "$E2E_TMP/nobus.log" ] && fail "without a session bus: $(cat "$E2E_TMP/nobus.log")"
echo PASS
