#include "cards/AnteprimaTessere.h"

#include "cards/ModelloTesserini.h"
#include "cards/Segnaposto.h"
#include "cards/Tessere.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "shell/Controlli.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

TfrmAnteprimaTessere::TfrmAnteprimaTessere(QWidget *parent)
    : QDialog(parent), m_rep(CreaTesserini())
{
    setObjectName(QStringLiteral("frmAnteprimaTessere"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    setFixedSize(348, 310);
    // The preview window of the sheet is captioned with the program's name.
    m_rep->ReportOptions.Name = QStringLiteral("Quorvel");

    imgStampante = new TImmagine(this);
    imgStampante->setObjectName(QStringLiteral("imgStampante"));
    imgStampante->setGeometry(14, 14, 320, 230);
    imgStampante->SetPicture(Segnaposto::DaSvg(QStringLiteral(":/cards/stampante.svg"),
                                               QSize(320, 230), Qt::transparent));

    lblAttendere = new QLabel(QStringLiteral("Elaborazione in corso. Attendere..."), this);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setGeometry(14, 244, 320, 22);
    lblAttendere->setAlignment(Qt::AlignCenter);
    QFont fa = lblAttendere->font();
    fa.setItalic(true);
    fa.setBold(true);
    lblAttendere->setFont(fa);
    lblAttendere->setStyleSheet(QStringLiteral("color: #DC143C;"));
    lblAttendere->hide();

    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->setGeometry(14, 268, 120, 32);
    btnAnnulla->setAutoDefault(false);
    btnStampa = new QPushButton(QStringLiteral("Mostra anteprima"), this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    btnStampa->setGeometry(174, 268, 160, 32);
    btnStampa->setAutoDefault(false);

    connect(btnStampa, &QPushButton::pressed, lblAttendere, &QLabel::show);
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
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x46, 0x82, 0xB4));
    g.setColorAt(1, Qt::white);
    p.fillRect(rect(), g);
}

void TfrmAnteprimaTessere::btnStampaClick()
{
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        RiempiTesserini(*m_rep, DatiTessereDa(SchermataTessere(parentWidget())));
        const bool pronto = m_rep->PrepareReport(true);
        lblAttendere->hide();
        if (!pronto)
            return;
        m_rep->ShowReport(true, this);
    } catch (const std::exception &e) {
        // No message of its own: the general error report, and the screen stays open.
        Piattaforma::ErroreGenerale(QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

void TfrmAnteprimaTessere::btnAnnullaClick()
{
    reject();
}
