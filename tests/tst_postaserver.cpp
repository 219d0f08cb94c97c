// The e-mail settings on both backends, through the mail settings screen: on the folder
// they stay in its Quorvel.ini; on a server every desk shares them, any volunteer may fix
// them, and the password and the CA file stay on the desk that typed them.
#include "support/ServerProva.h"
#include "support/Supporto.h"

#include "archive/Impostazioni.h"
#include "mail/Posta.h"
#include "storage/ConnessioneServer.h"
#include "storage/Deposito.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString Sezione = QStringLiteral("Posta Elettronica");
const QString PasswordPosta = QStringLiteral("segreta-posta");

// The desk of `env` works on database `db` as `utente` (no responsible role).
void Sportello(const Ambiente &env, const QString &db, const QString &utente)
{
    const QString password = QStringLiteral("pw-") + utente;
    ServerProva::CreaUtente(utente, password, false);
    const TParametriServer p = ServerProva::Parametri(db, utente);
    ConnessioneServer::ScriviParametri(env.cartella(), p, true);
    ConnessioneServer::Imposta(p, password);
}

QString Testo(QWidget *w, const char *nome)
{
    return Controllo<QLineEdit>(w, nome)->text();
}

} // namespace

class TestPostaServer : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ConnessioneServer::Dimentica(); }
    void condivise_data();
    void condivise();
};

void TestPostaServer::condivise_data()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("cartella") << false;
    QTest::newRow("server") << true;
}

// Saved on one desk, shown on the next: on the server another desk (another login, with
// no responsible role either) finds them, but not the password nor the CA file.
void TestPostaServer::condivise()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    const QString db = server ? ServerProva::NuovoDatabase() : QString();
    Ambiente primo;
    if (server)
        Sportello(primo, db, QStringLiteral("postaserver_aldo"));
    {
        TfrmPosta w;
        w.show();
        Controllo<QLineEdit>(&w, "txtServer")->setText(QStringLiteral("posta.circolo.it"));
        Controllo<QComboBox>(&w, "cboSicurezza")->setCurrentText(QStringLiteral("STARTTLS"));
        Controllo<QLineEdit>(&w, "txtUtente")->setText(QStringLiteral("soci"));
        Controllo<QLineEdit>(&w, "txtPassword")->setText(PasswordPosta);
        Controllo<QLineEdit>(&w, "txtMittente")->setText(QStringLiteral("soci@circolo.it"));
        Controllo<QLineEdit>(&w, "txtNomeMittente")->setText(QStringLiteral("Circolo Nord"));
        Controllo<QLineEdit>(&w, "txtGiorni")->setText(QStringLiteral("12"));
        Controllo<QLineEdit>(&w, "txtFileCA")->setText(QStringLiteral("/etc/ssl/circolo.pem"));
        Clic(&w, "cmdSalva");
        QCOMPARE(primo->UltimoMessaggio(),
                 QStringLiteral("Impostazioni di posta elettronica salvate."));
    }
    // The desk's own file keeps the CA file (and, with no secret store, the scrambled
    // password); on a server, nothing else of the section.
    const TFileIni ini(primo.Percorso("Quorvel.ini"));
    QCOMPARE(ini.Leggi(Sezione, QStringLiteral("FileCA")), QStringLiteral("/etc/ssl/circolo.pem"));
    QCOMPARE(ini.Leggi(Sezione, QStringLiteral("Server")),
             server ? QString() : QStringLiteral("posta.circolo.it"));

    std::optional<Ambiente> secondo;
    if (server) {
        secondo.emplace();
        Sportello(*secondo, db, QStringLiteral("postaserver_bice"));
    }
    TfrmPosta w;
    w.show();
    QCOMPARE(Testo(&w, "txtServer"), QStringLiteral("posta.circolo.it"));
    QCOMPARE(Controllo<QComboBox>(&w, "cboSicurezza")->currentText(), QStringLiteral("STARTTLS"));
    QCOMPARE(Testo(&w, "txtPorta"), QStringLiteral("587"));
    QCOMPARE(Testo(&w, "txtUtente"), QStringLiteral("soci"));
    QCOMPARE(Testo(&w, "txtMittente"), QStringLiteral("soci@circolo.it"));
    QCOMPARE(Testo(&w, "txtNomeMittente"), QStringLiteral("Circolo Nord"));
    QCOMPARE(Testo(&w, "txtGiorni"), QStringLiteral("12"));
    QCOMPARE(Testo(&w, "txtFileCA"), server ? QString() : QStringLiteral("/etc/ssl/circolo.pem"));
    QCOMPARE(Testo(&w, "txtPassword"), server ? QString() : PasswordPosta);
    if (!server)
        return;
    // The password never reached the server, as typed or scrambled; the section holds the
    // shared keys alone.
    QVERIFY(ServerProva::Amministra(
        db,
        QStringLiteral("SELECT 1 / (count(*) = 8 AND count(*) FILTER (WHERE chiave IN "
                       "('Password', 'FileCA') OR valore LIKE '%segreta%' OR valore = $x$%1$x$) "
                       "= 0)::int FROM quorvel.impostazioni")
            .arg(ini.Leggi(Sezione, QStringLiteral("Password")))));
    // The second desk fixes the sender; the first one sees it.
    Controllo<QLineEdit>(&w, "txtMittente")->setText(QStringLiteral("tessere@circolo.it"));
    Clic(&w, "cmdSalva");
    QCOMPARE((*secondo)->UltimoMessaggio(),
             QStringLiteral("Impostazioni di posta elettronica salvate."));
    ConnessioneServer::Imposta(ConnessioneServer::LeggiParametri(primo.cartella()),
                               QStringLiteral("pw-postaserver_aldo"));
    QCOMPARE(ApriDeposito(primo.cartella())->LeggiImpostazioniPosta().mittente,
             QStringLiteral("tessere@circolo.it"));
}

QTEST_MAIN(TestPostaServer)
#include "tst_postaserver.moc"
