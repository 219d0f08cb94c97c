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

namespace Csv {

QString Riga(const QStringList &valori, QChar separatore, bool virgolette)
{
    QStringList r;
    r.reserve(valori.size());
    for (const QString &v : valori)
        r.append(Cella(v, separatore, virgolette));
    return r.join(separatore);
}

QStringList Campi(const QString &riga, QChar separatore)
{
    QStringList r;
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        const QChar c = riga[i];
        if (virgolette) {
            if (c == u'"' && i + 1 < riga.size() && riga[i + 1] == u'"') {
                campo += u'"';
                ++i;
            } else if (c == u'"') {
                virgolette = false;
            } else {
                campo += c;
            }
        } else if (c == u'"') {
            virgolette = true;
        } else if (c == separatore) {
            r.append(Valore(campo));
            campo.clear();
        } else {
            campo += c;
        }
    }
    r.append(Valore(campo));
    return r;
}

QStringList Righe(const QString &testo)
{
    QStringList r;
    QString riga;
    bool virgolette = false;
    for (QChar c : testo) {
        if (c == u'"')
            virgolette = !virgolette;
        if (!virgolette && (c == u'\n' || c == u'\r')) {
            if (!riga.isEmpty())
                r.append(riga);
            riga.clear();
            continue;
        }
        riga += c;
    }
    if (!riga.isEmpty())
        r.append(riga);
    return r;
}

} // namespace Csv
