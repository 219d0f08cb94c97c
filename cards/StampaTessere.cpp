#include "cards/StampaTessere.h"

#include "cards/ModelloTesserini.h"
#include "cards/Segnaposto.h"
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

// Prints the prepared sheet through the print dialog. Cancelling, or having no printer,
// prints nothing and is no failure; a printer that then fails throws, so the failure
// is reported instead of passing for a print.
void Stampa(const TReport &report, QWidget *owner)
{
    const int n = report.PreparedCount();
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(report.ReportOptions.Name);
    stampante.setCreator(QStringLiteral("Quorvel"));
    stampante.setFullPage(true);
    stampante.setCopyCount(1);
    stampante.setCollateCopies(true);
    stampante.setPageLayout(Pittore::LayoutPagina(report.PreparedPages().front()));
    if (!Piattaforma::DialogoStampa(stampante, owner, n))
        return;
    const QList<int> pagine = StampaReport::PagineScelte(stampante, n, 0);
    if (pagine.isEmpty())
        return;
    if (!StampaReport::StampaSu(stampante, report, pagine))
        throw ErroreReport(
            QStringLiteral("Printing of \"%1\" failed").arg(report.ReportOptions.Name));
}

} // namespace

TfrmStampaTessere::TfrmStampaTessere(QWidget *parent) : QDialog(parent), m_rep(CreaTesserini())
{
    setObjectName(QStringLiteral("frmStampaTessere"));
    setWindowTitle(QStringLiteral(" Stampa pi\u00F9 tessere su foglio A4"));
    setFixedSize(420, 330);

    imgLogo01 = new TImmagine(this);
    imgLogo01->setObjectName(QStringLiteral("imgLogo01"));
    imgLogo01->setGeometry(14, 14, 392, 230);
    imgLogo01->SetPicture(Segnaposto::DaSvg(QStringLiteral(":/cards9/stampa_foglio.svg"),
                                            QSize(392, 230), Qt::transparent));

    lblAttendere = new QLabel(QStringLiteral("Elaborazione in corso. Attendere..."), this);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setGeometry(14, 250, 392, 24);
    lblAttendere->setAlignment(Qt::AlignCenter);
    QFont fa = lblAttendere->font();
    fa.setItalic(true);
    fa.setBold(true);
    lblAttendere->setFont(fa);
    lblAttendere->setStyleSheet(QStringLiteral("color: #DC143C;"));
    lblAttendere->hide();

    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->setGeometry(14, 284, 140, 32);
    btnAnnulla->setAutoDefault(false);
    btnStampa = new QPushButton(QStringLiteral("Stampa"), this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    btnStampa->setGeometry(266, 284, 140, 32);
    btnStampa->setAutoDefault(false);

    connect(btnStampa, &QPushButton::pressed, lblAttendere, &QLabel::show);
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
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x46, 0x82, 0xB4));
    g.setColorAt(1, Qt::white);
    p.fillRect(rect(), g);
}

void TfrmStampaTessere::btnStampaClick()
{
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        RiempiTesserini(*m_rep, DatiTessereDa(SchermataTessere(parentWidget())));
        if (!m_rep->PrepareReport(true))
            return; // the errors are shown; the screen stays open
        Stampa(*m_rep, this);
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
