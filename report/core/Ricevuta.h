#pragma once
// What a receipt says beyond the register's entry: the amount in words and the box for
// the revenue stamp; and the receipt's A5 page, one per entry, on the report engine.
#include "archive/Pagamento.h"
#include "storage/DatiEnteFile.h"

#include <QImage>
#include <QString>

#include <memory>
#include <vector>

class TReport;
class TReportPage;

// The amount as written on a receipt, euro in words and cents in figures: 2500 cents is
// "venticinque/00".
QString ImportoInLettere(qint64 centesimi);
// Whether the receipt carries the box for the 2 euro revenue stamp: amounts above 77,47.
bool MarcaDaBollo(qint64 centesimi);
// An amount in figures as Italians write it: "1.250,00".
QString ImportoInCifre(qint64 centesimi);

namespace Ricevuta {

inline const QString NomeReport = QStringLiteral("Ricevuta");
inline constexpr double LarghezzaMm = 148.0; // A5 portrait
inline constexpr double AltezzaMm = 210.0;

// "Ricevuta n. 12/2026".
QString Titolo(const TPagamento &p);
// "dal 01/01/2026 al 31/12/2026"; empty when the entry names no period.
QString Periodo(const TPagamento &p);
// Lays out one receipt on an empty page: A5, the association's name, logo and data,
// number, date, member, amount in figures and in words, method, purpose, period, the
// stamp box above 77,47 euro, the signature line.
void Componi(TReportPage &pagina, const TPagamento &p, const TDatiEnte &ente, const QImage &logo);
// A document of the receipts, one page each, ready to prepare.
std::unique_ptr<TReport> Crea(const std::vector<TPagamento> &pagamenti, const TDatiEnte &ente,
                              const QImage &logo);

} // namespace Ricevuta
