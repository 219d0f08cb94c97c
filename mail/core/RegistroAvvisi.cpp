#include "mail/core/RegistroAvvisi.h"

#include "archive/CellaCsv.h"
#include "archive/Testo.h"

namespace RegistroAvvisi {

QDate LeggiData(const QString &testo)
{
    const QDate d = QDate::fromString(testo, Qt::ISODate);
    return d.isValid() ? d : Testo::ConvertiData(testo);
}

QString Chiave(int posizione, const QString &nome)
{
    return QString::number(posizione) + u'\t' + Testo::UnaRiga(nome);
}

QString Riga(const TRigaAvviso &r)
{
    const QStringList campi = {r.data.toString(Qt::ISODate),
                               r.ora.toString(QStringLiteral("HH:mm:ss")),
                               r.posizione > 0 ? QString::number(r.posizione) : QString(),
                               r.tesserato,
                               r.indirizzo,
                               r.scadenza.toString(Qt::ISODate),
                               r.esito};
    QStringList righe;
    righe.reserve(campi.size());
    for (const QString &c : campi)
        righe.append(Testo::UnaRiga(c));
    return Csv::Riga(righe);
}

std::optional<TRigaAvviso> LeggiRiga(const QString &riga)
{
    const QStringList c = Csv::Campi(riga);
    if (c.size() < 7)
        return std::nullopt;
    TRigaAvviso r;
    r.data = LeggiData(c[0]);
    if (!r.data.isValid())
        return std::nullopt; // the header, or not a line of ours
    r.ora = QTime::fromString(c[1], QStringLiteral("HH:mm:ss"));
    r.posizione = c[2].toInt();
    r.tesserato = c[3];
    r.indirizzo = c[4];
    r.scadenza = LeggiData(c[5]);
    r.esito = c[6];
    return r;
}

} // namespace RegistroAvvisi
