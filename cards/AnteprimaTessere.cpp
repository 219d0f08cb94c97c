#include "cards/AnteprimaTessere.h"

#include "cards/core/ImpostazioniStampa.h"
#include "cards/core/ModelloTesserini.h"
#include "platform/Piattaforma.h"
#include "report/core/Report.h"

TfrmAnteprimaTessere::TfrmAnteprimaTessere(QWidget *parent)
    : TFinestraStampa(parent, CreaTesserini(),
                      {"frmAnteprimaTessere", QStringLiteral(" Anteprima di stampa"),
                       QSize(348, 330), "imgStampante", QStringLiteral(":/cards/stampante.svg"),
                       QStringLiteral("Mostra anteprima"), Azione::Anteprima})
{
    // The preview window of the sheet is captioned with the program's name.
    m_rep->ReportOptions.Name = QStringLiteral("Quorvel");
}

void TfrmAnteprimaTessere::Riempi()
{
    // The sheet as the print screen prints it, with the choices it last printed with: the
    // preview's print button prints this same sheet.
    RiempiTesserini(*m_rep, m_tessere,
                    ImpostazioniStampa::Leggi(Piattaforma::CartellaProgramma(),
                                              Piattaforma::StampantePredefinita()));
}
