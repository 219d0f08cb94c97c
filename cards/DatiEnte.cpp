#include "cards/DatiEnte.h"

#include "archive/Testo.h"
#include "cards/Segnaposto.h"
#include "cards/core/ModelloTessera.h"
#include "cards/core/RetroTessera.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

const QString kDomandaOpzioni = QStringLiteral(
    "Attenzione: le opzioni del codice QR e del retro delle tessere sono state modificate da "
    "un'altra postazione, dopo che questa schermata è stata aperta.\r\n\r\nSalvare comunque "
    "le modifiche di questa postazione? Sì: le modifiche dell'altra postazione andranno perse. "
    "No: restano quelle dell'altra postazione.");
constexpr int kLarghezza = 760;
constexpr int kAltezza = 614;

QFrame *Pannello(QWidget *parent, const QRect &r)
{
    auto *f = new QFrame(parent);
    f->setGeometry(r);
    f->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("background-color: @Blu; border-radius: 6px;")));
    return f;
}
} // namespace

TfrmDatiEnte::TfrmDatiEnte(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmDatiEnte"));
    setWindowTitle(QStringLiteral(" Dati Ente o Associazione"));
    setFixedSize(kLarghezza, kAltezza);

    lblIstruzioni = new QLabel(QStringLiteral("Inserire i dati e fare clic su Applica e chiudi per "
                                              "salvare le modifiche."),
                               this);
    lblIstruzioni->setObjectName(QStringLiteral("lblIstruzioni"));
    lblIstruzioni->setGeometry(20, 14, kLarghezza - 40, 24);
    QFont fi = lblIstruzioni->font();
    fi.setPointSize(10);
    fi.setBold(true);
    lblIstruzioni->setFont(fi);
    lblIstruzioni->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Blu;")));

    imgFoto = new TImmagine(this);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setGeometry(20, 50, 157, 174);
    Segnaposto::MostraRitratto(imgFoto);
    imgFoto->setStyleSheet(Tavolozza::Colora(QStringLiteral("border: 1px solid @Blu;")));

    // The name and the two subtitles on one navy panel, the note line on a second one.
    const int x = 196, w = kLarghezza - x - 20;
    Pannello(this, QRect(x, 50, w, 174));
    Pannello(this, QRect(x, 236, w, 54));

    QFont fc(QStringLiteral("Verdana"), 12);
    fc.setBold(true);
    struct Riga {
        QLineEdit *&campo;
        const char *nome;
        const char *evidenza;
        int y;
    };
    const Riga righe[] = {
        {txtAssociazione, "txtAssociazione", "effAssociazione", 66},
        {txtSottotitolo01, "txtSottotitolo01", "effSottotitolo01", 118},
        {txtSottotitolo02, "txtSottotitolo02", "effSottotitolo02", 170},
        {txtAnnotazioni, "txtAnnotazioni", "effAnnotazioni", 248},
    };
    for (const Riga &r : righe) {
        auto *eff = new QFrame(this);
        eff->setObjectName(QString::fromLatin1(r.evidenza));
        eff->setGeometry(x + 10, r.y - 4, w - 20, 38);
        eff->setStyleSheet(
            Tavolozza::Colora(QStringLiteral("background-color: @Oro; border-radius: 3px;")));
        r.campo = new QLineEdit(this);
        r.campo->setObjectName(QString::fromLatin1(r.nome));
        r.campo->setGeometry(x + 14, r.y, w - 28, 30);
        r.campo->setFont(fc);
        Comportamenti::Evidenza(r.campo, eff);
        Comportamenti::UnaRiga(r.campo);
    }
    // Enter moves along a ring: name, first subtitle, second subtitle, note line.
    Comportamenti::Invio(txtAssociazione, txtSottotitolo01);
    Comportamenti::Invio(txtSottotitolo01, txtSottotitolo02);
    Comportamenti::Invio(txtSottotitolo02, txtAnnotazioni);
    Comportamenti::Invio(txtAnnotazioni, txtAssociazione);

    CostruisciOpzioni(x, w);

    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->setGeometry(kLarghezza - 20 - 162 - 12 - 150, kAltezza - 46, 150, 32);
    btnAnnulla->setAutoDefault(false);
    btnApplica = new QPushButton(QStringLiteral("Applica e chiudi"), this);
    btnApplica->setObjectName(QStringLiteral("btnApplica"));
    btnApplica->setGeometry(kLarghezza - 20 - 162, kAltezza - 46, 162, 32);
    btnApplica->setAutoDefault(false);

    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    connect(btnApplica, &QPushButton::clicked, this, &TfrmDatiEnte::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmDatiEnte::btnAnnullaClick);

    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

// The QR code and the back: what the cards carry besides the four texts, read from the
// settings file here and written back by "Applica e chiudi".
void TfrmDatiEnte::CostruisciOpzioni(int x, int w)
{
    QFont fc = font();
    fc.setBold(true);
    auto spunta = [&](const char *nome, const QString &testo, int y) {
        auto *c = new QCheckBox(testo, this);
        c->setObjectName(QString::fromLatin1(nome));
        c->setGeometry(x, y, w, 24);
        c->setFont(fc);
        c->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
        return c;
    };
    chkQR = spunta("chkQR", QStringLiteral("Codice QR sulla tessera"), 300);
    chkQR->setGeometry(x, 300, w / 2, 24);
    // "codice di verifica": card number, expiry and signature instead of the text below.
    chkVerificaQR = spunta("chkVerificaQR", QStringLiteral("Codice di verifica"), 300);
    chkVerificaQR->setGeometry(x + w / 2, 300, w - w / 2, 24);
    chkVerificaQR->setToolTip(QStringLiteral(
        "Il codice QR porta numero di tessera, scadenza e una firma che il controllo "
        "ingressi verifica: una tessera copiata con la scadenza cambiata risulta contraffatta."));
    txtQR = new QLineEdit(this);
    txtQR->setObjectName(QStringLiteral("txtQR"));
    txtQR->setGeometry(x, 326, w, 28);
    lblSegnapostoQR = new QLabel(QStringLiteral("Segnaposto: ") + SegnapostoQR().join(u' '), this);
    lblSegnapostoQR->setObjectName(QStringLiteral("lblSegnapostoQR"));
    lblSegnapostoQR->setGeometry(x, 356, w, 20);
    lblSegnapostoQR->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));

    chkRetro = spunta("chkRetro", QStringLiteral("Stampa il retro"), 386);
    txtRetro = new QPlainTextEdit(this);
    txtRetro->setObjectName(QStringLiteral("txtRetro"));
    txtRetro->setGeometry(x, 412, w, 150);
    txtRetro->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtRetro->setTabChangesFocus(true);
    // At most eight lines: the back holds no more.
    connect(txtRetro, &QPlainTextEdit::textChanged, this, [this] {
        if (txtRetro->blockCount() <= RetroTessera::RigheMassime)
            return;
        QStringList righe = txtRetro->toPlainText().split(u'\n');
        righe.erase(righe.begin() + RetroTessera::RigheMassime, righe.end());
        const QSignalBlocker blocco(txtRetro);
        txtRetro->setPlainText(righe.join(u'\n'));
        txtRetro->moveCursor(QTextCursor::End);
    });

    const TOpzioniTessera o = ApriDeposito(Piattaforma::CartellaProgramma())->LeggiOpzioniTessera();
    chkQR->setChecked(o.CodiceQR);
    txtQR->setText(o.TestoQR);
    chkVerificaQR->setChecked(o.Verifica);
    txtQR->setEnabled(!o.Verifica);
    connect(chkVerificaQR, &QCheckBox::toggled, txtQR, [this](bool v) { txtQR->setEnabled(!v); });
    chkRetro->setChecked(o.Retro);
    txtRetro->setPlainText(o.TestoRetro);
    m_opzioniLette = o;
    m_opzioniMostrate = OpzioniMostrate();
}

