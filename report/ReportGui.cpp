// The operations of a report that need the platform layer: today's date, messages,
// the modal preview window and the print dialog.
#include "report/Anteprima.h"
#include "report/Report.h"
#include "report/Stampa.h"

#include "platform/Piattaforma.h"

#include <memory>

bool TReport::PrepareReport(bool ClearLastReport) {
    if (ClearLastReport)
        ClearPreparedPages();
    QStringList errori;
    if (Componi(Piattaforma::Oggi(), &errori))
        return true;
    Piattaforma::Errore(QStringLiteral("The following error(s) have occured:\n") +
                        errori.join(QLatin1Char('\n')));
    return false;
}

bool TReport::ShowReport(bool ClearLastReport, QWidget *owner) {
    if (!PrepareReport(ClearLastReport))
        return false;
    auto finestra = std::make_unique<TfrmAnteprimaReport>(*this, owner);
    Piattaforma::MostraModale(finestra.get());
    return true;
}

TEsitoStampa TReport::Print(QWidget *owner) {
    // Printing what was never prepared prints the template as it stands.
    if (PreparedCount() == 0 && !PrepareReport(true))
        return {TEsitoStampa::Tipo::Annullato, QString()}; // the errors are shown
    return StampaReport::Stampa(*this, owner, 0);
}
