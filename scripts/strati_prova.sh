#!/usr/bin/env bash
# The layer check fails when it should: each case puts one forbidden line (an include,
# or a file of the archive opened by path) into a copy of the program's folders and
# expects strati.sh to refuse that file for it; each allowed line adds no refusal; the
# clean copy passes.
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
    'report/core/Report.h|#include "platform/Piattaforma.h"'
    'lists/core/Elenco.cpp|#include "cards/Tessera.h"'
    'cards/core/ModelloTessera.cpp|#include "../../widgets/Controlli.h"'
    'cards/Tessera.cpp|#include "shell/Schermate.h"'
    'registry/Zoom.cpp|#include "../shell/Schermate.h"'
    'lists/Consegna.cpp|void Apri(const QString &c) { TArchivio a(c); }'
    'lists/core/Elenco.cpp|const QImage f = LeggiImmagine(PercorsoFoto(c, 1));'
    'mail/core/InvioAvvisi.cpp|const QString r = QDir(c).filePath(QStringLiteral("Avvisi.csv"));'
    'import/Importa.cpp|const QString d = QDir(c).filePath(QStringLiteral("Documenti_Allegati"));'
    'lists/core/Esportazione.cpp|QFile f(QDir(c).filePath(QStringLiteral("Tesserati.pro")));'
    'lists/core/Estraneo.cpp|int Estraneo();'
)
# Lines that name the archive's files without opening them: a comment, a message.
permesse=(
    'lists/Consegna.cpp|// The folder holds TArchivio, "Tesserati.pro" and PercorsoFoto.'
    'mail/core/InvioAvvisi.cpp|const char *m = "vedere il registro Avvisi.csv: righe";'
)
# The refusals the copy gets as it is, so a case counts only what its line adds.
copia
prima=$(bash "$sorgente/scripts/strati.sh" "$lavoro/albero" | sort)
# The refusals of the changed copy that name `file` and the clean copy did not have.
nuove() {
    esito=0
    dopo=$(bash "$sorgente/scripts/strati.sh" "$lavoro/albero") || esito=$?
    comm -13 <(printf '%s\n' "$prima") <(printf '%s\n' "$dopo" | sort) | grep -F "$1"
}
for caso in "${casi[@]}"; do
    file=${caso%%|*}
    riga=${caso#*|}
    copia
    printf '%s\n' "$riga" >> "$lavoro/albero/$file"
    if ! nuove "$file" > /dev/null || [ "$esito" -eq 0 ]; then
        echo "not refused: $riga in $file"
        falliti=$((falliti + 1))
    fi
done
for caso in "${permesse[@]}"; do
    file=${caso%%|*}
    riga=${caso#*|}
    copia
    printf '%s\n' "$riga" >> "$lavoro/albero/$file"
    if nuove "$file"; then
        echo "refused: $riga in $file"
        falliti=$((falliti + 1))
    fi
done
# A core source listed outside a core folder.
copia
printf 'target_sources(quorvel_core PRIVATE Segnaposto.h)\n' >> "$lavoro/albero/cards/CMakeLists.txt"
if ! nuove "cards/Segnaposto.h: a core source outside" > /dev/null; then
    echo "not refused: a core source in cards/"
    falliti=$((falliti + 1))
fi
copia
if ! bash "$sorgente/scripts/strati.sh" "$lavoro/albero" > /dev/null; then
    echo "the clean tree is refused"
    falliti=$((falliti + 1))
fi
totale=$((${#casi[@]} + ${#permesse[@]} + 2))
echo "$falliti failed, $((totale - falliti)) passed"
[ "$falliti" -eq 0 ]
