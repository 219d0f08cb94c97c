// XLSX reader: the input is the sheet's XML, then after "@@@@" the shared strings, the
// styles and the workbook (a workbook of one sheet when missing), zipped as a workbook.
#include "FuzzFoglio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString percorso = FuzzFoglio::Percorso(QStringLiteral("soci.xlsx"));
    const QList<QByteArray> p = FuzzFoglio::Parti(data, size, 4);
    const QByteArray libro =
        p.size() > 3 ? p[3]
                     : QByteArray("<workbook xmlns:r=\"r\"><sheets><sheet name=\"Soci\" "
                                  "r:id=\"rId1\"/></sheets></workbook>");
    FuzzFoglio::Zip(
        percorso,
        {{QStringLiteral("xl/workbook.xml"), libro},
         {QStringLiteral("xl/_rels/workbook.xml.rels"),
          QByteArray("<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" "
                     "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
                     "Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship "
                     "Id=\"rId3\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>")},
         {QStringLiteral("xl/worksheets/sheet1.xml"), p.value(0)},
         {QStringLiteral("xl/sharedStrings.xml"), p.size() > 1 ? p[1] : QByteArray()},
         {QStringLiteral("xl/styles.xml"), p.size() > 2 ? p[2] : QByteArray()}});
    FuzzFoglio::Leggi(percorso);
    return 0;
}
