#include "shell/ArchivioServer.h"

#include "archive/Errori.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "platform/Portachiavi.h"
#include "widgets/Sottofondo.h"
#include "widgets/Tavolozza.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <exception>
#include <memory>

namespace ArchivioServer {

ConnessioneServer::TEsitoProva Prova(const TParametriServer &p, const QString &password)
{
    struct Risultato {
        ConnessioneServer::TEsitoProva esito;
        std::exception_ptr errore;
    };
    auto r = std::make_shared<Risultato>();
    QEventLoop ciclo;
    Sottofondo::Esegui(
        [r, p, password] {
            try {
                r->esito = ConnessioneServer::Prova(p, password);
            } catch (...) {
                r->errore = std::current_exception();
            }
        },
        &ciclo, [&ciclo] { ciclo.quit(); });
    ciclo.exec(QEventLoop::ExcludeUserInputEvents);
    if (r->errore)
        std::rethrow_exception(r->errore);
    return r->esito;
}

} // namespace ArchivioServer

TfrmArchivioServer::TfrmArchivioServer(QWidget *parent, bool avvio)
    : QDialog(parent, Finestra::FlagsFissa), m_avvio(avvio)
{
    setObjectName(QStringLiteral("frmArchivioServer"));
    setWindowTitle(QStringLiteral(" Archivio"));
    setModal(true);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(20, 16, 20, 16);
    v->setSpacing(10);
    auto *titolo = new QLabel(QStringLiteral("Dove si trova l'archivio dei tesserati"), this);
    titolo->setObjectName(QStringLiteral("lblTitolo"));
    QFont f = titolo->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    titolo->setFont(f);
    titolo->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    v->addWidget(titolo);

    optCartella = new QRadioButton(
        QStringLiteral("Nella cartella del programma (una sola postazione)"), this);
    optCartella->setObjectName(QStringLiteral("optCartella"));
    optServer = new QRadioButton(
        QStringLiteral("Su un server PostgreSQL condiviso da pi\u00F9 postazioni"), this);
    optServer->setObjectName(QStringLiteral("optServer"));
    v->addWidget(optCartella);
    v->addWidget(optServer);

    auto *g = new QGridLayout;
    g->setContentsMargins(24, 0, 0, 0);
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(8);
    v->addLayout(g);
    int riga = 0;
    const auto casella = [&](QLineEdit *&e, const char *nome, const QString &etichetta) {
        e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(nome));
        e->setMinimumWidth(320);
        auto *l = new QLabel(etichetta, this);
        l->setBuddy(e);
        g->addWidget(l, riga, 0);
        g->addWidget(e, riga++, 1);
    };
    casella(txtServer, "txtServer", QStringLiteral("Server:"));
    txtServer->setToolTip(
        QStringLiteral("Il nome del server come \u00E8 scritto nel suo certificato."));
    casella(txtPorta, "txtPorta", QStringLiteral("Porta:"));
    txtPorta->setValidator(new QIntValidator(1, 65535, txtPorta));
    casella(txtDatabase, "txtDatabase", QStringLiteral("Database:"));
    casella(txtUtente, "txtUtente", QStringLiteral("Nome utente:"));
    casella(txtPassword, "txtPassword", QStringLiteral("Password:"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setToolTip(QStringLiteral(
        "Custodita nell'archivio delle password del desktop, mai nel file delle impostazioni. "
        "Vuota: si usa il file delle password di PostgreSQL (~/.pgpass) o la si chiede a "
        "ogni avvio."));
    casella(txtCertificato, "txtCertificato",
            QStringLiteral("Certificato dell'autorit\u00E0 (CA):"));
    txtCertificato->setToolTip(
        QStringLiteral("Il file PEM dell'autorit\u00E0 che ha firmato il certificato del server."));
    cmdSfogliaCertificato = new QPushButton(QStringLiteral("Sfoglia\u2026"), this);
    cmdSfogliaCertificato->setObjectName(QStringLiteral("cmdSfogliaCertificato"));
    cmdSfogliaCertificato->setAutoDefault(false);
    g->addWidget(cmdSfogliaCertificato, riga - 1, 2);
    g->setColumnStretch(1, 1);

    lblEsito = new QLabel(this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    lblEsito->setWordWrap(true);
    lblEsito->setMinimumHeight(48);
    lblEsito->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblEsito->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(lblEsito);
    ArchivioServer::CreaTrasferimento(this, v, cmdTrasferisci, prgTrasferimento, m_avanzamento);
    v->addStretch(1);

    auto *pulsanti = new QHBoxLayout;
    cmdProva = new QPushButton(QStringLiteral("Prova collegamento"), this);
    cmdProva->setObjectName(QStringLiteral("cmdProva"));
    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(avvio ? QStringLiteral("Esci") : QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    for (QPushButton *b : {cmdProva, cmdSalva, cmdAnnulla}) {
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
    }
    pulsanti->addWidget(cmdProva);
    pulsanti->addStretch(1);
    pulsanti->addWidget(cmdSalva);
    pulsanti->addWidget(cmdAnnulla);
    v->addLayout(pulsanti);

    connect(optCartella, &QRadioButton::toggled, this, &TfrmArchivioServer::optCambia);
    connect(optServer, &QRadioButton::toggled, this, &TfrmArchivioServer::optCambia);
    connect(cmdSfogliaCertificato, &QPushButton::clicked, this,
            &TfrmArchivioServer::cmdSfogliaCertificatoClick);
    connect(cmdProva, &QPushButton::clicked, this, &TfrmArchivioServer::cmdProvaClick);
    connect(cmdSalva, &QPushButton::clicked, this, &TfrmArchivioServer::cmdSalvaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmArchivioServer::cmdAnnullaClick);
    connect(cmdTrasferisci, &QPushButton::clicked, this, &TfrmArchivioServer::cmdTrasferisciClick);

    optCartella->setChecked(true);
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmArchivioServer::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Proprietario);
        FormShow();
    }
}

void TfrmArchivioServer::FormShow()
{
    const QString cartella = Piattaforma::CartellaProgramma();
    const TParametriServer p = ConnessioneServer::LeggiParametri(cartella);
    (ConnessioneServer::ArchivioSulServer(cartella) ? optServer : optCartella)->setChecked(true);
    txtServer->setText(p.server);
    txtPorta->setText(QString::number(p.porta));
    txtDatabase->setText(p.database);
    txtUtente->setText(p.utente);
    txtCertificato->setText(p.certificatoCA);
    QString segreto;
    txtPassword->setText(!p.utente.isEmpty() && !p.server.isEmpty() &&
                                 Portachiavi::Leggi(ConnessioneServer::ChiavePassword(p),
                                                    segreto) == Portachiavi::Esito::Fatto
                             ? segreto
                             : QString());
    lblEsito->clear();
    optCambia();
}

void TfrmArchivioServer::optCambia()
{
    // The server's settings count only for the server.
    const bool server = optServer->isChecked();
    if (!server)
        cmdTrasferisci->hide();
    for (QWidget *w :
         std::initializer_list<QWidget *>{txtServer, txtPorta, txtDatabase, txtUtente, txtPassword,
                                          txtCertificato, cmdSfogliaCertificato, cmdProva})
        w->setEnabled(server);
}

void TfrmArchivioServer::cmdSfogliaCertificatoClick()
{
    const QString f = Piattaforma::ApriFile(
        this, QStringLiteral("Certificato dell'autorit\u00E0 del server dell'archivio"),
        {QStringLiteral("Certificati PEM (*.pem *.crt)"), QStringLiteral("Tutti i file (*)")});
    if (!f.isEmpty())
        txtCertificato->setText(f);
}

bool TfrmArchivioServer::Leggi(TParametriServer &p)
{
    const auto errore = [this](QLineEdit *e, const QString &testo) {
        Piattaforma::Avviso(testo, this);
        e->setFocus(Qt::OtherFocusReason);
        return false;
    };
    p.server = txtServer->text().trimmed();
    if (p.server.isEmpty())
        return errore(txtServer,
                      QStringLiteral("Attenzione: indicare il nome del server dell'archivio."));
    bool ok = false;
    p.porta = txtPorta->text().trimmed().toInt(&ok);
    if (!ok || p.porta < 1 || p.porta > 65535)
        return errore(txtPorta,
                      QStringLiteral("Attenzione: indicare una porta compresa tra 1 e 65535."));
    p.database = txtDatabase->text().trimmed();
    if (p.database.isEmpty())
        return errore(txtDatabase, QStringLiteral("Attenzione: indicare il nome del database."));
    p.utente = txtUtente->text().trimmed();
    if (p.utente.isEmpty())
        return errore(txtUtente, QStringLiteral("Attenzione: indicare il nome utente."));
    p.certificatoCA = txtCertificato->text().trimmed();
    if (p.certificatoCA.isEmpty())
        return errore(txtCertificato,
                      QStringLiteral("Attenzione: indicare il file del certificato "
                                     "dell'autorit\u00E0 (CA) del server: senza, il "
                                     "collegamento non sarebbe protetto."));
    return true;
}

void TfrmArchivioServer::cmdProvaClick()
{
    TParametriServer p;
    if (!Leggi(p))
        return;
    try {
        const ConnessioneServer::TEsitoProva esito = ArchivioServer::Prova(p, txtPassword->text());
        const QString testo = ConnessioneServer::TestoEsito(esito);
        lblEsito->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
        lblEsito->setText(testo);
        Piattaforma::Informazione(testo, this);
        OffriTrasferimento(esito.schede);
    } catch (const ErroreFile &e) {
        lblEsito->setStyleSheet(Tavolozza::Stile(Tavolozza::Granata));
        lblEsito->setText(e.testo());
        Piattaforma::Errore(e.testo(), this);
    }
}

void TfrmArchivioServer::cmdSalvaClick()
{
    const QString cartella = Piattaforma::CartellaProgramma();
    if (optCartella->isChecked()) {
        // Back to the folder: the server's settings stay written for a later return.
        TParametriServer p = ConnessioneServer::LeggiParametri(cartella);
        p.server = txtServer->text().trimmed();
        p.porta =
            txtPorta->text().trimmed().toInt() > 0 ? txtPorta->text().trimmed().toInt() : p.porta;
        p.database = txtDatabase->text().trimmed();
        p.utente = txtUtente->text().trimmed();
        p.certificatoCA = txtCertificato->text().trimmed();
        try {
            ConnessioneServer::ScriviParametri(cartella, p, false);
        } catch (const ErroreFile &) {
            Piattaforma::Errore(
                QStringLiteral("Impossibile salvare le impostazioni dell'archivio."), this);
            return;
        }
        ConnessioneServer::Dimentica();
        if (!m_avvio)
            Piattaforma::Informazione(
                QStringLiteral("Impostazioni dell'archivio salvate: l'archivio \u00E8 nella "
                               "cartella del programma."),
                this);
        accept();
        return;
    }
    TParametriServer p;
    if (!Leggi(p))
        return;
    const QString password = txtPassword->text();
    // Only settings that reach the archive are kept.
    try {
        lblEsito->setText(ConnessioneServer::TestoEsito(ArchivioServer::Prova(p, password)));
        lblEsito->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    } catch (const ErroreFile &e) {
        lblEsito->setStyleSheet(Tavolozza::Stile(Tavolozza::Granata));
        lblEsito->setText(e.testo());
        Piattaforma::Errore(QStringLiteral("Attenzione: impossibile collegarsi all'archivio sul "
                                           "server; le impostazioni non sono state "
                                           "salvate.\n\n") +
                                e.testo(),
                            this);
        return;
    }
    try {
        ConnessioneServer::ScriviParametri(cartella, p, true);
    } catch (const ErroreFile &) {
        Piattaforma::Errore(QStringLiteral("Impossibile salvare le impostazioni dell'archivio."),
                            this);
        return;
    }
    const QString chiave = ConnessioneServer::ChiavePassword(p);
    const Portachiavi::Esito custodita =
        password.isEmpty() ? Portachiavi::Cancella(chiave) : Portachiavi::Scrivi(chiave, password);
    const bool chiesta = !password.isEmpty() && custodita == Portachiavi::Esito::NonDisponibile;
    ConnessioneServer::Imposta(p, password);
    const QString nota = QStringLiteral(
        "Nessun archivio delle password risponde: la password non \u00E8 stata salvata e "
        "sar\u00E0 chiesta a ogni avvio. Per custodirla installare un servizio Secret "
        "Service, come gnome-keyring o KWallet.");
    if (!m_avvio)
        Piattaforma::Informazione(QStringLiteral("Impostazioni dell'archivio salvate: "
                                                 "l'archivio \u00E8 sul server \"%1\".")
                                          .arg(p.server) +
                                      (chiesta ? QStringLiteral("\n\n") + nota : QString()),
                                  this);
    else if (chiesta)
        Piattaforma::Informazione(nota, this);
    accept();
}

void TfrmArchivioServer::cmdAnnullaClick()
{
    reject();
}
