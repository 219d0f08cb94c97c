// The mail settings and the login, against a real SMTP server (aiosmtpd, started once for
// the program): the user name and password never sent in clear to another computer unless
// the user allowed it, the CA file chosen on the screen, what the screen says about the
// keychain, and the boxes and counts around a send.
#include "archive/Impostazioni.h"
#include "lists/Sospesi.h"
#include "mail/Posta.h"
#include "mail/core/Smtp.h"
#include "support/Avvisi.h"
#include "support/ServerPosta.h"
#include "support/Supporto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// The mail settings screen filled for a test message to the server.
void Compila(TfrmPosta &w, const QString &server, int porta, const QString &sicurezza)
{
    Controllo<QLineEdit>(&w, "txtServer")->setText(server);
    Controllo<QComboBox>(&w, "cboSicurezza")->setCurrentText(sicurezza);
    Controllo<QLineEdit>(&w, "txtPorta")->setText(QString::number(porta));
    Controllo<QLineEdit>(&w, "txtUtente")->setText("quorvel");
    Controllo<QLineEdit>(&w, "txtPassword")->setText("segreta");
    Controllo<QLineEdit>(&w, "txtMittente")->setText(Mittente);
    Controllo<QLineEdit>(&w, "txtNomeMittente")->setText("Segreteria");
}
} // namespace

class TestPostaSicura : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ServerPosta m_server;
    QString m_ca, m_altro;

private slots:
    void initTestCase();
    void init();
    void regolaAccesso_data();
    void regolaAccesso();
    void accessoInChiaro_data();
    void accessoInChiaro();
    void avvisiInChiaro();
    void testoPortachiavi_data();
    void testoPortachiavi();
    void fileCA();
    void conteggi_data();
    void conteggi();
};

void TestPostaSicura::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(ServerPosta::CreaCertificati(m_dir.path()));
    m_ca = m_dir.filePath("ca.pem");
    // A fourth listener on a loopback address that the program must treat as another
    // computer's, so the refusal is seen end to end without leaving this machine.
    m_altro = IndirizzoNonLocale();
    QVERIFY(m_server.Avvia(m_dir.path(), m_altro));
}

void TestPostaSicura::init()
{
    m_server.Svuota();
}

void TestPostaSicura::regolaAccesso_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("sicurezza");
    QTest::addColumn<bool>("spuntata");
    QTest::addColumn<bool>("consentito");
    const int nessuna = static_cast<int>(Sicurezza::Nessuna);
    const int ssl = static_cast<int>(Sicurezza::SslTls);
    const int starttls = static_cast<int>(Sicurezza::StartTls);
    QTest::newRow("remoto in chiaro") << "posta.esempio.it" << nessuna << false << false;
    QTest::newRow("remoto in chiaro, spuntata") << "posta.esempio.it" << nessuna << true << true;
    QTest::newRow("remoto SSL/TLS") << "posta.esempio.it" << ssl << false << true;
    QTest::newRow("remoto STARTTLS") << "posta.esempio.it" << starttls << false << true;
    QTest::newRow("indirizzo remoto") << "192.0.2.7" << nessuna << false << false;
    QTest::newRow("127.0.0.1") << "127.0.0.1" << nessuna << false << true;
    QTest::newRow("::1") << "::1" << nessuna << false << true;
    QTest::newRow("localhost") << "LocalHost" << nessuna << false << true;
    QTest::newRow("localhost come prefisso") << "localhost.esempio.it" << nessuna << false << false;
    QTest::newRow("127.0.0.1 come prefisso") << "127.0.0.1.esempio.it" << nessuna << false << false;
}

void TestPostaSicura::regolaAccesso()
{
    QFETCH(QString, server);
    QFETCH(int, sicurezza);
    QFETCH(bool, spuntata);
    QFETCH(bool, consentito);
    TImpostazioniPosta p;
    p.server = server;
    p.sicurezza = static_cast<Sicurezza>(sicurezza);
    p.autenticazioneInChiaro = spuntata;
    QCOMPARE(AccessoConsentito(p), consentito);
}

