#include "cards/StampaTessere.h"

#include "cards/core/ImpostazioniStampa.h"
#include "cards/core/ModelloTesserini.h"
#include "platform/Piattaforma.h"
#include "report/core/Report.h"

#include <QCheckBox>
#include <QLabel>

TfrmStampaTessere::TfrmStampaTessere(QWidget *parent)
    : TFinestraStampa(parent, CreaTesserini(),
                      {"frmStampaTessere", QStringLiteral(" Stampa pi\u00F9 tessere su foglio A4"),
                       QSize(420, 330), "imgLogo01", QStringLiteral(":/cards9/stampa_foglio.svg"),
                       QStringLiteral("Stampa"), Azione::Stampa})
{
    chkSoloCompilate =
        AggiungiScelta("chkSoloCompilate", QStringLiteral("Stampa solo le tessere con un socio"),
                       ImpostazioniStampa::ChiaveSoloCompilate);
    chkAdatta =
        AggiungiScelta("chkAdatta", QStringLiteral("Riduci il carattere dei testi troppo lunghi"),
                       ImpostazioniStampa::ChiaveAdatta);
}

void TfrmStampaTessere::btnStampaClick()
{
    if (!ConfermaStampa(FinestraStampa::AvvisoTessere({m_tessere.begin(), m_tessere.end()},
                                                      chkAdatta->isChecked())))
        return;
    FinestraStampa::RicordaScelta(ImpostazioniStampa::ChiaveSoloCompilate, chkSoloCompilate, this);
    FinestraStampa::RicordaScelta(ImpostazioniStampa::ChiaveAdatta, chkAdatta, this);
    TFinestraStampa::btnStampaClick();
}

void TfrmStampaTessere::Riempi()
{
    // The offsets of the printer the print dialog offers first, as for the single card.
    TImpostazioniStampa imp = ImpostazioniStampa::Leggi(Piattaforma::CartellaProgramma(),
                                                        Piattaforma::StampantePredefinita());
    imp.Adatta = chkAdatta->isChecked();
    imp.SoloCompilate = chkSoloCompilate->isChecked();
    RiempiTesserini(*m_rep, m_tessere, imp);
}
