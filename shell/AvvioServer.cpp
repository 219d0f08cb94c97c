#include "shell/AvvioServer.h"

#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "platform/Portachiavi.h"
#include "shell/ArchivioServer.h"
#include "widgets/Tavolozza.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace {

using ConnessioneServer::Causa;
using ConnessioneServer::ErroreServer;

// Opens and closes a connection: the server is there and takes this password.
void Verifica(const TParametriServer &p, const QString &password)
{
    ArchivioServer::Prova(p, password);
}

bool PasswordDaChiedere(Causa c)
{
    return c == Causa::PasswordMancante || c == Causa::PasswordErrata;
}

// The password that reaches the server, or nothing with `errore` set (empty when the user
// cancelled the question).
std::optional<QString> Collega(const TParametriServer &p, QString &errore)
{
    QString password;
    const bool custodita = Portachiavi::Leggi(ConnessioneServer::ChiavePassword(p), password) ==
                           Portachiavi::Esito::Fatto;
    if (!custodita)
        password.clear(); // libpq looks in its own password file
    try {
        Verifica(p, password);
        return password;
    } catch (const ErroreServer &e) {
        if (!PasswordDaChiedere(e.causa())) {
            errore = e.testo();
            return std::nullopt;
        }
        // A stored password that no longer works is said once, before asking.
        if (custodita)
            Piattaforma::Avviso(e.testo());
    }
    for (;;) {
        TfrmPasswordServer d(p);
        if (Piattaforma::MostraModale(&d) != QDialog::Accepted)
            return std::nullopt;
        password = d.Password();
        try {
            Verifica(p, password);
            return password;
        } catch (const ErroreServer &e) {
            if (!PasswordDaChiedere(e.causa())) {
                errore = e.testo();
                return std::nullopt;
            }
            Piattaforma::Avviso(e.testo());
        }
    }
}

} // namespace

namespace AvvioServer {

bool Prepara()
{
    const QString cartella = Piattaforma::CartellaProgramma();
    if (!ConnessioneServer::ArchivioSulServer(cartella))
        return true;
    const TParametriServer p = ConnessioneServer::LeggiParametri(cartella);
    QString errore;
    if (p.certificatoCA.isEmpty()) {
        errore = ConnessioneServer::TestoCausa(Causa::CertificatoMancante, p);
    } else if (const std::optional<QString> password = Collega(p, errore)) {
        ConnessioneServer::Imposta(p, *password);
        return true;
    }
    if (!errore.isEmpty())
        Piattaforma::Errore(
            QStringLiteral("Attenzione: impossibile aprire l'archivio sul server.\n\n%1\n\nNella "
                           "finestra che segue si pu\u00F2 riprovare, correggere le impostazioni "
                           "o tornare all'archivio nella cartella del programma.")
                .arg(errore));
    TfrmArchivioServer schermata(nullptr, true);
    // Salva closes it only once the archive is ready: the folder, or the server connected.
    return Piattaforma::MostraModale(&schermata) == QDialog::Accepted;
}

} // namespace AvvioServer

TfrmPasswordServer::TfrmPasswordServer(const TParametriServer &p, QWidget *parent)
    : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmPasswordServer"));
    setWindowTitle(QStringLiteral(" Archivio sul server - Password"));
    setModal(true);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(20, 16, 20, 16);
    v->setSpacing(10);
    auto *testo = new QLabel(QStringLiteral("Password dell'utente \"%1\" per l'archivio sul "
                                            "server \"%2\" (database \"%3\"):")
                                 .arg(p.utente, p.server, p.database),
                             this);
    testo->setObjectName(QStringLiteral("lblServer"));
    testo->setWordWrap(true);
    testo->setMinimumWidth(380);
    testo->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    v->addWidget(testo);
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    v->addWidget(txtPassword);
    auto *pulsanti = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("cmdAnnulla"));
    annulla->setAutoDefault(false);
    for (QPushButton *b : {ok, annulla})
        b->setMinimumWidth(110);
    pulsanti->addStretch(1);
    pulsanti->addWidget(ok);
    pulsanti->addWidget(annulla);
    v->addLayout(pulsanti);
    connect(ok, &QPushButton::clicked, this, &TfrmPasswordServer::cmdOKClick);
    connect(annulla, &QPushButton::clicked, this, &TfrmPasswordServer::cmdAnnullaClick);
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

QString TfrmPasswordServer::Password() const
{
    return txtPassword->text();
}

void TfrmPasswordServer::cmdOKClick()
{
    accept();
}

void TfrmPasswordServer::cmdAnnullaClick()
{
    reject();
}
