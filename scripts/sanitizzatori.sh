#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Qt's own one-time allocations are not leaks of ours; everything else must be clean.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QUORVEL_TARGETS="" bash scripts/prepara.sh build-asan -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
