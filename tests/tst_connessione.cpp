// The connection to the archive's server: TLS with the host name checked, logins, the schema,
// each failure told by its cause, and what a desk's login may not do.
#include "support/ServerProva.h"

#include "archive/Errori.h"
#include "storage/ConnessioneServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using ConnessioneServer::Causa;

Q_DECLARE_METATYPE(ConnessioneServer::Causa)

class TestConnessione : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // A CA of its own that signed nothing the server shows.
    QString AltraCA()
    {
        const QString crt = m_dir.filePath(QStringLiteral("altra-ca.crt"));
        if (QFile::exists(crt))
            return crt;
        QProcess o;
        o.start(QStringLiteral("openssl"),
                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                 QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                 QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=Altra CA"),
                 QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("altra-ca.key")),
                 QStringLiteral("-out"), crt});
        if (!o.waitForFinished(30000) || o.exitCode() != 0)
            qFatal("openssl: %s", o.readAllStandardError().constData());
        return crt;
    }

private slots:
    void initTestCase()
    {
        // No password file of the user running the tests takes part.
        qputenv("PGPASSFILE", QFile::encodeName(m_dir.filePath(QStringLiteral("nessuno"))));
    }
    void collegamentoProtetto();
    void classificaMessaggi_data();
    void classificaMessaggi();
    void cause_data();
    void cause();
    void senzaTlsRifiutato();
    void passwordDalFileDiLibpq();
    void prova();
    void permessi_data();
    void permessi();
};

// A desk's login reaches the archive over TLS and finds this program's schema.
void TestConnessione::collegamentoProtetto()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    QSqlDatabase c =
        ConnessioneServer::Apri(ServerProva::Parametri(db, QStringLiteral("anna")),
                                QStringLiteral("segreta-anna"), QStringLiteral("prova"));
    QSqlQuery q(c);
    QVERIFY(q.exec(
        QStringLiteral("SELECT ssl, version FROM pg_stat_ssl WHERE pid = pg_backend_pid()")));
    QVERIFY(q.next());
    QVERIFY(q.value(0).toBool());
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM schede")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    q = QSqlQuery();
    c = QSqlDatabase();
    ConnessioneServer::Chiudi(QStringLiteral("prova"));
}

// libpq's messages, also as an Italian desktop or server writes them, and the SQLSTATE.
void TestConnessione::classificaMessaggi_data()
{
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<QString>("sqlstate");
    QTest::addColumn<Causa>("causa");
    QTest::newRow("password, italiano")
        << "FATAL:  autenticazione con password fallita per l'utente \"anna\"" << QString()
        << Causa::PasswordErrata;
    QTest::newRow("password, sqlstate") << "FATAL: ..."
                                        << "28P01" << Causa::PasswordErrata;
    QTest::newRow("nome host, italiano")
        << "il certificato per il server \"localhost\" non combacia col nome host \"10.0.0.1\""
        << QString() << Causa::NomeNonNelCertificato;
    QTest::newRow("database, italiano")
        << "FATAL:  il database \"soci\" non esiste" << QString() << Causa::DatabaseMancante;
    QTest::newRow("file CA") << "root certificate file \"/x/ca.crt\" does not exist" << QString()
                             << Causa::CertificatoMancante;
    QTest::newRow("nome sconosciuto")
        << "could not translate host name \"server.invalid\" to address: Name or service not known"
        << QString() << Causa::ServerIrraggiungibile;
    QTest::newRow("tempo scaduto")
        << "timeout expired" << QString() << Causa::ServerIrraggiungibile;
    QTest::newRow("altro") << "FATAL:  sorry, too many clients already"
                           << "53300" << Causa::Altro;
}

void TestConnessione::classificaMessaggi()
{
    QFETCH(QString, messaggio);
    QFETCH(QString, sqlstate);
    QFETCH(Causa, causa);
    QCOMPARE(ConnessioneServer::Classifica(messaggio, sqlstate), causa);
}

