#include "mail/Posta.h"

#include "archive/Errori.h"
#include "mail/DialogoPosta.h"
#include "mail/ModelloAvviso.h"
#include "mail/core/Messaggio.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "platform/Portachiavi.h"
#include "storage/Deposito.h"
#include "widgets/Sottofondo.h"
#include "widgets/Tavolozza.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <memory>

namespace {
const QString ChiavePassword = QStringLiteral("Posta Elettronica");
const QString TestoInChiaro = QStringLiteral(
    "Nessun archivio delle password risponde: la password \u00E8 conservata, solo offuscata, "
    "nel file delle impostazioni, leggibile soltanto da questo utente, ed \u00E8 quindi "
    "protetta solo quanto l'account del computer. Per custodirla nell'archivio delle "
    "password installare un servizio Secret Service, come gnome-keyring o KWallet.");
const QString TestoPortachiavi =
    QStringLiteral("La password \u00E8 custodita nell'archivio delle password del desktop.");

// Sends one message on a thread of its own while the window keeps answering; the screen
// shows the result at once, so it waits here with user input held back.
TClienteSmtp::Esito InviaUno(const TImpostazioniPosta &p, const QString &a,
                             const QByteArray &messaggio)
{
    auto esito = std::make_shared<TClienteSmtp::Esito>();
    QEventLoop ciclo;
    Sottofondo::Esegui(
        [esito, p, a, messaggio] {
            try {
                TClienteSmtp cliente(p);
                *esito = cliente.Invia(a, messaggio);
            } catch (const ErroreFile &e) {
                esito->tipo = TClienteSmtp::Esito::Interrotto;
                esito->messaggio = e.testo();
            }
        },
        &ciclo, [&ciclo] { ciclo.quit(); });
    ciclo.exec(QEventLoop::ExcludeUserInputEvents);
    return *esito;
}
} // namespace

TfrmPosta::TfrmPosta(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    QVBoxLayout *v = DialogoPosta::Cornice(
        this, QStringLiteral("frmPosta"), QStringLiteral(" Posta elettronica"),
        QStringLiteral("Server di posta per gli avvisi di rinnovo"));

    auto *g = new QGridLayout;
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(8);
    v->addLayout(g);
    int riga = 0;
    const auto casella = [&](QLineEdit *&e, const char *nome, const QString &etichetta) {
        e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(nome));
        e->setMinimumWidth(280);
        g->addWidget(new QLabel(etichetta, this), riga, 0);
        g->addWidget(e, riga++, 1);
    };
    casella(txtServer, "txtServer", QStringLiteral("Server:"));
    casella(txtPorta, "txtPorta", QStringLiteral("Porta:"));
    txtPorta->setValidator(new QIntValidator(1, 65535, txtPorta));
    cboSicurezza = new QComboBox(this);
    cboSicurezza->setObjectName(QStringLiteral("cboSicurezza"));
    cboSicurezza->addItems(
        {QStringLiteral("SSL/TLS"), QStringLiteral("STARTTLS"), QStringLiteral("Nessuna")});
    g->addWidget(new QLabel(QStringLiteral("Sicurezza:"), this), riga, 0);
    g->addWidget(cboSicurezza, riga++, 1);
    casella(txtUtente, "txtUtente", QStringLiteral("Nome utente:"));
    casella(txtPassword, "txtPassword", QStringLiteral("Password:"));
    txtPassword->setEchoMode(QLineEdit::Password);
    casella(txtMittente, "txtMittente", QStringLiteral("Indirizzo del mittente:"));
    casella(txtNomeMittente, "txtNomeMittente", QStringLiteral("Nome del mittente:"));
    casella(txtGiorni, "txtGiorni", QStringLiteral("Non ripetere l'avviso per giorni:"));
    txtGiorni->setValidator(new QIntValidator(0, 3650, txtGiorni));
    casella(txtFileCA, "txtFileCA", QStringLiteral("Certificato dell'autorit\u00E0 (CA):"));
    txtFileCA->setToolTip(QStringLiteral("Facoltativo: un file PEM con il certificato "
                                         "dell'autorit\u00E0 che ha firmato quello del "
                                         "server, se non \u00E8 tra quelle del sistema."));
    cmdFileCA = new QPushButton(QStringLiteral("Sfoglia\u2026"), this);
    cmdFileCA->setObjectName(QStringLiteral("cmdFileCA"));
    cmdFileCA->setAutoDefault(false);
    g->addWidget(cmdFileCA, riga - 1, 2);
    chkAutenticazioneInChiaro = new QCheckBox(
        QStringLiteral("Invia utente e password senza cifratura (solo su una rete fidata)"), this);
    chkAutenticazioneInChiaro->setObjectName(QStringLiteral("chkAutenticazioneInChiaro"));
    g->addWidget(chkAutenticazioneInChiaro, riga++, 1, 1, 2);
    g->setColumnStretch(1, 1);

    lblPortachiavi = new QLabel(this);
    lblPortachiavi->setObjectName(QStringLiteral("lblPortachiavi"));
    lblPortachiavi->setWordWrap(true);
    lblPortachiavi->setStyleSheet(Tavolozza::Stile(Tavolozza::Granata));
    v->addWidget(lblPortachiavi);
    v->addStretch(1);

    auto *pulsanti = new QHBoxLayout;
    cmdProva = new QPushButton(QStringLiteral("Invia prova"), this);
    cmdProva->setObjectName(QStringLiteral("cmdProva"));
    cmdModello = new QPushButton(QStringLiteral("Testo dell'avviso\u2026"), this);
    cmdModello->setObjectName(QStringLiteral("cmdModello"));
    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    pulsanti->addWidget(cmdProva);
    pulsanti->addWidget(cmdModello);
    pulsanti->addStretch(1);
    DialogoPosta::Pulsanti({cmdProva, cmdModello, cmdSalva, cmdChiudi});
    pulsanti->addWidget(cmdSalva);
    pulsanti->addWidget(cmdChiudi);
    v->addLayout(pulsanti);

    connect(cmdProva, &QPushButton::clicked, this, &TfrmPosta::cmdProvaClick);
    connect(cmdModello, &QPushButton::clicked, this, &TfrmPosta::cmdModelloClick);
    connect(cmdSalva, &QPushButton::clicked, this, &TfrmPosta::cmdSalvaClick);
    connect(cmdChiudi, &QPushButton::clicked, this, &TfrmPosta::cmdChiudiClick);
    connect(cmdFileCA, &QPushButton::clicked, this, &TfrmPosta::cmdFileCAClick);
    connect(cboSicurezza, &QComboBox::currentIndexChanged, this, &TfrmPosta::cboSicurezzaChange);

    // Sized to its contents and fixed.
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmPosta::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Proprietario);
        FormShow();
    }
}

