// Where a desk's archive is: the connection screen (from the information screen), and the
// start on a server, with the password from the secret store, libpq's password file or
// asked, and the connection screen when the server cannot be reached.
#include "support/ServerProva.h"
#include "support/Supporto.h"

#include "archive/Errori.h"
#include "shell/ArchivioServer.h"
#include "shell/AvvioServer.h"
#include "shell/Info.h"
#include "widgets/Sottofondo.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Piattaforma::Forma;

namespace {
const QString Password = QStringLiteral("segreta-anna");
} // namespace

class TestArchivioServer : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> env;
    QTemporaryDir m_dir;
    QString m_db;

    Simulazione &sim() { return env->sim(); }
    TParametriServer Parametri() { return ServerProva::Parametri(m_db, QStringLiteral("anna")); }
    QByteArray Ini()
    {
        QFile f(env->Percorso(QStringLiteral("Quorvel.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The [Archivio] section as whoever sets up the desk writes it.
    void ScriviArchivio(const TParametriServer &p, const QByteArray &tipo = "postgresql")
    {
        ScriviIni(*env, "[Archivio]\r\nTipo=" + tipo + "\r\nServer=" + p.server.toUtf8() +
                            "\r\nPorta=" + QByteArray::number(p.porta) + "\r\nDatabase=" +
                            p.database.toUtf8() + "\r\nUtente=" + p.utente.toUtf8() +
                            "\r\nCertificatoCA=" + p.certificatoCA.toUtf8() + "\r\n");
    }
    static void Scrivi(QWidget *w, const char *nome, const QString &testo)
    {
        Controllo<QLineEdit>(w, nome)->setText(testo);
    }
    // Types the server's settings into the connection screen, as a volunteer does.
    static void Compila(QWidget *d, const TParametriServer &p, const QString &password)
    {
        Clic(d, "optServer");
        Scrivi(d, "txtServer", p.server);
        Scrivi(d, "txtPorta", QString::number(p.porta));
        Scrivi(d, "txtDatabase", p.database);
        Scrivi(d, "txtUtente", p.utente);
        Scrivi(d, "txtPassword", password);
        Scrivi(d, "txtCertificato", p.certificatoCA);
    }
    QStringList Testi(Forma forma)
    {
        QStringList r;
        for (const auto &m : sim().messaggi)
            if (m.forma == forma)
                r << m.testo;
        return r;
    }

private slots:
    void initTestCase()
    {
        // No password file of the user running the tests takes part.
        qputenv("PGPASSFILE", QFile::encodeName(m_dir.filePath(QStringLiteral("nessuno"))));
    }
    void init()
    {
        env = std::make_unique<Ambiente>();
        sim().portachiavi = true;
        if (ServerProva::Disponibile()) {
            m_db = ServerProva::NuovoDatabase();
            ServerProva::CreaUtente(QStringLiteral("anna"), Password);
        }
    }
    void cleanup()
    {
        ConnessioneServer::Dimentica();
        QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 10000);
        env.reset();
    }

    void dalleInformazioni();
    void mostraLeImpostazioni();
    void provaCollegamento_data();
    void provaCollegamento();
    void salvaSoloSeSiCollega();
    void senzaPortachiavi();
    void tornaAllaCartella();
    void sfogliaCertificato();
    void avvio_data();
    void avvio();
};

// Information -> Archivio: the server's settings saved, the password in the secret store and
// never in Quorvel.ini, and the server set for this run.
void TestArchivioServer::dalleInformazioni()
{
    SERVER_RICHIESTO();
    const TParametriServer p = Parametri();
    sim().modale = [&](QDialog *d) {
        Compila(d, p, Password);
        Clic(d, "cmdSalva");
    };
    TfrmInfo info;
    info.show();
    Clic(&info, "cmdArchivio");
    QCOMPARE(sim().modaliMostrati, QStringList{QStringLiteral("TfrmArchivioServer")});
    QCOMPARE(sim().UltimaForma(), Forma::Informazione);
    QVERIFY2(sim().UltimoMessaggio().startsWith(
                 QStringLiteral("Impostazioni dell'archivio salvate: l'archivio \u00E8 sul "
                                "server \"localhost\".")),
             qPrintable(sim().UltimoMessaggio()));
    const QByteArray ini = Ini();
    for (const QByteArray &riga :
         {QByteArray("[Archivio]"), QByteArray("Tipo=postgresql"), QByteArray("Server=localhost"),
          "Porta=" + QByteArray::number(p.porta), "Database=" + m_db.toUtf8(),
          QByteArray("Utente=anna"), "CertificatoCA=" + p.certificatoCA.toUtf8()})
        QVERIFY2(ini.contains(riga), riga.constData());
    QVERIFY(!ini.contains(Password.toUtf8()));
    QCOMPARE(sim().segreti.value(QStringLiteral("anna@localhost:%1/%2").arg(p.porta).arg(m_db)),
             Password);
    QVERIFY(ConnessioneServer::Impostato());
}

// The screen shows what Quorvel.ini and the secret store hold.
void TestArchivioServer::mostraLeImpostazioni()
{
    TParametriServer p;
    p.server = QStringLiteral("archivio.circolo.lan");
    p.porta = 5433;
    p.database = QStringLiteral("soci");
    p.utente = QStringLiteral("maria");
    p.certificatoCA = QStringLiteral("/etc/quorvel/ca.crt");
    ScriviArchivio(p);
    sim().segreti.insert(QStringLiteral("maria@archivio.circolo.lan:5433/soci"),
                         QStringLiteral("pw-maria"));
    TfrmArchivioServer d;
    d.show();
    QVERIFY(Controllo<QRadioButton>(&d, "optServer")->isChecked());
    QCOMPARE(Controllo<QLineEdit>(&d, "txtServer")->text(), p.server);
    QCOMPARE(Controllo<QLineEdit>(&d, "txtPorta")->text(), QStringLiteral("5433"));
    QCOMPARE(Controllo<QLineEdit>(&d, "txtDatabase")->text(), p.database);
    QCOMPARE(Controllo<QLineEdit>(&d, "txtUtente")->text(), p.utente);
    QCOMPARE(Controllo<QLineEdit>(&d, "txtCertificato")->text(), p.certificatoCA);
    QCOMPARE(Controllo<QLineEdit>(&d, "txtPassword")->text(), QStringLiteral("pw-maria"));
    // The folder: the server's boxes are off.
    Clic(&d, "optCartella");
    QVERIFY(!Controllo<QLineEdit>(&d, "txtServer")->isEnabled());
    QVERIFY(!Controllo<QWidget>(&d, "cmdProva")->isEnabled());
}

// "Prova collegamento" says what it found, or why it failed; a missing setting is named
// before any connection.
void TestArchivioServer::provaCollegamento_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<int>("forma");
    QTest::addColumn<QString>("frase");
    QTest::newRow("riuscito") << "giusto" << int(Forma::Informazione)
                              << "Collegamento riuscito: server PostgreSQL 15.";
    QTest::newRow("password errata") << "password" << int(Forma::Errore) << "Password errata";
    QTest::newRow("nome non nel certificato")
        << "indirizzo" << int(Forma::Errore) << "non \u00E8 tra quelli del certificato";
    QTest::newRow("senza server") << "server" << int(Forma::Avviso)
                                  << "Attenzione: indicare il nome del server dell'archivio.";
    QTest::newRow("senza CA") << "CA" << int(Forma::Avviso)
                              << "Attenzione: indicare il file del certificato";
}

void TestArchivioServer::provaCollegamento()
{
    SERVER_RICHIESTO();
    QFETCH(QString, caso);
    QFETCH(int, forma);
    QFETCH(QString, frase);
    TParametriServer p = Parametri();
    QString password = Password;
    if (caso == "password")
        password = QStringLiteral("sbagliata");
    else if (caso == "indirizzo")
        p.server = QStringLiteral("127.0.0.1");
    else if (caso == "server")
        p.server.clear();
    else if (caso == "CA")
        p.certificatoCA.clear();
    TfrmArchivioServer d;
    d.show();
    Compila(&d, p, password);
    Clic(&d, "cmdProva");
    QCOMPARE(sim().messaggi.size(), 1);
    QCOMPARE(int(sim().UltimaForma()), forma);
    QVERIFY2(sim().UltimoMessaggio().contains(frase), qPrintable(sim().UltimoMessaggio()));
    if (forma != int(Forma::Avviso))
        QCOMPARE(Controllo<QLabel>(&d, "lblEsito")->text(), sim().UltimoMessaggio());
    if (caso == "giusto")
        QVERIFY(sim().UltimoMessaggio().contains(QStringLiteral("protetto con TLSv1.")));
    // A trial saves nothing.
    QVERIFY(!Ini().contains("[Archivio]"));
    QVERIFY(!ConnessioneServer::Impostato());
}

// Settings that do not reach the archive are not saved.
void TestArchivioServer::salvaSoloSeSiCollega()
{
    SERVER_RICHIESTO();
    TfrmArchivioServer d;
    d.show();
    Compila(&d, Parametri(), QStringLiteral("sbagliata"));
    Clic(&d, "cmdSalva");
    QCOMPARE(sim().UltimaForma(), Forma::Errore);
    QVERIFY2(sim().UltimoMessaggio().contains(QStringLiteral("non sono state salvate")) &&
                 sim().UltimoMessaggio().contains(QStringLiteral("Password errata")),
             qPrintable(sim().UltimoMessaggio()));
    QVERIFY(!Ini().contains("[Archivio]"));
    QVERIFY(sim().segreti.isEmpty());
    QVERIFY(!ConnessioneServer::Impostato());
    QVERIFY(d.isVisible());
}

// With no secret store the password is kept nowhere: it will be asked at each start.
void TestArchivioServer::senzaPortachiavi()
{
    SERVER_RICHIESTO();
    sim().portachiavi = false;
    TfrmArchivioServer d;
    d.show();
    Compila(&d, Parametri(), Password);
    Clic(&d, "cmdSalva");
    QCOMPARE(sim().UltimaForma(), Forma::Informazione);
    QVERIFY2(sim().UltimoMessaggio().contains(QStringLiteral("sar\u00E0 chiesta a ogni avvio")),
             qPrintable(sim().UltimoMessaggio()));
    QVERIFY(Ini().contains("Tipo=postgresql"));
    QVERIFY(!Ini().contains(Password.toUtf8()));
    QVERIFY(ConnessioneServer::Impostato());
}

// Back to the folder: Tipo=file, and the server forgotten for this run.
void TestArchivioServer::tornaAllaCartella()
{
    SERVER_RICHIESTO();
    ScriviArchivio(Parametri());
    ConnessioneServer::Imposta(Parametri(), Password);
    TfrmArchivioServer d;
    d.show();
    QVERIFY(Controllo<QRadioButton>(&d, "optServer")->isChecked());
    Clic(&d, "optCartella");
    Clic(&d, "cmdSalva");
    QVERIFY(!d.isVisible());
    QVERIFY(Ini().contains("Tipo=file"));
    QVERIFY(Ini().contains("Server=localhost")); // kept for a later return
    QVERIFY(!ConnessioneServer::Impostato());
    QVERIFY(!ConnessioneServer::ArchivioSulServer(env->cartella()));
}

// The CA file is chosen through the open dialog; cancelling keeps what was there.
void TestArchivioServer::sfogliaCertificato()
{
    TfrmArchivioServer d;
    d.show();
    Clic(&d, "optServer");
    sim().fileDaAprire.enqueue(QStringLiteral("/etc/quorvel/ca.crt"));
    Clic(&d, "cmdSfogliaCertificato");
    QCOMPARE(Controllo<QLineEdit>(&d, "txtCertificato")->text(),
             QStringLiteral("/etc/quorvel/ca.crt"));
    Clic(&d, "cmdSfogliaCertificato"); // the queue is empty: cancelled
    QCOMPARE(Controllo<QLineEdit>(&d, "txtCertificato")->text(),
             QStringLiteral("/etc/quorvel/ca.crt"));
}

// The start: the archive is ready, or the user is told why and given the connection screen.
void TestArchivioServer::avvio_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<bool>("pronto");      // Prepara's answer: the program goes on
    QTest::addColumn<bool>("sulServer");   // the server set for the run
    QTest::addColumn<QString>("messaggi"); // pieces of the messages shown, in order, by "|"
    QTest::addColumn<QStringList>("modali");
    const QString password = QStringLiteral("TfrmPasswordServer");
    const QString schermata = QStringLiteral("TfrmArchivioServer");
    QTest::newRow("cartella") << "cartella" << true << false << "" << QStringList();
    QTest::newRow("password nel portachiavi")
        << "portachiavi" << true << true << "" << QStringList();
    QTest::newRow("password in .pgpass") << "pgpass" << true << true << "" << QStringList();
    QTest::newRow("password chiesta") << "chiesta" << true << true << "" << QStringList{password};
    QTest::newRow("password chiesta, prima errata")
        << "errata" << true << true << "Password errata" << QStringList{password, password};
    QTest::newRow("portachiavi superato")
        << "superata" << true << true << "Password errata" << QStringList{password};
    QTest::newRow("password non data")
        << "annullata" << false << false << "" << QStringList{password, schermata};
    QTest::newRow("server irraggiungibile, esce")
        << "irraggiungibile" << false << false
        << "impossibile aprire l'archivio sul server.\n\nIl server \"localhost\" non risponde"
        << QStringList{schermata};
    QTest::newRow("server irraggiungibile, porta corretta")
        << "corretta" << true << true << "non risponde" << QStringList{schermata};
    QTest::newRow("server irraggiungibile, torna alla cartella")
        << "cartellaDopo" << true << false << "non risponde" << QStringList{schermata};
    QTest::newRow("senza CA") << "senzaCA" << false << false
                              << "Manca il certificato dell'autorit\u00E0 (CA)"
                              << QStringList{schermata};
}

