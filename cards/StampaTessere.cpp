#include "cards/StampaTessere.h"

#include "cards/ModelloTesserini.h"
#include "report/Report.h"

TfrmStampaTessere::TfrmStampaTessere(QWidget *parent)
    : TFinestraStampa(parent, CreaTesserini(),
                      {"frmStampaTessere", QStringLiteral(" Stampa pi\u00F9 tessere su foglio A4"),
                       QSize(420, 330), "imgLogo01", QStringLiteral(":/cards9/stampa_foglio.svg"),
                       QStringLiteral("Stampa"), Azione::Stampa})
{
}

void TfrmStampaTessere::Riempi()
{
    RiempiTesserini(*m_rep, m_tessere);
}
