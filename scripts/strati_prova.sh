#!/usr/bin/env bash
# The layer check fails when it should: each case puts one forbidden include into a
# copy of the program's folders and expects strati.sh to refuse it; the clean copy passes.
set -uo pipefail
sorgente="$(cd "$(dirname "$0")/.." && pwd)"
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cartelle=(archive storage report widgets cards registry import mail lists checks shell platform)

copia() {
    rm -rf "$lavoro/albero"
    mkdir -p "$lavoro/albero"
    for c in "${cartelle[@]}"; do cp -r "$sorgente/$c" "$lavoro/albero/"; done
}

falliti=0
casi=(
    'archive/Testo.cpp|#include <QtWidgets/QLabel>'
    'archive/Testo.cpp|#include <qlabel.h>'
    'archive/Testo.cpp|#  include <QtWidgets>'
    'report/Report.h|#include "platform/Piattaforma.h"'
    'lists/Elenco.cpp|#include "cards/Tessera.h"'
    'cards/ModelloTessera.cpp|#include "../widgets/Controlli.h"'
    'cards/Tessera.cpp|#include "shell/Schermate.h"'
    'registry/Zoom.cpp|#include "../shell/Schermate.h"'
)
for caso in "${casi[@]}"; do
    file=${caso%%|*}
    riga=${caso#*|}
    copia
    printf '%s\n' "$riga" >> "$lavoro/albero/$file"
    if bash "$sorgente/scripts/strati.sh" "$lavoro/albero" > /dev/null; then
        echo "not refused: $riga in $file"
        falliti=$((falliti + 1))
    fi
done
copia
if ! bash "$sorgente/scripts/strati.sh" "$lavoro/albero" > /dev/null; then
    echo "the clean tree is refused"
    falliti=$((falliti + 1))
fi
totale=$((${#casi[@]} + 1))
echo "$falliti failed, $((totale - falliti)) passed"
[ "$falliti" -eq 0 ]