void TestArchivioServer::avvio()
{
    SERVER_RICHIESTO();
    QFETCH(QString, caso);
    QFETCH(bool, pronto);
    QFETCH(bool, sulServer);
    QFETCH(QString, messaggi);
    QFETCH(QStringList, modali);
    const TParametriServer giusti = Parametri();
    TParametriServer p = giusti;
    const QString chiave = ConnessioneServer::ChiavePassword(giusti);
    QStringList risposte; // passwords typed when asked
    if (caso == "portachiavi")
        sim().segreti.insert(chiave, Password);
    else if (caso == "superata") {
        sim().segreti.insert(chiave, QStringLiteral("vecchia"));
        risposte << Password;
    } else if (caso == "chiesta")
        risposte << Password;
    else if (caso == "errata")
        risposte << QStringLiteral("sbagliata") << Password;
    else if (caso == "irraggiungibile" || caso == "corretta" || caso == "cartellaDopo")
        p.porta = 1;
    else if (caso == "senzaCA")
        p.certificatoCA.clear();
    QByteArray pgpassPrima;
    if (caso == "pgpass") {
        QFile f(m_dir.filePath(QStringLiteral("pgpass")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("localhost:%1:%2:anna:%3\n")
                    .arg(giusti.porta)
                    .arg(m_db, Password)
                    .toUtf8());
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        pgpassPrima = qgetenv("PGPASSFILE");
        qputenv("PGPASSFILE", QFile::encodeName(f.fileName()));
    }
    if (caso != "cartella")
        ScriviArchivio(p);
    sim().modale = [&](QDialog *d) {
        if (qobject_cast<TfrmPasswordServer *>(d)) {
            if (risposte.isEmpty())
                return Clic(d, "cmdAnnulla");
            Scrivi(d, "txtPassword", risposte.takeFirst());
            return Clic(d, "cmdOK");
        }
        // The connection screen, shown with the settings of Quorvel.ini.
        QCOMPARE(Controllo<QLineEdit>(d, "txtPorta")->text(), QString::number(p.porta));
        if (caso == "corretta") {
            Scrivi(d, "txtPorta", QString::number(giusti.porta));
            Scrivi(d, "txtPassword", Password);
            Clic(d, "cmdSalva");
        } else if (caso == "cartellaDopo") {
            Clic(d, "optCartella");
            Clic(d, "cmdSalva");
        } else {
            Clic(d, "cmdAnnulla");
        }
    };
    // Later connections find the password where the first did: the file stays until the end.
    const auto rimetti = qScopeGuard([&] {
        if (caso == "pgpass")
            qputenv("PGPASSFILE", pgpassPrima);
    });
    const bool esito = AvvioServer::Prepara();
    QCOMPARE(esito, pronto);
    QCOMPARE(ConnessioneServer::Impostato(), sulServer);
    QCOMPARE(sim().modaliMostrati, modali);
    const QStringList attesi = messaggi.isEmpty() ? QStringList() : messaggi.split(u'|');
    QCOMPARE(sim().messaggi.size(), attesi.size());
    for (int i = 0; i < attesi.size(); ++i)
        QVERIFY2(sim().messaggi.at(i).testo.contains(attesi.at(i)),
                 qPrintable(sim().messaggi.at(i).testo));
    if (sulServer) {
        // Every later opening of the archive goes to this server with this password.
        try {
            QSqlDatabase db = ConnessioneServer::PerQuestoThread();
            QCOMPARE(db.databaseName(), m_db);
            QCOMPARE(db.port(), giusti.porta);
        } catch (const ErroreFile &e) {
            QFAIL(qPrintable(e.testo()));
        }
    }
    if (caso == "cartellaDopo")
        QVERIFY(Ini().contains("Tipo=file"));
    if (caso == "corretta")
        QVERIFY(Ini().contains("Porta=" + QByteArray::number(giusti.porta)));
}

QTEST_MAIN(TestArchivioServer)
#include "tst_archivioserver.moc"
