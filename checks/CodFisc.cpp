#include "checks/CodFisc.h"

#include "archive/Testo.h"
#include "checks/ControlliCodici.h"
#include "platform/Applicazione.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {
const QColor Verde(0x2E, 0x8B, 0x57);
constexpr int Lunghezza = 16;
} // namespace

TfrmCodFisc::TfrmCodFisc(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa) {
    setObjectName(QStringLiteral("frmCodFisc"));
    setWindowTitle(QStringLiteral(" Controllo codice fiscale"));
    FormCreate();
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmCodFisc::FormCreate() {
    TApplicazione::ImpostaLingua();
    c = Strumento::Costruisci(
        this, QStringLiteral(":/checks/codfisc.svg"),
        QStringLiteral("Immettere il codice fiscale e premere il pulsante di controllo."),
        QStringLiteral("txtCodFisc"), Lunghezza, Verde);
    Strumento::LimitaDigitazione(c.campo, Lunghezza);
    c.campo->installEventFilter(this);
    connect(c.campo, &QLineEdit::textChanged, this, &TfrmCodFisc::txtCodFiscTyping);
    connect(c.btnControlla, &QPushButton::clicked, this, &TfrmCodFisc::btnControllaClick);
    connect(c.btnChiudi, &QPushButton::clicked, this, &TfrmCodFisc::btnChiudiClick);
}

void TfrmCodFisc::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmCodFisc::paintEvent(QPaintEvent *) {
    Strumento::DisegnaSfondo(this, Verde);
}

void TfrmCodFisc::FormShow() {
    c.campo->setFocus(Qt::OtherFocusReason);
}

bool TfrmCodFisc::eventFilter(QObject *o, QEvent *e) {
    if (o == c.campo) {
        if (e->type() == QEvent::KeyPress)
            return txtCodFiscKeyDown(static_cast<QKeyEvent *>(e));
        if (e->type() == QEvent::KeyRelease)
            txtCodFiscKeyUp(static_cast<QKeyEvent *>(e));
    }
    return QDialog::eventFilter(o, e);
}

bool TfrmCodFisc::txtCodFiscKeyDown(QKeyEvent *e) {
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)
        return false;
    c.btnControlla->setFocus(Qt::OtherFocusReason);
    return true;
}

void TfrmCodFisc::txtCodFiscKeyUp(QKeyEvent *) {
    txtCodFiscTyping();
}

void TfrmCodFisc::txtCodFiscTyping() {
    Strumento::Normalizza(c.campo, true);
}

void TfrmCodFisc::btnControllaClick() {
    const QString codice = Testo::MaiuscoleAZ(c.campo->text());
    if (codice.size() != Lunghezza) {
        Piattaforma::Avviso(QStringLiteral("Attenzione: il codice fiscale deve essere composto da "
                                           "16 caratteri alfanumerici."),
                            this);
        c.campo->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (ControllaCodFisc(codice))
        Piattaforma::Informazione(QStringLiteral("Il codice fiscale digitato \u00E8 VALIDO."),
                                  this);
    else
        Piattaforma::Avviso(QStringLiteral("Attenzione: il codice fiscale digitato \u00E8 ERRATO."),
                            this);
    accept();
}

void TfrmCodFisc::btnChiudiClick() {
    reject();
}
