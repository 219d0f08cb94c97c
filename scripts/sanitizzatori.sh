#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Leaks are found too. Qt's own allocations that LeakSanitizer would report are named in
# scripts/lsan.supp; Qt is built without frame pointers, so the full unwinder is needed
# for those names to show in a leak's stack (ten frames are enough and keep it quick).
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=10:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QUORVEL_TARGETS="" bash scripts/prepara.sh build-asan -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