TOpzioniTessera TfrmDatiEnte::OpzioniMostrate() const
{
    return {chkQR->isChecked(), txtQR->text(), chkRetro->isChecked(), txtRetro->toPlainText(),
            chkVerificaQR->isChecked()};
}

void TfrmDatiEnte::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
    txtAssociazione->setFocus(Qt::OtherFocusReason);
}

void TfrmDatiEnte::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor::fromRgb(Tavolozza::Acciaio));
    g.setColorAt(1, Qt::white);
    p.fillRect(rect(), g);
}

void TfrmDatiEnte::Imposta(const QString &modo, const TDatiEnte &dati)
{
    lblMemory->setText(modo);
    txtAssociazione->setText(dati.Denominazione);
    txtSottotitolo01->setText(dati.Sottotitolo1);
    txtSottotitolo02->setText(dati.Sottotitolo2);
    txtAnnotazioni->setText(dati.Annotazioni);
}

TDatiEnte TfrmDatiEnte::Dati() const
{
    return {Testo::Trim32(txtAssociazione->text()), Testo::Trim32(txtSottotitolo01->text()),
            Testo::Trim32(txtSottotitolo02->text()), Testo::Trim32(txtAnnotazioni->text())};
}

void TfrmDatiEnte::btnApplicaClick()
{
    // Texts go back only to the single-card screen, the one opener that expects them.
    if (Testo::Trim32(lblMemory->text()) == QLatin1String("tessera")) {
        // A word in braces that is no placeholder would be printed as it stands.
        const QStringList sconosciuti = SegnapostoSconosciuti(txtQR->text());
        if (chkQR->isChecked() && !sconosciuti.isEmpty()) {
            Piattaforma::Avviso(
                QStringLiteral("Attenzione: il testo del codice QR contiene segnaposto "
                               "sconosciuti: %1.\n\nSulla tessera sarebbero stampati così come "
                               "sono scritti. I segnaposto disponibili sono: %2.")
                    .arg(sconosciuti.join(QStringLiteral(", ")),
                         SegnapostoQR().join(QStringLiteral(", "))),
                this);
            txtQR->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (auto *ricevente = dynamic_cast<TRiceventeDatiEnte *>(parentWidget()))
            ricevente->RiceviDatiEnte(Dati());
        // A file that cannot be written reaches the general error report; the screen stays.
        // Only the options changed here are written, each where no other desk changed it
        // meanwhile; when one did, the user chooses whose stays.
        const TOpzioniTessera mostrate = OpzioniMostrate();
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        TOpzioniTessera lette = m_opzioniLette;
        for (;;) {
            TOpzioniTessera volute = lette;
            if (mostrate.CodiceQR != m_opzioniMostrate.CodiceQR)
                volute.CodiceQR = mostrate.CodiceQR;
            if (mostrate.TestoQR != m_opzioniMostrate.TestoQR)
                volute.TestoQR = mostrate.TestoQR;
            if (mostrate.Verifica != m_opzioniMostrate.Verifica)
                volute.Verifica = mostrate.Verifica;
            if (mostrate.Retro != m_opzioniMostrate.Retro)
                volute.Retro = mostrate.Retro;
            if (mostrate.TestoRetro != m_opzioniMostrate.TestoRetro)
                volute.TestoRetro = mostrate.TestoRetro;
            if (deposito->ScriviOpzioniTesseraSeInvariate(lette, volute) ||
                !Piattaforma::Domanda(kDomandaOpzioni, this))
                break;
            lette = deposito->LeggiOpzioniTessera();
        }
    }
    accept();
}

void TfrmDatiEnte::btnAnnullaClick()
{
    reject();
}