// Every failure reaches the user as its cause, in plain Italian, and leaves no connection.
void TestConnessione::cause_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<Causa>("causa");
    QTest::addColumn<QString>("frase"); // a piece of what the user reads
    QTest::newRow("password errata") << "password" << Causa::PasswordErrata << "Password errata";
    QTest::newRow("nessuna password")
        << "senzaPassword" << Causa::PasswordMancante << "chiede la password";
    QTest::newRow("CA che non ha firmato")
        << "altraCA" << Causa::CertificatoNonAttendibile << "non \u00E8 attendibile";
    QTest::newRow("indirizzo fuori dal certificato")
        << "indirizzo" << Causa::NomeNonNelCertificato << "\"127.0.0.1\" non \u00E8 tra quelli";
    QTest::newRow("porta sbagliata")
        << "porta" << Causa::ServerIrraggiungibile << "non risponde sulla porta 1";
    QTest::newRow("database mancante")
        << "database" << Causa::DatabaseMancante << "non esiste il database \"nessuno_qui\"";
    QTest::newRow("database di altri")
        << "postgres" << Causa::NonQuorvel << "non \u00E8 un archivio di Quorvel";
    QTest::newRow("schema di un'altra versione")
        << "versione" << Causa::AltraVersione << "schema versione 2";
    QTest::newRow("login che non è di uno sportello")
        << "estraneo" << Causa::SenzaPermessi << "ruolo quorvel_sportello";
    QTest::newRow("senza server") << "senzaServer" << Causa::Altro
                                  << "Manca il nome del server dell'archivio.";
    QTest::newRow("senza CA") << "senzaCA" << Causa::CertificatoMancante << "Manca il certificato";
    QTest::newRow("file CA mancante") << "fileCA" << Causa::CertificatoMancante << "non si trova";
}

void TestConnessione::cause()
{
    SERVER_RICHIESTO();
    QFETCH(QString, caso);
    QFETCH(Causa, causa);
    QFETCH(QString, frase);
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    TParametriServer p = ServerProva::Parametri(db, QStringLiteral("anna"));
    QString password = QStringLiteral("segreta-anna");
    if (caso == "password")
        password = QStringLiteral("sbagliata");
    else if (caso == "senzaPassword")
        password.clear();
    else if (caso == "altraCA")
        p.certificatoCA = AltraCA();
    else if (caso == "indirizzo")
        p.server = QStringLiteral("127.0.0.1");
    else if (caso == "porta")
        p.porta = 1;
    else if (caso == "database")
        p.database = QStringLiteral("nessuno_qui");
    else if (caso == "postgres")
        p.database = QStringLiteral("postgres");
    else if (caso == "versione")
        QVERIFY(ServerProva::Amministra(
            db, QStringLiteral("UPDATE quorvel.versione_schema SET versione = 2")));
    else if (caso == "estraneo") {
        QVERIFY(ServerProva::Amministra(
            QStringLiteral("postgres"),
            QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = "
                           "'estraneo') THEN CREATE ROLE estraneo LOGIN PASSWORD 'e'; END IF; "
                           "END $$")));
        p.utente = QStringLiteral("estraneo");
        password = QStringLiteral("e");
    } else if (caso == "senzaCA")
        p.certificatoCA.clear();
    else if (caso == "senzaServer")
        p.server.clear();
    else if (caso == "fileCA")
        p.certificatoCA = m_dir.filePath(QStringLiteral("manca.crt"));
    try {
        ConnessioneServer::Apri(p, password, QStringLiteral("causa"));
        QFAIL("collegato");
    } catch (const ConnessioneServer::ErroreServer &e) {
        QCOMPARE(e.causa(), causa);
        QVERIFY2(e.testo().contains(frase), qPrintable(e.testo()));
    }
    QVERIFY(!QSqlDatabase::contains(QStringLiteral("causa")));
}

// A connection without TLS is refused by the server itself (hostnossl reject).
void TestConnessione::senzaTlsRifiutato()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    QString messaggio;
    bool aperta = false;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("nuda"));
        c.setConnectOptions(QStringLiteral("sslmode=disable;connect_timeout=5"));
        c.setHostName(QStringLiteral("localhost"));
        c.setPort(qEnvironmentVariableIntValue("PGPORT"));
        c.setDatabaseName(db);
        c.setUserName(QStringLiteral("anna"));
        c.setPassword(QStringLiteral("segreta-anna"));
        aperta = c.open();
        messaggio = c.lastError().databaseText();
        c.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("nuda"));
    QVERIFY(!aperta);
    QVERIFY2(messaggio.contains(QStringLiteral("no encryption")), qPrintable(messaggio));
    QCOMPARE(ConnessioneServer::Classifica(messaggio), Causa::AccessoNegato);
}

// Without a password, libpq's own password file (PGPASSFILE, ~/.pgpass) gives it.
void TestConnessione::passwordDalFileDiLibpq()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    const TParametriServer p = ServerProva::Parametri(db, QStringLiteral("anna"));
    const QString file = m_dir.filePath(QStringLiteral("pgpass"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("localhost:%1:%2:anna:segreta-anna\n").arg(p.porta).arg(db).toUtf8());
    f.close();
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    const QByteArray prima = qgetenv("PGPASSFILE");
    qputenv("PGPASSFILE", QFile::encodeName(file));
    int schede = -1;
    try {
        schede = ConnessioneServer::Prova(p, QString()).schede;
    } catch (const ErroreFile &e) {
        qputenv("PGPASSFILE", prima);
        QFAIL(qPrintable(e.testo()));
    }
    qputenv("PGPASSFILE", prima);
    QCOMPARE(schede, 0);
}

