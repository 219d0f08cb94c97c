#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDI="${1:-60}"
QUORVEL_TARGETS="$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//' | tr '\n' ' ')" \
    QUORVEL_PACCHETTI_EXTRA="clang-14 libclang-rt-14-dev" bash scripts/prepara.sh build-fuzz \
    -DCMAKE_CXX_COMPILER=clang++-14 -DQUORVEL_FUZZ=ON -DQUORVEL_SANITIZE=ON \
    -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
esito=0
for f in build-fuzz/fuzz/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] || continue
    nome=$(basename "$f")
    mkdir -p "fuzz/corpus/$nome" "build-fuzz/lavoro/$nome"
    echo "== $nome ($SECONDI s)"
    if ! "$f" -max_total_time="$SECONDI" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/lavoro/$nome/" \
        "build-fuzz/lavoro/$nome" "fuzz/corpus/$nome" 2>"build-fuzz/lavoro/$nome.log"; then
        echo "   FINDING: see build-fuzz/lavoro/$nome.log and build-fuzz/lavoro/$nome/"
        esito=1
    else
        tail -n 1 "build-fuzz/lavoro/$nome.log"
    fi
done
exit $esito
