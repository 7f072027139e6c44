#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Mixora
# needs. Safe to run again: when everything is present it only checks and
# returns, without touching the network.
set -euo pipefail

PACKAGES=(
  # toolchain
  g++ cmake ninja-build pkg-config git
  # window, dialogs, D-Bus power events
  qt6-base-dev libqt6dbus6 libgl-dev
  # MPRIS and the one-instance hand-over: tests run on a private session bus
  # (dbus-run-session) and the end-to-end test calls it with dbus-send
  dbus-daemon dbus-bin
  # fonts the window draws its texts with (CJK fallback for translations)
  fonts-dejavu-core fonts-noto-cjk
  # regions
  libpixman-1-dev
  # media engine: building the effect element, and the elements it is tested with
  # (plugins-base also holds cdparanoiasrc, which reads audio CDs)
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  # media lengths from file headers
  libtag1-dev
  # a sound server for benchmarks and end-to-end tests (null sink)
  pulseaudio pulseaudio-utils
  # making the media the playback benchmark plays (gst-launch-1.0)
  gstreamer1.0-tools
  # the sample skin package (a resource-only Windows library)
  binutils-mingw-w64-x86-64 cpp
  # tests and benchmarks (the effect benchmark races the stock pitch and
  # freeverb elements of plugins-bad)
  googletest libgtest-dev libgmock-dev libbenchmark-dev gstreamer1.0-plugins-bad
  # running without a display, end-to-end tests, start-up measurement
  xvfb xdotool x11-utils imagemagick libx11-dev xauth
  # a window manager for the end-to-end tests of moves, focus and hover
  openbox
  # checking the installed desktop entry and AppStream file
  desktop-file-utils appstream
  # CI's sanitizer and fuzz builds: clang, its sanitizer and libFuzzer
  # runtimes, and llvm-symbolizer for readable reports
  clang libclang-rt-14-dev llvm-14 clang-format
  # CI keeps a compiler cache on the machine it runs on
  ccache
  # recording (pulsesrc is in plugins-good): the desktop sound server; the
  # end-to-end test plays a tone into a private null sink
  pulseaudio pulseaudio-utils python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup-deps: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
