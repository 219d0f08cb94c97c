#include "report/Stampa.h"

#include <QPrinter>

namespace StampaReport {
bool Stampa(const TReport &, QWidget *, int) { return false; }
bool StampaSu(QPrinter &, const TReport &, const QList<int> &) { return false; }
QList<int> PagineScelte(const QPrinter &, int, int) { return {}; }
} // namespace StampaReport
