#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds and starts the player.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# The player alone: the program, its engine module and the OpenGL probe.
BUILD_TARGETS="corvel-media-player corvel_mpv_engine corvel-opengl-probe" "$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/corvel-media-player" "$@"
