#pragma once
// The CSV of the program, written and read in one place: the cells and lines it writes (the
// reminder log, the import outcome) and the fields of a line it reads back. A text a
// spreadsheet could take for a formula is written as text, with the leading apostrophe
// spreadsheets expect. No widgets.
#include <QString>
#include <QStringList>

namespace Csv {

// The cell for a value: an apostrophe before a value starting with =, +, -, @, a tab, a
// carriage return or an apostrophe; in double quotes (inner ones doubled) when it holds
// the separator, a quote or a line break, or always with `virgolette`.
QString Cella(const QString &valore, QChar separatore = u';', bool virgolette = false);
// The value of a cell already out of its quotes: the apostrophe Cella added is removed.
QString Valore(const QString &cella);

// One line of cells (Cella each), without its line end.
QString Riga(const QStringList &valori, QChar separatore = u';', bool virgolette = false);
// The values of one record written by Riga: quotes undone (doubled ones kept single, line
// breaks inside quotes kept) and the apostrophe Cella added removed.
QStringList Campi(const QString &riga, QChar separatore = u';');

// The records of a text, split on line ends outside quotes; empty lines are dropped.
QStringList Righe(const QString &testo);

} // namespace Csv
