#!/usr/bin/env bash
# Installs the Debian packages the player needs to build, run and be tested,
# and only those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins libgl-dev
  libmpv-dev
  # MIDI music: the synthesiser and a small General MIDI sound font
  libfluidsynth-dev timgm6mb-soundfont
  fonts-liberation2 fonts-dejavu-core
  # tests: a real X server for the window with video, media made on the fly,
  # and mpv itself for the benchmarks' side-by-side figures
  xvfb xauth ffmpeg mpv libxcb1-dev
  # a window manager for the tests of full screen
  openbox
  # fuzzing: clang and its libFuzzer runtime; the desktop files' validators
  clang-14 libclang-rt-14-dev
  desktop-file-utils appstream
  # MPRIS tests: a private session bus, the MIME database, gdbus to look
  dbus-daemon shared-mime-info libglib2.0-bin
  # the Debian package: dependencies from the binary, its check, and the
  # manual page written from --help
  dpkg-dev lintian file help2man
  # the window under a Wayland compositor: weston's headless backend and
  # Qt's Wayland platform plugin
  weston qt6-wayland
  # keys typed through the X server; a screen reader's view of the window
  xdotool at-spi2-core python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