namespace {
// The settings as this desk's archive keeps them: the folder's Quorvel.ini, or shared on
// the server. Unreadable, they count as not given (the password stays the desk's).
TImpostazioniPosta Salvate(const QString &cartella)
{
    try {
        return ApriDeposito(cartella)->LeggiImpostazioniPosta();
    } catch (const ErroreFile &) {
        TImpostazioniPosta p;
        p.password = TImpostazioniPosta::PasswordSalvata(cartella);
        return p;
    }
}
} // namespace

TImpostazioniPosta TfrmPosta::ImpostazioniSalvate()
{
    TImpostazioniPosta p = Salvate(Piattaforma::CartellaProgramma());
    QString segreto;
    if (Portachiavi::Leggi(ChiavePassword, segreto) == Portachiavi::Esito::Fatto)
        p.password = segreto;
    return p;
}

void TfrmPosta::FormShow()
{
    const QString cartella = Piattaforma::CartellaProgramma();
    const TImpostazioniPosta p = Salvate(cartella);
    const QSignalBlocker blocco(cboSicurezza);
    txtServer->setText(p.server);
    cboSicurezza->setCurrentText(TestoSicurezza(p.sicurezza));
    txtPorta->setText(QString::number(p.porta));
    txtUtente->setText(p.utente);
    txtMittente->setText(p.mittente);
    txtNomeMittente->setText(p.nomeMittente);
    txtGiorni->setText(QString::number(p.giorni));
    txtFileCA->setText(p.fileCA);
    chkAutenticazioneInChiaro->setChecked(p.autenticazioneInChiaro);
    chkAutenticazioneInChiaro->setEnabled(p.sicurezza == Sicurezza::Nessuna);
    QString segreto;
    const Portachiavi::Esito letto = Portachiavi::Leggi(ChiavePassword, segreto);
    txtPassword->setText(letto == Portachiavi::Esito::Fatto ? segreto : p.password);
    MostraPortachiavi(letto != Portachiavi::Esito::NonDisponibile);
    txtServer->setFocus(Qt::OtherFocusReason);
}

void TfrmPosta::MostraPortachiavi(bool disponibile)
{
    lblPortachiavi->setText(disponibile ? TestoPortachiavi : TestoInChiaro);
    lblPortachiavi->setStyleSheet(
        Tavolozza::Stile(disponibile ? Tavolozza::Blu : Tavolozza::Granata));
}

void TfrmPosta::cmdFileCAClick()
{
    const QString f = Piattaforma::ApriFile(
        this, QStringLiteral("Certificato dell'autorit\u00E0 del server di posta"),
        {QStringLiteral("Certificati PEM (*.pem *.crt)"), QStringLiteral("Tutti i file (*)")});
    if (!f.isEmpty())
        txtFileCA->setText(f);
}

void TfrmPosta::cboSicurezzaChange()
{
    // Clear text is a choice only where the connection is not encrypted.
    chkAutenticazioneInChiaro->setEnabled(SicurezzaDaTesto(cboSicurezza->currentText()) ==
                                          Sicurezza::Nessuna);
    // A port left at a usual value follows the kind of security chosen.
    const int porta = txtPorta->text().toInt();
    if (txtPorta->text().isEmpty() || porta == 465 || porta == 587 || porta == 25)
        txtPorta->setText(
            QString::number(PortaPredefinita(SicurezzaDaTesto(cboSicurezza->currentText()))));
}

