#!/usr/bin/env bash
# Builds Quorvel with its tests (installing what is missing) and runs every test:
# first the release build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, both against one private PostgreSQL server on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
OPZIONI=()
if [ -n "${CI:-}" ]; then OPZIONI+=(-DQUORVEL_WERROR=ON); fi
bash scripts/prepara.sh build-test "${OPZIONI[@]}"
# One private PostgreSQL server for both passes, stopped however the run ends.
eval "$(bash scripts/pg_prova.sh start)"
trap 'bash scripts/pg_prova.sh stop "$QUORVEL_PG_DIR"' EXIT
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
echo "== Gli stessi test con AddressSanitizer e UndefinedBehaviorSanitizer"
bash scripts/sanitizzatori.sh "${OPZIONI[@]}"