// End to end: the server reached through an address of this computer that is not
// loopback (a real second name for it), so the rule meets a real connection.
void TestPostaSicura::accessoInChiaro_data()
{
    QTest::addColumn<bool>("remoto");
    QTest::addColumn<bool>("spuntata");
    QTest::addColumn<bool>("inviato");
    QTest::newRow("remoto, rifiutato") << true << false << false;
    QTest::newRow("remoto, spuntata") << true << true << true;
    QTest::newRow("questo computer") << false << false << true;
}

void TestPostaSicura::accessoInChiaro()
{
    QFETCH(bool, remoto);
    QFETCH(bool, spuntata);
    QFETCH(bool, inviato);
    Ambiente env;
    TfrmPosta w;
    w.show();
    Compila(w, remoto ? m_altro : QStringLiteral("127.0.0.1"),
            remoto ? m_server.altra : m_server.plain, "Nessuna");
    auto *chk = Controllo<QCheckBox>(&w, "chkAutenticazioneInChiaro");
    QVERIFY(chk->isEnabled());
    QCOMPARE(chk->text(),
             QStringLiteral("Invia utente e password senza cifratura (solo su una rete fidata)"));
    chk->setChecked(spuntata);
    Controllo<QPushButton>(&w, "cmdProva")->click();
    if (inviato) {
        QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
        QVERIFY2(env->UltimoMessaggio().startsWith("Messaggio di prova inviato"),
                 qPrintable(env->UltimoMessaggio()));
        QCOMPARE(m_server.Messaggi().size(), 1);
        QVERIFY(m_server.Autenticazioni().contains(" quorvel\n"));
    } else {
        QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
        QVERIFY2(env->UltimoMessaggio().contains("non è cifrato") &&
                     env->UltimoMessaggio().contains("non sono stati inviati") &&
                     env->UltimoMessaggio().contains(m_altro),
                 qPrintable(env->UltimoMessaggio()));
        // Nothing reached the server: no login, no message.
        QCOMPARE(m_server.Autenticazioni(), QString());
        QVERIFY(m_server.Messaggi().isEmpty());
    }
    // The choice is kept with the settings, and only for an unencrypted connection.
    Controllo<QPushButton>(&w, "cmdSalva")->click();
    const TFileIni ini(env.Percorso("Quorvel.ini"));
    QCOMPARE(ini.Leggi("Posta Elettronica", "AutenticazioneInChiaro"),
             spuntata ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(TImpostazioniPosta::Carica(env.cartella()).autenticazioneInChiaro, spuntata);
    Controllo<QComboBox>(&w, "cboSicurezza")->setCurrentText("SSL/TLS");
    QVERIFY(!chk->isEnabled());
}

// The batch refuses before asking: no question, no login, no log.
void TestPostaSicura::avvisiInChiaro()
{
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, m_altro, m_server.altra);
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Membro("UNO", "a@e.it")});
    TfrmSospesi w;
    w.show();
    env->risposte.enqueue(true);
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QVERIFY(!w.InInvio());
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QVERIFY2(env->UltimoMessaggio().contains("non è cifrato"), qPrintable(env->UltimoMessaggio()));
    QCOMPARE(m_server.Autenticazioni(), QString());
    QVERIFY(m_server.Messaggi().isEmpty());
    QVERIFY(!QFile::exists(env.Percorso("Avvisi.csv")));
}

void TestPostaSicura::testoPortachiavi_data()
{
    QTest::addColumn<bool>("portachiavi");
    QTest::newRow("nessun portachiavi") << false;
    QTest::newRow("portachiavi") << true;
}

void TestPostaSicura::testoPortachiavi()
{
    QFETCH(bool, portachiavi);
    Ambiente env;
    env->portachiavi = portachiavi;
    TfrmPosta w;
    w.show();
    const QString testo = Controllo<QLabel>(&w, "lblPortachiavi")->text();
    if (portachiavi) {
        QCOMPARE(testo, QStringLiteral(
                            "La password è custodita nell'archivio delle password del desktop."));
    } else {
        // How to get a keychain, and how strong the fallback is.
        for (const char *parola : {"Secret Service", "gnome-keyring", "KWallet",
                                   "leggibile soltanto da questo utente", "solo quanto l'account"})
            QVERIFY2(testo.contains(QLatin1String(parola)), parola);
    }
    // Saving keeps saying the same.
    Compila(w, "127.0.0.1", m_server.plain, "Nessuna");
    Controllo<QPushButton>(&w, "cmdSalva")->click();
    QCOMPARE(Controllo<QLabel>(&w, "lblPortachiavi")->text(), testo);
}