// A trial connection says which server, which TLS and how many records it found.
void TestConnessione::prova()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    QVERIFY(ServerProva::Amministra(
        db,
        QStringLiteral("INSERT INTO quorvel.schede (tesserato) VALUES ('ROSSI'), ('BIANCHI')")));
    const ConnessioneServer::TEsitoProva e = ConnessioneServer::Prova(
        ServerProva::Parametri(db, QStringLiteral("anna")), QStringLiteral("segreta-anna"));
    QVERIFY2(e.versioneServer.startsWith(QStringLiteral("15.")), qPrintable(e.versioneServer));
    QVERIFY2(e.versioneTls.startsWith(QStringLiteral("TLSv1.")), qPrintable(e.versioneTls));
    QCOMPARE(e.schede, 2);
    const QString testo = ConnessioneServer::TestoEsito(e);
    QVERIFY2(testo.contains(QStringLiteral("PostgreSQL 15.")) &&
                 testo.contains(QStringLiteral("protetto con TLSv1.")) &&
                 testo.contains(QStringLiteral("contiene 2 schede")),
             qPrintable(testo));
    QCOMPARE(
        ConnessioneServer::ChiavePassword(ServerProva::Parametri(db, QStringLiteral("anna"))),
        QStringLiteral("anna@localhost:%1/%2").arg(qEnvironmentVariableIntValue("PGPORT")).arg(db));
}

// What a desk's login may and may not do: the server refuses with "permission denied".
void TestConnessione::permessi_data()
{
    QTest::addColumn<bool>("responsabile");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("permesso");
    QTest::newRow("sportello aggiunge")
        << false << "INSERT INTO schede (tesserato) VALUES ('X')" << true;
    QTest::newRow("sportello modifica un campo")
        << false << "UPDATE schede SET note = 'n' WHERE posizione = 1" << true;
    QTest::newRow("sportello cancella") << false << "DELETE FROM schede" << false;
    QTest::newRow("responsabile cancella") << true << "DELETE FROM schede" << false;
    QTest::newRow("sportello svuota") << false << "TRUNCATE schede" << false;
    QTest::newRow("sportello sceglie la posizione")
        << false << "INSERT INTO schede (posizione, tesserato) VALUES (7, 'X')" << false;
    QTest::newRow("sportello imposta la versione")
        << false << "UPDATE schede SET versione = 9 WHERE posizione = 1" << false;
    QTest::newRow("sportello tocca il contatore")
        << false << "UPDATE contatore SET ultima = 0" << false;
    QTest::newRow("sportello scrive i dati dell'ente")
        << false << "INSERT INTO impostazioni VALUES ('Dati Ente', 'Nome', 'X')" << false;
    QTest::newRow("sportello scrive il logo")
        << false << "INSERT INTO logo VALUES (true, '\\x00')" << false;
    QTest::newRow("responsabile scrive i dati dell'ente")
        << true << "INSERT INTO impostazioni VALUES ('Dati Ente', 'Nome', 'X')" << true;
    QTest::newRow("responsabile scrive il logo")
        << true << "INSERT INTO logo VALUES (true, '\\x00')" << true;
}

void TestConnessione::permessi()
{
    SERVER_RICHIESTO();
    QFETCH(bool, responsabile);
    QFETCH(QString, sql);
    QFETCH(bool, permesso);
    const QString db = ServerProva::NuovoDatabase();
    QVERIFY(ServerProva::Amministra(
        db, QStringLiteral("INSERT INTO quorvel.schede (tesserato) VALUES ('ROSSI')")));
    const QString utente = responsabile ? QStringLiteral("bruno") : QStringLiteral("carla");
    ServerProva::CreaUtente(utente, QStringLiteral("segreta"), responsabile);
    bool riuscito = false;
    QString sqlstate;
    QString messaggio;
    {
        QSqlDatabase c = ConnessioneServer::Apri(ServerProva::Parametri(db, utente),
                                                 QStringLiteral("segreta"), QStringLiteral("sql"));
        QSqlQuery q(c);
        riuscito = q.exec(sql);
        sqlstate = q.lastError().nativeErrorCode();
        messaggio = q.lastError().databaseText();
    }
    ConnessioneServer::Chiudi(QStringLiteral("sql"));
    QCOMPARE(riuscito, permesso);
    if (!permesso) {
        QCOMPARE(sqlstate, QStringLiteral("42501"));
        QVERIFY2(messaggio.contains(QStringLiteral("permission denied")), qPrintable(messaggio));
    }
}

QTEST_GUILESS_MAIN(TestConnessione)
#include "tst_connessione.moc"
