#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest; the exit status is CTest's.
# SANITIZE=address (AddressSanitizer + UndefinedBehaviorSanitizer) or SANITIZE=thread builds a
# separate tree for it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/prepare.sh
install_missing_packages

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
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1}
cd "$build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
