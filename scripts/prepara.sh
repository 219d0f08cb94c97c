#!/usr/bin/env bash
# Installs what is missing on Debian 12 (as root, or through sudo) and builds Quorvel.
# Usage: scripts/prepara.sh BUILD_DIR [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

PACCHETTI=(
    build-essential cmake ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
    qt6-image-formats-plugins qt6-qpa-plugins libgl-dev libvulkan-dev libxkbcommon-dev
    libbenchmark-dev
    libquazip1-qt6-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth
    libreoffice-calc-nogui
    cups cups-client printer-driver-cups-pdf poppler-utils
    clang-format-14 git
    libcurl4-openssl-dev qtkeychain-qt6-dev python3-aiosmtpd openssl
    dpkg-dev lintian appstream desktop-file-utils
    libqrencode-dev zbar-tools
    postgresql-15 libqt6sql6-psql libqt6sql6-sqlite libpq-dev
    qt6-charts-dev libqt6opengl6-dev libzxing-dev libzbar-dev
)
PACCHETTI+=(${QUORVEL_PACCHETTI_EXTRA:-})

mancanti=()
for p in "${PACCHETTI[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        mancanti+=("$p")
    fi
done
if [ ${#mancanti[@]} -gt 0 ]; then
    echo "Installazione dei pacchetti mancanti: ${mancanti[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${mancanti[@]}" >/dev/null
fi

BUILD="$1"
shift
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
if [ -n "${QUORVEL_TARGETS:-}" ]; then
    cmake --build "$BUILD" -j"$(nproc)" --target ${QUORVEL_TARGETS}
else
    cmake --build "$BUILD" -j"$(nproc)"
fi
