#include "cards/AnteprimaTessera.h"

#include "cards/ModelloTessera.h"
#include "cards/Segnaposto.h"
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
    : QDialog(parent), m_rep(CreaTesserino(VarianteTessera::Anteprima)) {
    setObjectName(QStringLiteral("frmAnteprimaTessera"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    setFixedSize(348, 310);

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
    connect(btnStampa, &QPushButton::clicked, this, &TfrmAnteprimaTessera::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmAnteprimaTessera::btnAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

TfrmAnteprimaTessera::~TfrmAnteprimaTessera() = default;

void TfrmAnteprimaTessera::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}

void TfrmAnteprimaTessera::paintEvent(QPaintEvent *) {
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x46, 0x82, 0xB4));
    g.setColorAt(1, Qt::white);
    p.fillRect(rect(), g);
}

void TfrmAnteprimaTessera::btnStampaClick() {
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        m_rep->Pages(1).SetOrientation(poPortrait);
        QWidget *tessera = parentWidget();
        if (!qobject_cast<TfrmTessera *>(tessera))
            tessera = Schermate::frmTessera;
        RiempiTessera(*m_rep, DatiTesseraDa(tessera));
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

void TfrmAnteprimaTessera::btnAnnullaClick() {
    reject();
}
