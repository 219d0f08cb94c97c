#pragma once
// One cell of the CSV files the program writes (the reminder log, the import outcome):
// a text a spreadsheet could take for a formula is written as text, with the leading
// apostrophe spreadsheets expect. No widgets.
#include <QString>

namespace Csv {

// The cell for a value: an apostrophe before a value starting with =, +, -, @, a tab, a
// carriage return or an apostrophe; in double quotes (inner ones doubled) when it holds
// the separator, a quote or a line break, or always with `virgolette`.
QString Cella(const QString &valore, QChar separatore = u';', bool virgolette = false);
// The value of a cell already out of its quotes: the apostrophe Cella added is removed.
QString Valore(const QString &cella);

} // namespace Csv
