#!/usr/bin/env bash
# Builds Quorvel (installing what is missing) and starts it from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
QUORVEL_TESTS=OFF
bash scripts/prepara.sh build -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF
PROGRAMMA="$PWD/build/Quorvel/Quorvel"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # The first free screen number from 99, as xvfb-run -a would take, chosen here so that
    # it can be named: nobody sees a virtual screen unless told where it is.
    numero=99
    while [ -e "/tmp/.X$numero-lock" ] || [ -e "/tmp/.X11-unix/X$numero" ]; do
        numero=$((numero + 1))
    done
    # The screen's key goes to the user's usual file, so that other programs of the user
    # (a screenshot) can open the screen; xvfb-run takes it away at the end.
    chiave="$HOME/.Xauthority"
    cat <<FINE
Nessuno schermo disponibile: Quorvel parte sullo schermo virtuale :$numero (Xvfb, 1920x1080),
che non compare su nessun monitor.
Per guardarlo, da un altro terminale:
  XAUTHORITY=$chiave import -window root -display :$numero schermata.png    (pacchetto imagemagick)
FINE
    if command -v x11vnc >/dev/null; then
        echo "  XAUTHORITY=$chiave x11vnc -display :$numero -localhost -once -usepw    (poi un visore VNC su localhost)"
    fi
    cat <<FINE
Per chiudere Quorvel: Ctrl+C in questo terminale, oppure da un altro terminale:
  pkill -P $$ -x Quorvel
FINE
    # exec keeps this process's number, which the pkill above names.
    exec xvfb-run -n "$numero" -f "$chiave" -s "-screen 0 1920x1080x24" "$PROGRAMMA"
fi
exec "$PROGRAMMA"
