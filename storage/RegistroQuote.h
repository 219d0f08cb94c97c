#pragma once
// What the two fee registers (the folder's SQLite file, the server's table) share: the
// columns an entry is read from and written to, in one order, and the reading of a row.
#include "archive/Pagamento.h"

#include <QSqlQuery>
#include <QString>

namespace RegistroQuote {
// The columns of an entry, in TPagamento's order.
inline const QString Colonne = QStringLiteral(
    "id, anno, numero, data, posizione, tessera, nominativo, centesimi, metodo, dal, al, "
    "causale, inserito_da, annulla");
// The entry from the row of `q` read with Colonne.
TPagamento Leggi(const QSqlQuery &q);
// The values an entry is written with, bound by name (:data, :posizione, ...); dates as
// ISO text, which both SQLite and PostgreSQL read.
void Lega(QSqlQuery &q, const TPagamento &p);
// The insert of an entry; `numero` is the expression that gives its receipt number.
QString Inserisci(const QString &numero);
// The messages that name an entry that cannot be voided.
QString NonEsiste(qint64 id);
QString GiaAnnullata(const TPagamento &p);
QString StornoDiStorno(const TPagamento &p);
} // namespace RegistroQuote
