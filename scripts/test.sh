#!/usr/bin/env bash
# Builds Quorvel with its tests (installing what is missing) and runs every test:
# first the release build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
OPZIONI=()
if [ -n "${CI:-}" ]; then OPZIONI+=(-DQUORVEL_WERROR=ON); fi
bash scripts/prepara.sh build-test "${OPZIONI[@]}"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
echo "== Gli stessi test con AddressSanitizer e UndefinedBehaviorSanitizer"
bash scripts/sanitizzatori.sh "${OPZIONI[@]}"
