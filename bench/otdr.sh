#!/usr/bin/env bash
# The desktop program in one run: start-up to its window shown against a bare Qt main window of the same
# size (target at most 2x), then opening a 16 km trace to the repainted view with its panels (target at
# most 50 ms) and one repaint of the view (target at most 1 ms).
# Usage: bench/otdr.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-20}
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'quit\n' >"$work/quit.script"
# A runtime and settings folder of its own, so a running OTDR does not refuse the measured ones.
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work

mean_ms() {
    local total=0
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        total=$((total + end - start))
    done
    echo $((total / runs / 1000))
}

"$bin/empty_window" --main 900 750 >/dev/null 2>&1 || true
"$bin/OTDR" --script "$work/quit.script" >/dev/null 2>&1 || true
empty=$(mean_ms "$bin/empty_window" --main 900 750)
otdr=$(mean_ms "$bin/OTDR" --script "$work/quit.script")
awk -v e="$empty" -v o="$otdr" -v n="$runs" 'BEGIN {
    printf "runs: %d\nempty Qt main window: %.1f ms\nOTDR to its window: %.1f ms\nratio: %.2f (target at most 2)\n",
           n, e / 1000, o / 1000, o / e }'
"$bin/otdr_bench" --benchmark_min_time=0.5
