#!/usr/bin/env bash
# The libFuzzer targets of a fuzz build (FUZZ=1 ./test.sh makes build-fuzz/ and runs them):
#   fuzz/fuzz.sh run [BUILD]    runs each target for FUZZ_SECONDS (default 60) from fuzz/corpus/<target>/
#                               and what earlier runs kept in BUILD/corpus/<target>/; one line per target,
#                               exit status 1 when a target failed
#   fuzz/fuzz.sh merge [BUILD]  adds to fuzz/corpus/<target>/ a few inputs of BUILD/corpus/<target>/ that
#                               reach code the repository's corpus does not
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}
build=${2:-build-fuzz}
if [ "$mode" != run ] && [ "$mode" != merge ]; then
    echo "usage: fuzz/fuzz.sh run|merge [BUILD]" >&2
    exit 2
fi
targets=$build/fuzz-targets.txt
if [ ! -f "$targets" ]; then
    echo "$targets is missing: build the fuzz tree first (FUZZ=1 ./test.sh)" >&2
    exit 2
fi
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The INI target writes a file for every input and the store flushes each write; in memory that is free.
scratch=$(mktemp -d "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/lumetra-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

# The value of a field of libFuzzer's last status line ("#N DONE cov: 306 ft: 410 corp: 23/9Kb ..."), "?"
# when it failed before printing one.
field() {
    local value
    value=$(sed -n "s/.* $1: \([0-9]*\).*/\1/p" <<<"$2")
    echo "${value:-?}"
}

run() {
    local name=$1 max_len=$2
    local work=$build/corpus/$name log=$build/logs/$name.log
    local options=(-max_len="$max_len" -max_total_time="${FUZZ_SECONDS:-60}" -timeout=10
                   -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-")
    [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
    local corpora=("$work")
    [ -d "fuzz/corpus/$name" ] && corpora+=("fuzz/corpus/$name")
    mkdir -p "$work" "$build/logs" "$build/artifacts"
    local start=$SECONDS code=0
    "$build/bin/$name" "${options[@]}" "${corpora[@]}" </dev/null >"$log" 2>&1 || code=$?
    local seconds=$((SECONDS - start))
    local status
    status=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -n 1 || true)
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    local summary="$name: $(field cov "$status") edges (cov), $(field ft "$status") features,"
    summary+=" corpus $(field corp "$status") inputs, ${runs:-?} runs, $seconds s"
    if [ $code -eq 0 ]; then
        echo "$summary, no crash"
        return 0
    fi
    # The sanitizer's or libFuzzer's report, from its first line to the input it wrote, without the
    # frames of libFuzzer and the C library around the target.
    awk '/ERROR: |runtime error: |Test unit written/ { on = 1 }
         on && !/ in fuzzer::| in main |__libc_start|in _start / { print "    " $0 }
         /Test unit written/ { exit }' "$log" | head -n 60
    local artifact
    artifact=$(sed -n 's/.*Test unit written to \([^ ]*\).*/\1/p' "$log" | tail -n 1)
    echo "$summary, FAILED (exit $code): input ${artifact:-none written}, log $log"
    return 1
}

merge() {
    local name=$1 max_len=$2
    local seeds=fuzz/corpus/$name
    if [ ! -d "$build/corpus/$name" ]; then
        echo "$name: no run to merge"
        return 0
    fi
    mkdir -p "$seeds" "$build/logs"
    local before
    before=$(find "$seeds" -type f | wc -l)
    # Edges only, not how often each runs, and the greedy smallest cover of them: a few inputs keep what
    # the run reached, and the corpus stays small enough for the repository.
    "$build/bin/$name" -set_cover_merge=1 -use_counters=0 -max_len="$max_len" "$seeds" "$build/corpus/$name" \
        </dev/null >"$build/logs/$name-merge.log" 2>&1 || {
        echo "$name: merge failed, log $build/logs/$name-merge.log"
        return 1
    }
    local after
    after=$(find "$seeds" -type f | wc -l)
    echo "$name: $seeds holds $after files (+$((after - before))), $(du -sb "$seeds" | cut -f1) bytes"
}

failed=0
while read -r name max_len; do
    "$mode" "$name" "$max_len" || failed=1
done <"$targets"
exit $failed