bool TfrmPosta::Leggi(TImpostazioniPosta &p)
{
    const auto errore = [this](QLineEdit *e, const QString &testo) {
        Piattaforma::Avviso(testo, this);
        e->setFocus(Qt::OtherFocusReason);
        return false;
    };
    p = Salvate(Piattaforma::CartellaProgramma());
    p.server = txtServer->text().trimmed();
    if (p.server.isEmpty())
        return errore(txtServer, QStringLiteral("Attenzione: indicare il server di posta."));
    bool ok = false;
    p.porta = txtPorta->text().trimmed().toInt(&ok);
    if (!ok || p.porta < 1 || p.porta > 65535)
        return errore(txtPorta,
                      QStringLiteral("Attenzione: indicare una porta compresa tra 1 e 65535."));
    p.sicurezza = SicurezzaDaTesto(cboSicurezza->currentText());
    p.utente = txtUtente->text().trimmed();
    p.password = txtPassword->text();
    p.mittente = txtMittente->text().trimmed();
    if (!PostaElettronica::IndirizzoValido(p.mittente))
        return errore(txtMittente, QStringLiteral("Attenzione: indicare un indirizzo e-mail "
                                                  "del mittente valido."));
    p.nomeMittente = txtNomeMittente->text().trimmed();
    p.giorni = txtGiorni->text().trimmed().toInt(&ok);
    if (!ok || p.giorni < 0)
        return errore(txtGiorni, QStringLiteral("Attenzione: indicare il numero di giorni entro "
                                                "i quali non ripetere l'avviso."));
    p.fileCA = txtFileCA->text().trimmed();
    p.autenticazioneInChiaro =
        p.sicurezza == Sicurezza::Nessuna && chkAutenticazioneInChiaro->isChecked();
    return true;
}

void TfrmPosta::cmdSalvaClick()
{
    TImpostazioniPosta p;
    if (!Leggi(p))
        return;
    const QString cartella = Piattaforma::CartellaProgramma();
    try {
        ApriDeposito(cartella)->ScriviImpostazioniPosta(p);
        const Portachiavi::Esito e = p.password.isEmpty()
                                         ? Portachiavi::Cancella(ChiavePassword)
                                         : Portachiavi::Scrivi(ChiavePassword, p.password);
        const bool inChiaro = e == Portachiavi::Esito::NonDisponibile && !p.password.isEmpty();
        // The scrambled copy stays only where no secret store holds the password.
        TImpostazioniPosta::SalvaPasswordInChiaro(cartella, inChiaro ? p.password : QString());
        MostraPortachiavi(e != Portachiavi::Esito::NonDisponibile);
    } catch (const ErroreFile &) {
        Piattaforma::Errore(
            QStringLiteral("Impossibile salvare le impostazioni di posta elettronica."), this);
        return;
    }
    Piattaforma::Informazione(QStringLiteral("Impostazioni di posta elettronica salvate."), this);
}

void TfrmPosta::cmdProvaClick()
{
    TImpostazioniPosta p;
    if (!Leggi(p))
        return;
    PostaElettronica::TMessaggio m;
    m.nomeMittente = p.nomeMittente;
    m.mittente = p.mittente;
    m.nomeDestinatario = p.nomeMittente;
    m.destinatario = p.mittente;
    m.oggetto = QStringLiteral("Messaggio di prova");
    m.corpo = QStringLiteral("Messaggio di prova: le impostazioni di posta elettronica per gli "
                             "avvisi di rinnovo funzionano.");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cmdProva->setEnabled(false);
    const TClienteSmtp::Esito e =
        InviaUno(p, p.mittente,
                 PostaElettronica::Componi(m, QDateTime(Piattaforma::Oggi(), Piattaforma::Ora())));
    cmdProva->setEnabled(true);
    QApplication::restoreOverrideCursor();
    switch (e.tipo) {
    case TClienteSmtp::Esito::Inviato:
        // Nothing to confirm or cancel: OK alone.
        Piattaforma::Messaggio(
            QStringLiteral("Messaggio di prova inviato a %1: controllare che sia arrivato.")
                .arg(p.mittente),
            this);
        break;
    case TClienteSmtp::Esito::Rifiutato:
        Piattaforma::Errore(
            QStringLiteral("Il server di posta ha rifiutato il messaggio di prova: %1")
                .arg(e.risposta),
            this);
        break;
    case TClienteSmtp::Esito::Interrotto:
        Piattaforma::Errore(e.messaggio, this);
        break;
    }
}

void TfrmPosta::cmdModelloClick()
{
    TfrmModelloAvviso modello(this);
    Piattaforma::MostraModale(&modello);
}

void TfrmPosta::cmdChiudiClick()
{
    reject();
}