void TestPostaSicura::fileCA()
{
    Ambiente env;
    TfrmPosta w;
    w.show();
    Compila(w, "127.0.0.1", m_server.ssl, "SSL/TLS");
    // The system does not know the test's authority: the connection is refused.
    Controllo<QPushButton>(&w, "cmdProva")->click();
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QVERIFY(env->UltimoMessaggio().contains("Il certificato del server di posta"));
    // Chosen through the file dialog; cancelling it keeps the choice.
    env->fileDaAprire.enqueue(m_ca);
    Controllo<QPushButton>(&w, "cmdFileCA")->click();
    QCOMPARE(Controllo<QPushButton>(&w, "cmdFileCA")->text(), QStringLiteral("Sfoglia…"));
    QCOMPARE(Controllo<QLineEdit>(&w, "txtFileCA")->text(), m_ca);
    Controllo<QPushButton>(&w, "cmdFileCA")->click();
    QCOMPARE(Controllo<QLineEdit>(&w, "txtFileCA")->text(), m_ca);
    Controllo<QPushButton>(&w, "cmdProva")->click();
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio); // OK alone
    QVERIFY2(env->UltimoMessaggio().startsWith("Messaggio di prova inviato a " + Mittente),
             qPrintable(env->UltimoMessaggio()));
    QCOMPARE(m_server.Messaggi().size(), 1);
    // Saved, and shown again when the screen opens.
    Controllo<QPushButton>(&w, "cmdSalva")->click();
    QCOMPARE(TFileIni(env.Percorso("Quorvel.ini")).Leggi("Posta Elettronica", "FileCA"), m_ca);
    TfrmPosta altra;
    altra.show();
    QCOMPARE(Controllo<QLineEdit>(&altra, "txtFileCA")->text(), m_ca);
}

void TestPostaSicura::conteggi_data()
{
    QTest::addColumn<int>("membri");
    QTest::addColumn<int>("giorni");
    QTest::addColumn<QString>("pulsante");
    QTest::addColumn<QString>("recenti");
    QTest::newRow("uno") << 1 << 1 << "Invia 1 avviso"
                         << "Già avvisati nell'ultimo giorno: 1.";
    QTest::newRow("due") << 2 << 7 << "Invia 2 avvisi"
                         << "Già avvisati negli ultimi 7 giorni: 2.";
}

void TestPostaSicura::conteggi()
{
    QFETCH(int, membri);
    QFETCH(int, giorni);
    QFETCH(QString, pulsante);
    QFETCH(QString, recenti);
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, "127.0.0.1", m_server.plain);
    TFileIni(env.Percorso("Quorvel.ini"))
        .Scrivi("Posta Elettronica", "Giorni", QString::number(giorni));
    QList<QByteArray> record;
    for (int i = 0; i < membri; ++i)
        record << Membro("SOCIO " + QByteArray::number(i), "s" + QByteArray::number(i) + "@e.it");
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    TfrmSospesi w;
    w.show();
    QCOMPARE(InviaAvvisi(w, env), pulsante);
    // The summary after the send has nothing to cancel: OK alone.
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY(env->UltimoMessaggio().startsWith("Invio degli avvisi concluso."));
    QCOMPARE(m_server.Messaggi().size(), membri);
    // Sending again finds nobody to remind, says why in one or many days, and OK alone.
    env->modaliMostrati.clear();
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QVERIFY(env->modaliMostrati.isEmpty());
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY(env->UltimoMessaggio().startsWith("Nessun avviso da inviare."));
    QVERIFY2(env->UltimoMessaggio().contains(recenti), qPrintable(env->UltimoMessaggio()));
}

QTEST_MAIN(TestPostaSicura)
#include "tst_postasicura.moc"
