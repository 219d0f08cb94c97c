#include "report/Anteprima.h"
#include "report/Report.h"
#include "report/Stampa.h"

#include "platform/Piattaforma.h"

bool TReport::PrepareReport(bool)
{
    return Componi(Piattaforma::Oggi());
}

bool TReport::ShowReport(bool, QWidget *)
{
    return PrepareReport(true);
}

bool TReport::Print(QWidget *owner)
{
    return StampaReport::Stampa(*this, owner, 0);
}
