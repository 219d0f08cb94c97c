#pragma once
// What the spreadsheet reader targets share: the input written to a file (as it is, or
// split into the parts of a zip), then every sheet read to its end or its refusal.
#include "archive/Errori.h"
#include "import/core/Foglio.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <cstdlib>
#include <utility>

namespace FuzzFoglio {

// A path in a folder of the run, with the given extension.
inline QString Percorso(const QString &nome)
{
    static QTemporaryDir dir;
    return QDir(dir.path()).filePath(nome);
}

inline void Scrivi(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(dati) != dati.size())
        std::abort();
}

// The input cut at each "@@@@" into at most `parti` parts.
inline QList<QByteArray> Parti(const uint8_t *data, size_t size, int parti)
{
    const QByteArray tutto(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> p;
    qsizetype da = 0;
    while (p.size() < parti - 1) {
        const qsizetype i = tutto.indexOf("@@@@", da);
        if (i < 0)
            break;
        p.append(tutto.mid(da, i - da));
        da = i + 4;
    }
    p.append(tutto.mid(da));
    return p;
}

// A zip of the given entries; an entry with no content is left out.
inline void Zip(const QString &percorso, const QList<std::pair<QString, QByteArray>> &voci)
{
    QuaZip zip(percorso);
    if (!zip.open(QuaZip::mdCreate))
        std::abort();
    for (const auto &[nome, dati] : voci) {
        if (dati.isNull())
            continue;
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(nome)))
            std::abort();
        f.write(dati);
        f.close();
    }
    zip.close();
}

// Opens the file and reads every sheet; a refusal is an answer, anything else a finding.
inline void Leggi(const QString &percorso)
{
    try {
        const auto foglio = ApriFoglio(percorso);
        const int fogli = int(foglio->Fogli().size());
        for (int i = 0; i < fogli && i < 4; ++i) {
            int ultimo = 0;
            foglio->Leggi(i, [&](int numero, QStringList &celle) {
                // Rows come in order, numbered within the row limit, never too wide.
                if (numero <= ultimo || numero > 1048576 || celle.size() > 16384)
                    std::abort();
                ultimo = numero;
                return true;
            });
        }
    } catch (const ErroreFile &) {
    }
}

} // namespace FuzzFoglio
