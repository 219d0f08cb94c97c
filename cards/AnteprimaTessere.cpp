#include "cards/AnteprimaTessere.h"

#include "cards/FinestraStampa.h"
#include "cards/ModelloTesserini.h"
#include "cards/Tessere.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Controlli.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

TfrmAnteprimaTessere::TfrmAnteprimaTessere(QWidget *parent)
    : QDialog(parent, Finestra::FlagsFissa), m_rep(CreaTesserini())
{
    setObjectName(QStringLiteral("frmAnteprimaTessere"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    setFixedSize(348, 330);
    // The preview window of the sheet is captioned with the program's name.
    m_rep->ReportOptions.Name = QStringLiteral("Quorvel");

    const auto c =
        FinestraStampa::Costruisci(this, "imgStampante", QStringLiteral(":/cards/stampante.svg"),
                                   QStringLiteral("Mostra anteprima"));
    imgStampante = c.immagine;
    lblAttendere = c.lblAttendere;
    btnAnnulla = c.btnAnnulla;
    btnStampa = c.btnStampa;
    connect(btnStampa, &QPushButton::clicked, this, &TfrmAnteprimaTessere::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmAnteprimaTessere::btnAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

TfrmAnteprimaTessere::~TfrmAnteprimaTessere() = default;

void TfrmAnteprimaTessere::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}

void TfrmAnteprimaTessere::paintEvent(QPaintEvent *)
{
    FinestraStampa::DisegnaSfumatura(this);
}

void TfrmAnteprimaTessere::btnStampaClick()
{
    const bool mostrata = FinestraStampa::Anteprima(*m_rep, this, lblAttendere, [this] {
        RiempiTesserini(*m_rep, DatiTessereDa(SchermataTessere(parentWidget())));
    });
    if (mostrata)
        accept();
}

void TfrmAnteprimaTessere::btnAnnullaClick()
{
    reject();
}
