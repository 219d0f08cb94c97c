#!/usr/bin/env bash
# avvia.sh without a screen names the virtual screen it starts, says how to look at it and
# how to stop the program; with a screen it starts the program there. Run on a copy of the
# script with the build and xvfb-run stood in for: nothing is built, no server started.
set -uo pipefail
sorgente="$(cd "$(dirname "$0")/.." && pwd)"
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
mkdir -p "$lavoro/albero/scripts" "$lavoro/albero/build/Quorvel" "$lavoro/finti"
cp "$sorgente/scripts/avvia.sh" "$lavoro/albero/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$lavoro/albero/scripts/prepara.sh"
printf '#!/bin/sh\necho "programma $*"\n' >"$lavoro/albero/build/Quorvel/Quorvel"
printf '#!/bin/sh\necho "$$ $*" >"%s/xvfb"\n' "$lavoro" >"$lavoro/finti/xvfb-run"
chmod +x "$lavoro/albero/build/Quorvel/Quorvel" "$lavoro/finti/xvfb-run"

falliti=0
fallisce() {
    echo "FALLITO: $1"
    falliti=$((falliti + 1))
}

# No screen: the virtual one, named.
uscita=$(env -u DISPLAY -u WAYLAND_DISPLAY PATH="$lavoro/finti:$PATH" \
    bash "$lavoro/albero/scripts/avvia.sh" 2>&1)
[ -f "$lavoro/xvfb" ] || fallisce "xvfb-run non avviato"
read -r pid argomenti <"$lavoro/xvfb"
numero=$(sed -n 's/.*-n \([0-9]*\) .*/\1/p' <<<"$argomenti")
[ -n "$numero" ] && [ "$numero" -ge 99 ] || fallisce "numero dello schermo non scelto: $argomenti"
[[ "$argomenti" == *"$lavoro/albero/build/Quorvel/Quorvel" ]] || fallisce "programma: $argomenti"
grep -q "schermo virtuale :$numero " <<<"$uscita" || fallisce "schermo non nominato"
grep -q "XAUTHORITY=$HOME/.Xauthority import -window root -display :$numero " <<<"$uscita" ||
    fallisce "come guardarlo"
[[ "$argomenti" == *"-f $HOME/.Xauthority "* ]] || fallisce "chiave dello schermo: $argomenti"
grep -q "Ctrl+C" <<<"$uscita" || fallisce "Ctrl+C"
grep -q "pkill -P $pid -x Quorvel" <<<"$uscita" || fallisce "come chiuderlo"

# A screen: the program starts on it, with nothing said about virtual ones.
rm -f "$lavoro/xvfb"
uscita=$(DISPLAY=:5 PATH="$lavoro/finti:$PATH" bash "$lavoro/albero/scripts/avvia.sh" 2>&1)
[ "$uscita" = "programma " ] || fallisce "con uno schermo: $uscita"
[ ! -f "$lavoro/xvfb" ] || fallisce "xvfb-run avviato con uno schermo"

if [ "$falliti" -ne 0 ]; then
    echo "$uscita"
    exit 1
fi
echo "avvia.sh: schermo virtuale nominato, come guardarlo e come chiuderlo"
