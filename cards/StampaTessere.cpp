#include "cards/StampaTessere.h"

#include "cards/FinestraStampa.h"
#include "cards/ModelloTesserini.h"
#include "cards/Tessere.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/Pittore.h"
#include "report/Stampa.h"
#include "shell/Controlli.h"

#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>

namespace {

} // namespace

TfrmStampaTessere::TfrmStampaTessere(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa), m_rep(CreaTesserini())
{
    setObjectName(QStringLiteral("frmStampaTessere"));
    setWindowTitle(QStringLiteral(" Stampa pi\u00F9 tessere su foglio A4"));
    setFixedSize(420, 330);

    const auto c = FinestraStampa::Costruisci(
        this, "imgLogo01", QStringLiteral(":/cards9/stampa_foglio.svg"), QStringLiteral("Stampa"));
    imgLogo01 = c.immagine;
    lblAttendere = c.lblAttendere;
    btnAnnulla = c.btnAnnulla;
    btnStampa = c.btnStampa;
    connect(btnStampa, &QPushButton::clicked, this, &TfrmStampaTessere::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmStampaTessere::btnAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

TfrmStampaTessere::~TfrmStampaTessere() = default;

void TfrmStampaTessere::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}

void TfrmStampaTessere::paintEvent(QPaintEvent *)
{
    FinestraStampa::DisegnaSfumatura(this);
}

void TfrmStampaTessere::btnStampaClick()
{
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        RiempiTesserini(*m_rep, DatiTessereDa(SchermataTessere(parentWidget())));
        if (!m_rep->PrepareReport(true))
            return; // the errors are shown; the screen stays open
        FinestraStampa::Stampa(*m_rep, this);
    } catch (const std::exception &e) {
        // No message of its own: the general error report, and the screen stays open
        // with its wait label, for Annulla to close.
        Piattaforma::ErroreGenerale(QString::fromUtf8(e.what()));
        return;
    }
    lblAttendere->hide();
    accept();
}

void TfrmStampaTessere::btnAnnullaClick()
{
    reject();
}
