#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest; the exit status is CTest's.
# SANITIZE=address (AddressSanitizer + UndefinedBehaviorSanitizer) or SANITIZE=thread builds a
# separate tree for it. FUZZ=1 builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS
# (default 60) instead (fuzz/fuzz.sh); its exit status is 1 when a target failed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/prepare.sh
install_missing_packages

if [ "${FUZZ:-}" = 1 ]; then
    install_missing_packages clang libclang-rt-14-dev
    CC=clang CXX=clang++ BUILD_TARGET=fuzzers prepare_build build-fuzz -DFUZZ=ON
    # Leaves the repository's corpus alone: `fuzz/fuzz.sh merge` keeps what a run found, when wanted.
    exec fuzz/fuzz.sh run build-fuzz
fi

build=build
options=()
case "${SANITIZE:-}" in
"") ;;
address) build=build-asan; options+=(-DSANITIZE=address) ;;
thread) build=build-tsan; options+=(-DSANITIZE=thread) ;;
*) echo "SANITIZE must be address or thread" >&2; exit 2 ;;
esac
prepare_build "$build" "${options[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:suppressions=$PWD/tests/tsan.supp}
cd "$build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
