// CSV reader: any bytes as a CSV file.
#include "FuzzFoglio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString percorso = FuzzFoglio::Percorso(QStringLiteral("soci.csv"));
    FuzzFoglio::Scrivi(percorso, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    FuzzFoglio::Leggi(percorso);
    return 0;
}
