#include "cards/AnteprimaTessera.h"

#include "cards/FinestraStampa.h"
#include "cards/ModelloTessera.h"
#include "cards/Tessera.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Controlli.h"
#include "shell/Schermate.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

TfrmAnteprimaTessera::TfrmAnteprimaTessera(QWidget *parent)
    : QDialog(parent, Finestra::FlagsFissa), m_rep(CreaTesserino(VarianteTessera::Anteprima))
{
    setObjectName(QStringLiteral("frmAnteprimaTessera"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    setFixedSize(348, 330);

    const auto c =
        FinestraStampa::Costruisci(this, "imgStampante", QStringLiteral(":/cards/stampante.svg"),
                                   QStringLiteral("Mostra anteprima"));
    imgStampante = c.immagine;
    lblAttendere = c.lblAttendere;
    btnAnnulla = c.btnAnnulla;
    btnStampa = c.btnStampa;
    connect(btnStampa, &QPushButton::clicked, this, &TfrmAnteprimaTessera::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmAnteprimaTessera::btnAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

TfrmAnteprimaTessera::~TfrmAnteprimaTessera() = default;

void TfrmAnteprimaTessera::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}

void TfrmAnteprimaTessera::paintEvent(QPaintEvent *)
{
    FinestraStampa::DisegnaSfumatura(this);
}

void TfrmAnteprimaTessera::btnStampaClick()
{
    const bool mostrata = FinestraStampa::Anteprima(*m_rep, this, lblAttendere, [this] {
        m_rep->Pages(1).SetOrientation(poPortrait);
        QWidget *tessera = parentWidget();
        if (!qobject_cast<TfrmTessera *>(tessera))
            tessera = Schermate::frmTessera;
        RiempiTessera(*m_rep, DatiTesseraDa(tessera));
    });
    if (mostrata)
        accept();
}

void TfrmAnteprimaTessera::btnAnnullaClick()
{
    reject();
}
