#include "checks/Carta.h"

#include "archive/Testo.h"
#include "checks/ControlliCodici.h"
#include "platform/Applicazione.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <array>

namespace {
const QColor Blu(0x1B, 0x2F, 0x5E);
constexpr int Lunghezza = 30;

const QString Errato = QStringLiteral(
    "Attenzione: il numero digitato risulta ERRATO!\r\n\r\n"
    "Non \u00E8 quindi possibile fornire informazioni relative al tipo di carta di credito.");

// Kinds of the cards whose number begins with 3, by their first two characters.
struct Gruppo {
    std::array<const char *, 3> inizi;
    const char *tipo;
};
const std::array<Gruppo, 3> Gruppi3 = {{
    {{"30", "36", "38"}, "Diner's Club / Carte Blanche"},
    {{"34", "37", nullptr}, "American Express"},
    {{"31", "33", "35"}, "JCB"},
}};

QString TipoDa3(const QString &testo) {
    const QString inizio = testo.left(2);
    for (const Gruppo &g : Gruppi3)
        for (const char *i : g.inizi)
            if (i && inizio == QLatin1String(i))
                return QString::fromLatin1(g.tipo);
    return QString();
}
} // namespace

TfrmCarta::TfrmCarta(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa) {
    setObjectName(QStringLiteral("frmCarta"));
    setWindowTitle(QStringLiteral(" Controllo carta di credito"));
    FormCreate();
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmCarta::FormCreate() {
    TApplicazione::ImpostaLingua();
    c = Strumento::Costruisci(this, QStringLiteral(":/checks/carta.svg"),
                              QStringLiteral("Immettere il numero di carta di credito e premere il "
                                             "pulsante di controllo."),
                              QStringLiteral("txtNumero"), Lunghezza, Blu);
    Strumento::LimitaDigitazione(c.campo, Lunghezza);
    Strumento::SoloCifre(c.campo);
    c.campo->installEventFilter(this);
    connect(c.campo, &QLineEdit::textChanged, this, &TfrmCarta::txtNumeroTyping);
    connect(c.btnControlla, &QPushButton::clicked, this, &TfrmCarta::btnControllaClick);
    connect(c.btnChiudi, &QPushButton::clicked, this, &TfrmCarta::btnChiudiClick);
}

void TfrmCarta::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmCarta::paintEvent(QPaintEvent *) {
    Strumento::DisegnaSfondo(this, Blu);
}

void TfrmCarta::FormShow() {
    c.campo->setFocus(Qt::OtherFocusReason);
}

bool TfrmCarta::eventFilter(QObject *o, QEvent *e) {
    if (o == c.campo && e->type() == QEvent::KeyPress)
        return txtNumeroKeyDown(static_cast<QKeyEvent *>(e));
    return QDialog::eventFilter(o, e);
}

bool TfrmCarta::txtNumeroKeyDown(QKeyEvent *e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        c.btnControlla->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return !Strumento::TastoAmmesso(e);
}

void TfrmCarta::txtNumeroTyping() {
    Strumento::Normalizza(c.campo, true);
}

void TfrmCarta::btnControllaClick() {
    const QString testo = Testo::Trim32(c.campo->text());
    if (testo.isEmpty()) {
        Piattaforma::Avviso(QStringLiteral("Attenzione: immettere il numero di carta di credito "
                                           "prima di premere il pulsante di controllo."),
                            this);
        c.campo->setFocus(Qt::OtherFocusReason);
        return;
    }
    QString tipo;
    switch (TipoCarta(c.campo->text())) {
    case 1:
        tipo = TipoDa3(testo);
        break; // empty when no group matches
    case 2:
        tipo = QStringLiteral("Visa");
        break;
    case 3:
        tipo = QStringLiteral("MasterCard");
        break;
    case 4:
        tipo = QStringLiteral("Discover");
        break;
    default:
        if (MasterCardSerie2(c.campo->text()))
            tipo = QStringLiteral("MasterCard");
        break;
    }
    if (tipo.isEmpty())
        Piattaforma::Avviso(Errato, this);
    else
        Piattaforma::Informazione(QStringLiteral("Il numero di carta di credito ") + testo +
                                      QStringLiteral(" risulta valido.\r\n\r\n"
                                                     "La carta di credito \u00E8 del tipo ") +
                                      tipo + u'.',
                                  this);
    accept();
}

void TfrmCarta::btnChiudiClick() {
    reject();
}
