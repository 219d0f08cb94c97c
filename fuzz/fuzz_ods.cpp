// ODS reader: the input is content.xml, then after "@@@@" the manifest, zipped as an
// OpenDocument spreadsheet.
#include "FuzzFoglio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString percorso = FuzzFoglio::Percorso(QStringLiteral("soci.ods"));
    const QList<QByteArray> p = FuzzFoglio::Parti(data, size, 2);
    FuzzFoglio::Zip(
        percorso,
        {{QStringLiteral("mimetype"), QByteArray("application/vnd.oasis.opendocument.spreadsheet")},
         {QStringLiteral("content.xml"), p.value(0)},
         {QStringLiteral("META-INF/manifest.xml"), p.size() > 1 ? p[1] : QByteArray()}});
    FuzzFoglio::Leggi(percorso);
    return 0;
}
