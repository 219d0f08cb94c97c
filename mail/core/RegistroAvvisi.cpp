#include "mail/core/RegistroAvvisi.h"

#include "archive/CellaCsv.h"

namespace RegistroAvvisi {

QString UnaRiga(const QString &testo)
{
    QString r = testo;
    for (QChar &c : r)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    return r.trimmed();
}

QString Data(const QDate &d)
{
    return d.toString(Qt::ISODate);
}

QString Data(const QString &ggmmaaaa)
{
    const QDate d = QDate::fromString(ggmmaaaa.trimmed(), QStringLiteral("dd/MM/yyyy"));
    return d.isValid() ? Data(d) : ggmmaaaa;
}

QDate LeggiData(const QString &testo)
{
    const QDate d = QDate::fromString(testo, Qt::ISODate);
    return d.isValid() ? d : QDate::fromString(testo, QStringLiteral("dd/MM/yyyy"));
}

QString Chiave(int posizione, const QString &nome)
{
    return QString::number(posizione) + u'\t' + UnaRiga(nome);
}

QString Riga(const QStringList &campi)
{
    QStringList r;
    r.reserve(campi.size());
    for (const QString &c : campi)
        r.append(Csv::Cella(UnaRiga(c)));
    return r.join(u';');
}

QStringList Campi(const QString &riga)
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
        } else if (c == u';') {
            r.append(campo);
            campo.clear();
        } else {
            campo += c;
        }
    }
    r.append(campo);
    for (QString &c : r)
        c = Csv::Valore(c);
    return r;
}

} // namespace RegistroAvvisi
