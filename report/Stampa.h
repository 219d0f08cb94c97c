#pragma once
// The one print service: shows the print dialog and sends prepared pages to the
// printer, one job titled with the document name, each page at its own paper size and
// orientation, drawn from the paper's physical corner. Every print path uses it and
// reports its result.
#include "report/core/Report.h"

#include <QList>

class QPrinter;
class QWidget;

namespace StampaReport {

// Shows the print dialog (through the platform layer) and prints the chosen pages.
// corrente: the page (0-based) that "current page" means; nomeStampante, when given, is
// the printer the dialog offers first (an unknown name leaves the default).
[[nodiscard]] TEsitoStampa Stampa(const TReport &report, QWidget *owner = nullptr, int corrente = 0,
                                  const QString &nomeStampante = QString());
// Shows a failed print's text as an error; true when the pages were printed.
bool Riferisci(const TEsitoStampa &esito, QWidget *owner = nullptr);
// Sets up a printer for one job titled `nome`: ours, full page, one copy, collated.
void PreparaStampante(QPrinter &stampante, const QString &nome);
// Prints the given pages (0-based, in order) on a printer already set up.
bool StampaSu(QPrinter &stampante, const TReport &report, const QList<int> &pagine);
// The pages (0-based) that the printer's range settings choose among n pages.
QList<int> PagineScelte(const QPrinter &stampante, int n, int corrente);

} // namespace StampaReport
