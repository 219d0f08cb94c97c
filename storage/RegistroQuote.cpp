#include "storage/RegistroQuote.h"

#include <QVariant>

namespace RegistroQuote {

namespace {
QString Iso(const QDate &d)
{
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}
QString Testo(const QString &t)
{
    return t.isNull() ? QStringLiteral("") : t;
}
} // namespace

TPagamento Leggi(const QSqlQuery &q)
{
    TPagamento p;
    p.id = q.value(0).toLongLong();
    p.anno = q.value(1).toInt();
    p.numero = q.value(2).toInt();
    p.data = QDate::fromString(q.value(3).toString().left(10), Qt::ISODate);
    p.posizione = q.value(4).toInt();
    p.tessera = q.value(5).toString();
    p.nominativo = q.value(6).toString();
    p.centesimi = q.value(7).toLongLong();
    p.metodo = q.value(8).toString();
    p.dal = QDate::fromString(q.value(9).toString().left(10), Qt::ISODate);
    p.al = QDate::fromString(q.value(10).toString().left(10), Qt::ISODate);
    p.causale = q.value(11).toString();
    p.inseritoDa = q.value(12).toString();
    p.annulla = q.value(13).isNull() ? 0 : q.value(13).toLongLong();
    return p;
}

void Lega(QSqlQuery &q, const TPagamento &p)
{
    q.bindValue(QStringLiteral(":anno"), p.data.year());
    q.bindValue(QStringLiteral(":data"), Iso(p.data));
    q.bindValue(QStringLiteral(":posizione"), p.posizione);
    q.bindValue(QStringLiteral(":tessera"), Testo(p.tessera));
    q.bindValue(QStringLiteral(":nominativo"), Testo(p.nominativo));
    q.bindValue(QStringLiteral(":centesimi"), p.centesimi);
    q.bindValue(QStringLiteral(":metodo"), Testo(p.metodo));
    q.bindValue(QStringLiteral(":dal"), p.dal.isValid() ? QVariant(Iso(p.dal)) : QVariant());
    q.bindValue(QStringLiteral(":al"), p.al.isValid() ? QVariant(Iso(p.al)) : QVariant());
    q.bindValue(QStringLiteral(":causale"), Testo(p.causale));
    q.bindValue(QStringLiteral(":inserito_da"), Testo(p.inseritoDa));
    q.bindValue(QStringLiteral(":annulla"), p.annulla ? QVariant(p.annulla) : QVariant());
}

QString Inserisci(const QString &numero)
{
    return QStringLiteral("INSERT INTO pagamenti (anno, numero, data, posizione, tessera, "
                          "nominativo, centesimi, metodo, dal, al, causale, inserito_da, "
                          "annulla) VALUES (:anno, %1, :data, :posizione, :tessera, "
                          ":nominativo, :centesimi, :metodo, :dal, "
                          ":al, :causale, :inserito_da, :annulla) RETURNING %2")
        .arg(numero, Colonne);
}

QString NonEsiste(qint64 id)
{
    return QStringLiteral("La voce %1 non \u00E8 nel registro delle quote.").arg(id);
}

QString GiaAnnullata(const TPagamento &p)
{
    return QStringLiteral("La ricevuta %1 \u00E8 gi\u00E0 stata annullata.").arg(p.Ricevuta());
}

QString StornoDiStorno(const TPagamento &p)
{
    return QStringLiteral("La ricevuta %1 annulla un'altra ricevuta: non si pu\u00F2 annullare.")
        .arg(p.Ricevuta());
}

} // namespace RegistroQuote
