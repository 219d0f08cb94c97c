#include "report/ReportGui.h"

#include "platform/Piattaforma.h"
#include "report/Anteprima.h"
#include "report/Stampa.h"
#include "report/core/Report.h"

#include <memory>

namespace ReportGui {

bool PrepareReport(TReport &report, bool ClearLastReport)
{
    if (ClearLastReport)
        report.ClearPreparedPages();
    QStringList errori;
    if (report.Componi(Piattaforma::Oggi(), &errori))
        return true;
    Piattaforma::Errore(QStringLiteral("The following error(s) have occured:\n") +
                        errori.join(QLatin1Char('\n')));
    return false;
}

bool ShowReport(TReport &report, bool ClearLastReport, QWidget *owner)
{
    if (!PrepareReport(report, ClearLastReport))
        return false;
    auto finestra = std::make_unique<TfrmAnteprimaReport>(report, owner);
    Piattaforma::MostraModale(finestra.get());
    return true;
}

TEsitoStampa Print(TReport &report, QWidget *owner)
{
    // Printing what was never prepared prints the template as it stands.
    if (report.PreparedCount() == 0 && !PrepareReport(report, true))
        return {TEsitoStampa::Tipo::Annullato, QString()}; // the errors are shown
    return StampaReport::Stampa(report, owner, 0);
}

} // namespace ReportGui
