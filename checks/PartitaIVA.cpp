#include "checks/PartitaIVA.h"

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
constexpr int Lunghezza = 11;
} // namespace

TfrmPartitaIva::TfrmPartitaIva(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa) {
    setObjectName(QStringLiteral("frmPartitaIva"));
    setWindowTitle(QStringLiteral(" Controllo partita IVA"));
    FormCreate();
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmPartitaIva::FormCreate() {
    TApplicazione::ImpostaLingua();
    c = Strumento::Costruisci(
        this, QStringLiteral(":/checks/partitaiva.svg"),
        QStringLiteral("Immettere il numero di partita IVA e premere il pulsante di controllo."),
        QStringLiteral("txtPartitaIva"), Lunghezza, Acciaio);
    Strumento::LimitaDigitazione(c.campo, Lunghezza);
    Strumento::SoloCifre(c.campo);
    c.campo->installEventFilter(this);
    connect(c.btnControlla, &QPushButton::clicked, this, &TfrmPartitaIva::btnControllaClick);
    connect(c.btnChiudi, &QPushButton::clicked, this, &TfrmPartitaIva::btnChiudiClick);
}

void TfrmPartitaIva::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmPartitaIva::paintEvent(QPaintEvent *) {
    Strumento::DisegnaSfondo(this, Acciaio);
}

void TfrmPartitaIva::FormShow() {
    c.campo->setFocus(Qt::OtherFocusReason);
}

bool TfrmPartitaIva::eventFilter(QObject *o, QEvent *e) {
    if (o == c.campo && e->type() == QEvent::KeyPress)
        return txtPartitaIvaKeyDown(static_cast<QKeyEvent *>(e));
    return QDialog::eventFilter(o, e);
}

bool TfrmPartitaIva::txtPartitaIvaKeyDown(QKeyEvent *e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        c.btnControlla->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return !Strumento::TastoAmmesso(e);
}

void TfrmPartitaIva::btnControllaClick() {
    const QString numero = Testo::MaiuscoleAZ(c.campo->text());
    if (numero.size() != Lunghezza) {
        Piattaforma::Avviso(QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 "
                                           "caratteri numerici."),
                            this);
        c.campo->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (ControllaPartitaIva(numero)) {
        // Digits 8 to 10 name the issuing office.
        Piattaforma::Informazione(
            QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                           "E' stato rilasciato dall'Ufficio IVA del Comune di ") +
                UfficioIva(numero.mid(7, 3)) + u'.',
            this);
    } else {
        Piattaforma::Avviso(
            QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\n"
                           "Non \u00E8 quindi possibile fornire informazioni relative "
                           "all'Ufficio IVA che lo ha rilasciato."),
            this);
    }
    accept();
}

void TfrmPartitaIva::btnChiudiClick() {
    reject();
}
