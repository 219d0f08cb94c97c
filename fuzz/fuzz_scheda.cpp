// Record reader and field rules on arbitrary bytes: an archive file made of the input.
#include "archive/Archivio.h"
#include "archive/Testo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    {
        QFile f(TArchivio::Percorso(dir.path()));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    TArchivio a(dir.path());
    const int n = a.NumeroSchede();
    if (n != static_cast<int>(size / DimensioneScheda))
        std::abort();
    int visti = 0;
    a.Scorri([&](int p, const TScheda &s) {
        ++visti;
        TScheda copia;
        for (int c = 0; c < NumeroCampi; ++c) {
            const QString testo = s.Leggi(static_cast<Campo>(c));
            if (testo.size() > CampiScheda[c].capacita)
                std::abort();
            // Stored again and read back, a read text is unchanged.
            copia.Scrivi(static_cast<Campo>(c), testo);
            if (copia.Leggi(static_cast<Campo>(c)) != testo)
                std::abort();
        }
        return p <= n;
    });
    if (visti != n)
        std::abort();
    if (n > 0)
        (void)a.LeggiScheda(n);
    // The store rule on the raw input as text.
    TScheda s;
    const QString testo = QString::fromUtf8(reinterpret_cast<const char *>(data),
                                            static_cast<qsizetype>(std::min<size_t>(size, 600)));
    s.Scrivi(Campo::Titoli, testo);
    if (s.Leggi(Campo::Titoli).size() > 250 || s.byte[Definizione(Campo::Titoli).offset] > 250)
        std::abort();
    return 0;
}
