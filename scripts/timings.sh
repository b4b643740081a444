#!/usr/bin/env bash
# Where a build folder's time went: compile and link seconds by part, from
# Ninja's log of the last build, and each test's seconds from CTest's log.
#
#   bash scripts/timings.sh [build folder, default build/]
#
# Ninja's figures are per job: with two jobs at once on two cores they add up
# to about twice the wall time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

echo "== build steps (seconds of job time, from $build/.ninja_log)"
awk 'NR > 1 {
        seconds = ($2 - $1) / 1000; out = $4
        part = (out ~ /^tests\//) ? "tests" : (out ~ /^bench\//) ? "benchmarks" : (out ~ /^fuzz\//) ? "fuzz" : "player"
        kind = (out ~ /cmake_pch/) ? "precompiled header" : (out ~ /\.o$/) ? "compile" : (out ~ /autogen|timestamp/) ? "moc" : "link and other"
        key = part " / " kind; total[key] += seconds; count[key]++
     }
     END { for (key in total) printf "  %-34s %4d steps %8.1f s\n", key, count[key], total[key] }' \
    "$build/.ninja_log" | sort

log=$build/Testing/Temporary/LastTest.log
if [ -f "$log" ]; then
    echo "== tests (seconds, from $log)"
    awk '/^[0-9]+\/[0-9]+ Testing: / { name = $3 }
         /^"[^"]+" end time:/ { }
         /^Test time = / { printf "  %-28s %8.2f s\n", name, $4; sum += $4 }
         END { printf "  %-28s %8.2f s\n", "(all, one after another)", sum }' "$log" | sort -k2 -rn
fi
