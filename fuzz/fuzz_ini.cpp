// Settings-file parser: any bytes read, queried, changed and written back.
#include "archive/Impostazioni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString percorso = QDir(dir.path()).filePath(QStringLiteral("Quorvel.ini"));
    {
        QFile f(percorso);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    TFileIni ini(percorso);
    const QString prima = ini.Leggi(QStringLiteral("Altro"), QStringLiteral("x"));
    (void)ini.Leggi(QStringLiteral("Dati Ente"), QStringLiteral("Sottotitolo 1"),
                    QStringLiteral("d"));
    ini.Scrivi(QStringLiteral("Dati Ente"), QStringLiteral("Sottotitolo 1"),
               QStringLiteral("Città"));
    const TFileIni riletto(percorso);
    if (riletto.Leggi(QStringLiteral("Dati Ente"), QStringLiteral("Sottotitolo 1")) !=
        QStringLiteral("Città"))
        std::abort();
    (void)prima;
    return 0;
}
