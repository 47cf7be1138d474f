#!/usr/bin/env bash
# Start-up time of Lumetra (offscreen, provisioned device root) up to its main dialog being shown,
# against a bare Qt dialog, in one run. Both end as soon as their dialog shows.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-20}
bin=$build/bin
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
"$bin/otdrtool" provision "$root" >/dev/null
printf 'quit\n' >"$root/quit.script"
export QT_QPA_PLATFORM=offscreen LUMETRA_ROOT=$root

mean_ms() {
    local total=0
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || [ $? -eq 18 ]
        end=$(date +%s%N)
        total=$((total + end - start))
    done
    echo $((total / runs / 1000))
}

# One warm-up each, so both start from a warm file cache.
"$bin/empty_window" >/dev/null 2>&1 || true
"$bin/Lumetra" --script "$root/quit.script" >/dev/null 2>&1 || true
empty=$(mean_ms "$bin/empty_window")
lumetra=$(mean_ms "$bin/Lumetra" --script "$root/quit.script")
awk -v e="$empty" -v l="$lumetra" -v n="$runs" 'BEGIN {
    printf "runs: %d\nempty Qt window: %.1f ms\nLumetra to main dialog: %.1f ms\nratio: %.2f (target at most 3)\n",
           n, e / 1000, l / 1000, l / e }'
