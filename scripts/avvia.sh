#!/usr/bin/env bash
# Builds Quorvel (installing what is missing) and starts it from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
QUORVEL_TESTS=OFF
bash scripts/prepara.sh build -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF
PROGRAMMA="$PWD/build/Quorvel/Quorvel"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Nessuno schermo disponibile: Quorvel parte su uno schermo virtuale (Xvfb)."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$PROGRAMMA"
fi
exec "$PROGRAMMA"
