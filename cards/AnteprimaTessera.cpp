#include "cards/AnteprimaTessera.h"

#include "cards/core/ImpostazioniStampa.h"
#include "platform/Piattaforma.h"
#include "report/core/Report.h"

TfrmAnteprimaTessera::TfrmAnteprimaTessera(QWidget *parent)
    : TFinestraStampa(parent, CreaTesserino(VarianteTessera::Anteprima),
                      {"frmAnteprimaTessera", QStringLiteral(" Anteprima di stampa"),
                       QSize(348, 330), "imgStampante", QStringLiteral(":/cards/stampante.svg"),
                       QStringLiteral("Mostra anteprima"), Azione::Anteprima})
{
}

void TfrmAnteprimaTessera::Riempi()
{
    m_rep->Pages(1).SetOrientation(poPortrait);
    // Long names as the print screen last printed them: shrunk or cut.
    RiempiTessera(*m_rep, m_tessera, QString(),
                  ImpostazioniStampa::LeggiScelta(Piattaforma::CartellaProgramma(),
                                                  ImpostazioniStampa::ChiaveAdatta));
}
