#!/usr/bin/env bash
# Sets everything up, then builds and runs the whole test suite twice, plainly
# and with AddressSanitizer and UndefinedBehaviorSanitizer (any report fails
# the test it comes from), and gives each fuzz target a short run.
#
# Build folders: build/ (plain), build-asan/ (sanitized), build-fuzz/ (clang,
# fuzz targets only); BUILD_DIR, ASAN_BUILD_DIR and FUZZ_BUILD_DIR move them.
# FUZZ_SECONDS is the length of each fuzz run (20; 0 leaves fuzzing out);
# SANITIZED=0 leaves the sanitized half out, for a quicker look. TEST_JOBS
# is how many tests run at once (2: most of a test's time is waiting for media
# to play; tests that need the display or the whole machine run alone).
# `bash scripts/timings.sh build` then tells where the time went.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
asan_build=${ASAN_BUILD_DIR:-$root/build-asan}
fuzz_build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
fuzz_seconds=${FUZZ_SECONDS:-20}
sanitized=${SANITIZED:-1}
jobs=${TEST_JOBS:-2}

"$root/scripts/setup.sh"

failed=()
summary=()
# step <name> <command>...: runs one step, times it and remembers a failure.
step() {
    local name=$1 start=$SECONDS status=ok
    shift
    echo "=== $name"
    "$@" || status=FAILED
    summary+=("$(printf '%-16s %-6s %5d s' "$name" "$status" $((SECONDS - start)))")
    echo "=== $name: $status in $((SECONDS - start)) s"
    [ "$status" = ok ] || failed+=("$name")
    [ "$status" = ok ]
}

# Tests run only on a build that succeeded: stale programs would prove nothing.
if step "plain build" env BUILD_DIR="$build" "$root/scripts/build.sh"; then
    step "plain tests" ctest --test-dir "$build" --output-on-failure --timeout 600 -j "$jobs" ||
        true
fi
if [ "$sanitized" != 0 ] &&
    step "sanitized build" env BUILD_DIR="$asan_build" "$root/scripts/build.sh" \
        -DCORVEL_SANITIZE=ON; then
    step "sanitized tests" ctest --test-dir "$asan_build" --output-on-failure --timeout 1200 \
        -j "$jobs" || true
fi
if [ "$fuzz_seconds" -gt 0 ]; then
    step "fuzz smoke" env FUZZ_BUILD_DIR="$fuzz_build" bash "$root/fuzz/run.sh" \
        "$fuzz_seconds" || true
fi

echo
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "FAILED: ${failed[*]}"
    exit 1
fi
echo "All passed."
