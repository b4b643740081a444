#!/usr/bin/env bash
# Configures and builds into ./build (or the folder given as $BUILD_DIR);
# arguments go to the configure step. BUILD_TARGETS, when set, builds only
# those targets (the player alone, say) instead of everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
launcher=()
# ccache, when someone has installed it, makes rebuilds and second build
# folders cheap; paths under the source tree are hashed relative to it.
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    # Without these ccache compiles every file that uses a precompiled header.
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
fi
cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" "$@" >/dev/null
targets=()
for target in ${BUILD_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "$build" "${targets[@]}"
