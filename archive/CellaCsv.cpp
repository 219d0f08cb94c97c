#include "archive/CellaCsv.h"

namespace Csv {
namespace {
// A first character that makes a spreadsheet read the cell as a formula, and the
// apostrophe itself, so that a value starting with one reads back whole.
bool Pericoloso(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r' ||
           c == u'\'';
}
} // namespace

QString Cella(const QString &valore, QChar separatore, bool virgolette)
{
    QString c = !valore.isEmpty() && Pericoloso(valore[0]) ? u'\'' + valore : valore;
    if (virgolette || c.contains(separatore) || c.contains(u'"') || c.contains(u'\n') ||
        c.contains(u'\r')) {
        c.replace(QLatin1String("\""), QLatin1String("\"\""));
        c = u'"' + c + u'"';
    }
    return c;
}

QString Valore(const QString &cella)
{
    if (cella.size() >= 2 && cella[0] == u'\'' && Pericoloso(cella[1]))
        return cella.mid(1);
    return cella;
}

} // namespace Csv
