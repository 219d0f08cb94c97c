#pragma once
// The numbers behind each chart of the statistics as a table, and the table written as a
// spreadsheet the way the members' export is (an HTML table with the Office workbook
// header, in Windows-1252).
#include "stats/core/Statistiche.h"

#include <QList>
#include <QStringList>

namespace Statistiche {

enum class Grafico { Scadenze, Piramide, Comuni, Province, Cariche, Quote, Rinnovi };
inline constexpr int NumeroGrafici = 7;
QString TitoloGrafico(Grafico g);

struct TTabella {
    QString titolo;
    QStringList intestazioni;
    QList<QStringList> righe;
};
TTabella Tabella(const TStatistiche &s, Grafico g);
// "gen 2026": the month's short Italian name and year.
QString NomeMese(int mese);
// "1.234,50 €" from cents.
QString Euro(qint64 centesimi);

// Writes the table; throws ErroreFile when it cannot (an earlier file stays whole).
void ScriviTabella(const QString &percorso, const TTabella &t);

} // namespace Statistiche
