#!/usr/bin/env bash
# `cmake --install` into an empty prefix gives a tree a desktop accepts: the
# program and its media module, the sample skin where installed skins are
# looked for, a valid desktop entry and AppStream file, the icon at every
# size; the installed program starts, and its window carries the icon and
# the class the desktop entry names, and answers its keys and wheel.
source "$(dirname "$0")/lib/xvfb.sh"
MIXORA="$1"
BUILD=$(dirname "$MIXORA")
PREFIX="$E2E_TMP/prefix"

cmake --install "$BUILD" --prefix "$PREFIX" >"$E2E_TMP/install.log" 2>&1 ||
  { cat "$E2E_TMP/install.log" >&2; fail "cmake --install failed"; }
for f in bin/mixora lib/mixora/mixora-media.so share/mixora/skins/Ember.dll \
  share/applications/mixora.desktop share/metainfo/io.github.mixora.Mixora.metainfo.xml \
  share/icons/hicolor/scalable/apps/mixora.svg; do
  [ -f "$PREFIX/$f" ] || fail "$f is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
  png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/mixora.png"
  [ -f "$png" ] || fail "no ${size}px icon"
  # The PNG header's width and height (bytes 16..23, big-endian).
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "the ${size}px icon is $dims"
done

desktop-file-validate "$PREFIX/share/applications/mixora.desktop" ||
  fail "the desktop entry does not validate"
grep -q '^MimeType=.*audio/x-mpegurl;' "$PREFIX/share/applications/mixora.desktop" ||
  fail "the desktop entry does not offer playlists"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$PREFIX/share/metainfo/io.github.mixora.Mixora.metainfo.xml" \
    >"$E2E_TMP/appstream.log" 2>&1 || { cat "$E2E_TMP/appstream.log" >&2; fail "metainfo"; }
fi

start_mixora "$PREFIX/bin/mixora"
xprop -id "$WID" WM_CLASS | grep -q '= "mixora"' || fail "WM_CLASS: $(xprop -id "$WID" WM_CLASS)"
# _NET_WM_ICON holds width, height and the pixels of each size, one after another.
icon=$(xprop -id "$WID" -notype 32c _NET_WM_ICON | head -c 200 || true)
echo "$icon" | grep -q '_NET_WM_ICON = 16, 16,' || fail "no 16px window icon: $icon"

# Keys reach the window: M mutes, Down and a wheel notch down over the
# volume bar (client 175, 157) lower the volume, Ctrl+Q is Power.
xdotool windowfocus --sync "$WID" 2>/dev/null || true
xdotool key --window "$WID" m Down
xdotool mousemove $((300 + 175)) $((200 + 157)) click 5
sleep 0.3
# The window is gone before the key is let go: xdotool may complain.
xdotool key --window "$WID" ctrl+q 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$MIXORA_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$MIXORA_PID" 2>/dev/null && fail "Ctrl+Q did not close Mixora"
wait "$MIXORA_PID" || fail "Mixora ended with an error"
MIXORA_PID=""
grep -q '^Mute=1$' "$INI" || fail "M did not mute: $(cat "$INI")"
volume=$(sed -n 's/^Volume=//p' "$INI")
[ "$volume" -lt -200 ] && [ "$volume" -gt -500 ] || fail "two steps down gave Volume=$volume"
echo PASS
