#include "checks/Iban.h"

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
const QColor Acciaio(0x46, 0x82, 0xB4);
constexpr int Lunghezza = 27;
} // namespace

TfrmIban::TfrmIban(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa) {
    setObjectName(QStringLiteral("frmIban"));
    setWindowTitle(QStringLiteral(" Controllo IBAN"));
    FormCreate();
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmIban::FormCreate() {
    TApplicazione::ImpostaLingua();
    c = Strumento::Costruisci(
        this, QStringLiteral(":/checks/iban.svg"),
        QStringLiteral("Immettere l'IBAN e premere il pulsante di controllo."),
        QStringLiteral("txtIban"), Lunghezza, Acciaio);
    Strumento::LimitaDigitazione(c.campo, Lunghezza);
    c.campo->installEventFilter(this);
    connect(c.campo, &QLineEdit::textChanged, this, &TfrmIban::txtIbanTyping);
    connect(c.btnControlla, &QPushButton::clicked, this, &TfrmIban::btnControllaClick);
    connect(c.btnChiudi, &QPushButton::clicked, this, &TfrmIban::btnChiudiClick);
}

void TfrmIban::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmIban::paintEvent(QPaintEvent *) {
    Strumento::DisegnaSfondo(this, Acciaio);
}

void TfrmIban::FormShow() {
    c.campo->setFocus(Qt::OtherFocusReason);
}

bool TfrmIban::eventFilter(QObject *o, QEvent *e) {
    if (o == c.campo) {
        if (e->type() == QEvent::KeyPress)
            return txtIbanKeyDown(static_cast<QKeyEvent *>(e));
        if (e->type() == QEvent::KeyRelease)
            txtIbanKeyUp(static_cast<QKeyEvent *>(e));
    }
    return QDialog::eventFilter(o, e);
}

bool TfrmIban::txtIbanKeyDown(QKeyEvent *e) {
    // No key is filtered: only Enter moves on to "Controlla".
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)
        return false;
    c.btnControlla->setFocus(Qt::OtherFocusReason);
    return true;
}

void TfrmIban::txtIbanKeyUp(QKeyEvent *) {
    txtIbanTyping();
}

void TfrmIban::txtIbanTyping() {
    Strumento::Normalizza(c.campo, true);
}

void TfrmIban::btnControllaClick() {
    const QString iban = Testo::Trim32(c.campo->text());
    if (iban.size() != Lunghezza) {
        // Blanks inside the text count towards the 27.
        Piattaforma::Avviso(
            QStringLiteral("Attenzione: l'IBAN deve essere composto da 27 caratteri alfanumerici."),
            this);
        c.campo->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (ControllaIban(iban))
        Piattaforma::Informazione(QStringLiteral("L'IBAN digitato \u00E8 VALIDO."), this);
    else
        Piattaforma::Avviso(QStringLiteral("Attenzione: l'IBAN digitato \u00E8 ERRATO!"), this);
    accept();
}

void TfrmIban::btnChiudiClick() {
    reject();
}
