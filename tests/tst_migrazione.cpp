// quorvel-migra as the association's technician runs it: the folder to the server and back,
// compared; a server already in use refused; a NUL named; a kill half-way and a full disk
// on the way back leave nothing half done.
#include "support/ServerProva.h"
#include "support/Supporto.h"

#include "archive/Archivio.h"
#include "mail/core/RegistroAvvisi.h"
#include "shell/ArchivioServer.h"
#include "storage/ConnessioneServer.h"
#include "storage/DatiEnteFile.h"
#include "widgets/Sottofondo.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

namespace {

struct TEsito {
    int codice = -1;
    QString uscita;
    QString errori;
};

// The tool against `database`, reached through libpq's variables as the README says.
QProcessEnvironment AmbienteMigra(const QString &database)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGHOST"), qEnvironmentVariable("QUORVEL_PG_DIR"));
    env.insert(QStringLiteral("PGUSER"), QStringLiteral("postgres"));
    env.insert(QStringLiteral("PGDATABASE"), database);
    return env;
}

TEsito Migra(const QString &database, const QStringList &argomenti,
             const QByteArray &ingresso = QByteArray(), qint64 limiteFile = 0)
{
    QProcess p;
    p.setProcessEnvironment(AmbienteMigra(database));
    if (limiteFile > 0)
        // A disk that fills: writes past the limit fail with EFBIG instead of a signal.
        p.setChildProcessModifier([limiteFile] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit l{static_cast<rlim_t>(limiteFile), static_cast<rlim_t>(limiteFile)};
            ::setrlimit(RLIMIT_FSIZE, &l);
        });
    p.start(QStringLiteral(QUORVEL_MIGRA), argomenti);
    if (!p.waitForStarted(10000))
        return {};
    p.write(ingresso);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        p.kill();
    p.waitForFinished(5000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The first value of `sql` on the archive database, as its administrator sees it.
QVariant Leggi(const QString &database, const QString &sql)
{
    const QString nome = QStringLiteral("lettura-migrazione");
    QVariant v;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        c.setHostName(qEnvironmentVariable("QUORVEL_PG_DIR"));
        c.setPort(qEnvironmentVariableIntValue("PGPORT"));
        c.setUserName(QStringLiteral("postgres"));
        c.setDatabaseName(database);
        if (c.open()) {
            QSqlQuery q(c);
            if (q.exec(QStringLiteral("SET search_path = quorvel")) && q.exec(sql) && q.next())
                v = q.value(0);
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return v;
}

QByteArray Jpeg(QColor colore)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    Immagine(40, 50, colore).save(&b, "JPG");
    return b.data();
}

void Scrivi(const QString &percorso, const QByteArray &byte)
{
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(byte), byte.size());
}

// Every file below `cartella` by relative path, with its hash: the folder as it was.
QMap<QString, QByteArray> Impronte(const QString &cartella)
{
    QMap<QString, QByteArray> r;
    QDirIterator it(cartella, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        QFile f(p);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        r.insert(QDir(cartella).relativeFilePath(p),
                 QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256));
    }
    return r;
}

// An archive as the program writes it: records, photos, documents, organization data,
// logo and reminder log.
void CartellaDelProgramma(const QString &cartella, int schede)
{
    {
        TArchivio a(cartella);
        for (int i = 1; i <= schede; ++i) {
            TScheda s;
            s.Scrivi(Campo::Tesserato, QStringLiteral("SOCIO %1 Sì").arg(i));
            s.Scrivi(Campo::DataScade, QStringLiteral("31/12/2026"));
            s.Scrivi(Campo::Note, QStringLiteral("nota\tcon tabulazione €"));
            s.Scrivi(Campo::Annullata, AnnullataNo);
            if (i == 2)
                s.Scrivi(Campo::File01, QStringLiteral("contratto.pdf"));
            a.AccodaScheda(s);
        }
    }
    Scrivi(PercorsoFoto(cartella, 1), Jpeg(Qt::red));
    Scrivi(PercorsoFoto(cartella, 2), Jpeg(Qt::blue));
    Scrivi(QDir(cartella).filePath(QStringLiteral("Documenti_Allegati/contratto.pdf")),
           QByteArray("%PDF-1.4\0\x01\xff fine", 16));
    DatiEnteFile::Scrivi(cartella, {QStringLiteral("Circolo Sì"), QStringLiteral("Sotto"),
                                    QString(), QStringLiteral("Note")});
    QVERIFY(DatiEnteFile::SalvaLogo(cartella, Immagine(10, 10, Qt::green)));
    RegistroAvvisi::TRegistro registro(cartella);
    QVERIFY(registro.Scrivi({QDate(2026, 3, 1), QTime(10, 0, 5), 1, QStringLiteral("SOCIO 1 Sì"),
                             QStringLiteral("socio@example.org"), QDate(2026, 12, 31),
                             RegistroAvvisi::Inviato}));
}

// A folder made by hand: odd bytes in the records, and things that are no part of the
// archive beside them.
void CartellaFattaAMano(const QString &cartella)
{
    QByteArray primo = Costruttore::Record(
        {{"Tesserato", "ROSSI"}, {"Carica", QByteArray(200, 'C')}, {"Annullata", "S\xec"}});
    // Junk after the text of a field, within its capacity.
    primo.replace(Costruttore::Offset("Tesserato") + 1 + 5, 4, "JUNK");
    const QByteArray secondo = Costruttore::Record({{"Tesserato", "VERDI\x81\x8d\x8f\x90\x9d"},
                                                    {"Note", "prima\tdopo"},
                                                    {"File01", "visita.txt"}});
    Costruttore::ScriviArchivio(TArchivio::Percorso(cartella), {primo, secondo}, "coda");
    Scrivi(PercorsoFoto(cartella, 2), Jpeg(Qt::yellow));
    Scrivi(PercorsoFoto(cartella, 7), Jpeg(Qt::black));
    Scrivi(QDir(cartella).filePath(QStringLiteral(".2.jpg.copia")), "resto");
    Scrivi(QDir(cartella).filePath(QStringLiteral("Vecchie/nota.txt")), "x");
    Scrivi(QDir(cartella).filePath(QStringLiteral("Documenti_Allegati/visita.txt")), "ok");
    Scrivi(QDir(cartella).filePath(QStringLiteral("Documenti_Allegati/orfano.txt")), "no");
}

int Schede(const QString &database)
{
    return Leggi(database, QStringLiteral("SELECT count(*) FROM schede")).toInt();
}

} // namespace

class TestMigrazione : public QObject {
    Q_OBJECT

private slots:
    void andataERitorno_data();
    void andataERitorno();
    void serverNonVuotoRifiutato();
    void cartellaApertaRifiutata();
    void differenzaAnnullaTutto_data();
    void differenzaAnnullaTutto();
    void testoConNul();
    void verificaElencaLeDifferenze();
    void interrottoAMeta_data();
    void interrottoAMeta();
    void discoPienoAlRitorno();
    void preparaEUtente();
    void trasferisciDallaSchermata();
};

void TestMigrazione::andataERitorno_data()
{
    QTest::addColumn<bool>("fattaAMano");
    QTest::newRow("scritta dal programma") << false;
    QTest::newRow("fatta a mano") << true;
}

void TestMigrazione::andataERitorno()
{
    SERVER_RICHIESTO();
    QFETCH(bool, fattaAMano);
    QTemporaryDir base;
    const QString origine = base.filePath(QStringLiteral("origine"));
    QVERIFY(QDir().mkpath(origine));
    if (fattaAMano)
        CartellaFattaAMano(origine);
    else
        CartellaDelProgramma(origine, 3);
    const QMap<QString, QByteArray> prima = Impronte(origine);
    const QString db = ServerProva::NuovoDatabase();

    const TEsito importa = Migra(db, {QStringLiteral("importa"), origine});
    QVERIFY2(importa.codice == 0, qPrintable(importa.errori));
    QVERIFY(importa.uscita.contains(QStringLiteral("identico alla cartella")));
    QCOMPARE(Impronte(origine), prima);
    if (fattaAMano) {
        // Each thing that is no part of the archive is named, and stays behind.
        for (const char *saltato :
             {"scheda incompleta (4 byte dopo la scheda 2)", "foto 7.jpg: nessuna scheda",
              ".2.jpg.copia: copia temporanea", "cartella Vecchie",
              "Documenti_Allegati/orfano.txt: nessuna scheda"})
            QVERIFY2(importa.errori.contains(QString::fromUtf8(saltato)), saltato);
        QCOMPARE(Leggi(db, QStringLiteral("SELECT count(*) FROM foto")).toInt(), 1);
        QCOMPARE(Leggi(db, QStringLiteral("SELECT string_agg(nome, ',') FROM documenti")),
                 QVariant(QStringLiteral("visita.txt")));
    }
    QCOMPARE(Leggi(db, QStringLiteral("SELECT ultima FROM contatore")).toInt(), Schede(db));

    const TEsito verifica = Migra(db, {QStringLiteral("verifica"), origine});
    QVERIFY2(verifica.codice == 0, qPrintable(verifica.errori));
    QVERIFY(verifica.uscita.contains(QStringLiteral("Nessuna differenza")));

    const QString ritorno = base.filePath(QStringLiteral("ritorno"));
    const TEsito esporta = Migra(db, {QStringLiteral("esporta"), ritorno});
    QVERIFY2(esporta.codice == 0, qPrintable(esporta.errori));

    // Photos and documents byte for byte; the records by bytes or by meaning.
    const QMap<QString, QByteArray> dopo = Impronte(ritorno);
    for (const QString &nome : dopo.keys())
        if (nome.endsWith(QStringLiteral(".jpg")) || nome.startsWith(QStringLiteral("Documenti")))
            QCOMPARE(dopo.value(nome), prima.value(nome));
    QCOMPARE(dopo.contains(QStringLiteral("2.jpg")), true);
    const QByteArray archivioPrima = Costruttore::LeggiFile(TArchivio::Percorso(origine));
    const QByteArray archivioDopo = Costruttore::LeggiFile(TArchivio::Percorso(ritorno));
    if (!fattaAMano) {
        QCOMPARE(archivioDopo, archivioPrima);
        QCOMPARE(dopo.value(NomeFileLogo), prima.value(NomeFileLogo));
        QCOMPARE(DatiEnteFile::Leggi(ritorno).Denominazione, QStringLiteral("Circolo Sì"));
        QCOMPARE(RegistroAvvisi::UltimiInvii(ritorno), RegistroAvvisi::UltimiInvii(origine));
    } else {
        QCOMPARE(archivioDopo.size(), 2 * DimensioneScheda);
        TArchivio a(origine), b(ritorno);
        for (int p = 1; p <= 2; ++p)
            for (int c = 0; c < NumeroCampi; ++c)
                QCOMPARE(b.LeggiScheda(p).Leggi(Campo(c)), a.LeggiScheda(p).Leggi(Campo(c)));
        QCOMPARE(b.LeggiScheda(2).Leggi(Campo::Tesserato),
                 QStringLiteral("VERDI\u0081\u008d\u008f\u0090\u009d"));
        QCOMPARE(b.LeggiScheda(1).Leggi(Campo::Carica), QString(50, u'C'));
    }
}

void TestMigrazione::serverNonVuotoRifiutato()
{
    SERVER_RICHIESTO();
    QTemporaryDir cartella;
    CartellaDelProgramma(cartella.path(), 2);
    const QString db = ServerProva::NuovoDatabase();
    QVERIFY(ServerProva::Amministra(
        db, QStringLiteral("INSERT INTO quorvel.schede (tesserato) VALUES ('GIÀ QUI')")));
    const TEsito e = Migra(db, {QStringLiteral("importa"), cartella.path()});
    QVERIFY(e.codice > 0);
    QVERIFY2(e.errori.trimmed().endsWith(QStringLiteral("si trasferisce solo in un archivio "
                                                        "vuoto")),
             qPrintable(e.errori));
    QCOMPARE(Schede(db), 1);
    // The folder's lock was given back.
    QVERIFY(!QFile::exists(cartella.filePath(QStringLiteral("Quorvel.lock"))));
}

// A folder that a running copy of the program holds is not moved.
void TestMigrazione::cartellaApertaRifiutata()
{
    SERVER_RICHIESTO();
    QTemporaryDir cartella;
    CartellaDelProgramma(cartella.path(), 2);
    QLockFile aperta(cartella.filePath(QStringLiteral("Quorvel.lock")));
    QVERIFY(aperta.tryLock(0));
    const QString db = ServerProva::NuovoDatabase();
    const TEsito e = Migra(db, {QStringLiteral("importa"), cartella.path()});
    QVERIFY(e.codice > 0);
    QVERIFY2(e.errori.contains(QStringLiteral("è in uso da Quorvel")), qPrintable(e.errori));
    QCOMPARE(Schede(db), 0);
}

// What the server keeps differs from the folder (a trigger alters it on the way in): the
// comparison before COMMIT finds it, and nothing is kept.
void TestMigrazione::differenzaAnnullaTutto_data()
{
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("cambio");
    QTest::addColumn<QString>("differenza");
    QTest::newRow("foto") << "foto"
                          << "NEW.immagine := NEW.immagine || '\\x00'::bytea"
                          << "differenza: foto 1.jpg: diversa sul server";
    QTest::newRow("campo") << "schede"
                           << "NEW.note := NEW.note || '!'"
                           << "differenza: scheda 1, campo Note: nella cartella";
    QTest::newRow("documento") << "documenti"
                               << "NEW.contenuto := ''::bytea"
                               << "differenza: documento \"contratto.pdf\": diverso sul server";
}

void TestMigrazione::differenzaAnnullaTutto()
{
    SERVER_RICHIESTO();
    QFETCH(QString, tabella);
    QFETCH(QString, cambio);
    QFETCH(QString, differenza);
    QTemporaryDir cartella;
    CartellaDelProgramma(cartella.path(), 3);
    const QString db = ServerProva::NuovoDatabase();
    QVERIFY(ServerProva::Amministra(
        db, QStringLiteral("CREATE FUNCTION quorvel.altera() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN %1; RETURN NEW; END $$")
                .arg(cambio)));
    QVERIFY(ServerProva::Amministra(db, QStringLiteral("CREATE TRIGGER altera BEFORE INSERT ON "
                                                       "quorvel.%1 FOR EACH ROW EXECUTE "
                                                       "FUNCTION quorvel.altera()")
                                            .arg(tabella)));
    const TEsito e = Migra(db, {QStringLiteral("importa"), cartella.path()});
    QVERIFY(e.codice > 0);
    QVERIFY2(e.errori.contains(differenza), qPrintable(e.errori));
    QVERIFY(e.errori.trimmed().endsWith(QStringLiteral("nulla è stato conservato")));
    QCOMPARE(Schede(db), 0);
    QCOMPARE(Leggi(db, QStringLiteral("SELECT (SELECT count(*) FROM foto) + (SELECT count(*) FROM "
                                      "documenti) + (SELECT count(*) FROM avvisi) + (SELECT "
                                      "ultima FROM contatore)"))
                 .toInt(),
             0);
}

void TestMigrazione::testoConNul()
{
    SERVER_RICHIESTO();
    QTemporaryDir cartella;
    Costruttore::ScriviArchivio(
        TArchivio::Percorso(cartella.path()),
        {Costruttore::Tesserato("ROSSI"),
         Costruttore::Record({{"Tesserato", "BIANCHI"}, {"Note", QByteArray("a\0b", 3)}})});
    const QString db = ServerProva::NuovoDatabase();
    const TEsito fermato = Migra(db, {QStringLiteral("importa"), cartella.path()});
    QVERIFY(fermato.codice > 0);
    QVERIFY2(fermato.errori.contains(QStringLiteral("scheda 2, campo Note")),
             qPrintable(fermato.errori));
    QVERIFY(fermato.errori.contains(QStringLiteral("--nul-come-punto-interrogativo")));
    QCOMPARE(Schede(db), 0);

    const TEsito punto = Migra(db, {QStringLiteral("importa"), cartella.path(),
                                    QStringLiteral("--nul-come-punto-interrogativo")});
    QVERIFY2(punto.codice == 0, qPrintable(punto.errori));
    QCOMPARE(Leggi(db, QStringLiteral("SELECT note FROM schede WHERE posizione = 2")),
             QVariant(QStringLiteral("a?b")));
}

void TestMigrazione::verificaElencaLeDifferenze()
{
    SERVER_RICHIESTO();
    QTemporaryDir cartella;
    CartellaDelProgramma(cartella.path(), 3);
    const QString db = ServerProva::NuovoDatabase();
    QCOMPARE(Migra(db, {QStringLiteral("importa"), cartella.path()}).codice, 0);
    {
        TArchivio a(cartella.path());
        TScheda s = a.LeggiScheda(3);
        s.Scrivi(Campo::Tesserato, QStringLiteral("CAMBIATO"));
        a.ScriviScheda(3, s);
    }
    Scrivi(PercorsoFoto(cartella.path(), 1), Jpeg(Qt::white));
    QVERIFY(QFile::remove(cartella.filePath(QStringLiteral("Documenti_Allegati/contratto.pdf"))));
    QVERIFY(QFile::remove(cartella.filePath(NomeFileLogo)));
    const TEsito e = Migra(db, {QStringLiteral("verifica"), cartella.path()});
    QVERIFY(e.codice > 0);
    for (const char *d :
         {"scheda 3, campo Tesserato: nella cartella \"CAMBIATO\"",
          "foto 1.jpg: diversa sul server", "documento \"contratto.pdf\": manca nella cartella",
          "logo: manca nella cartella"})
        QVERIFY2(e.errori.contains(QString::fromUtf8(d)), qPrintable(e.errori));
}

void TestMigrazione::interrottoAMeta_data()
{
    QTest::addColumn<bool>("serverPerso");
    QTest::newRow("programma terminato") << false;
    QTest::newRow("server perso") << true;
}

void TestMigrazione::interrottoAMeta()
{
    SERVER_RICHIESTO();
    QFETCH(bool, serverPerso);
    QTemporaryDir cartella;
    QList<QByteArray> record;
    for (int i = 0; i < 20000; ++i)
        record << Costruttore::Tesserato("SOCIO " + QByteArray::number(i));
    Costruttore::ScriviArchivio(TArchivio::Percorso(cartella.path()), record);
    Scrivi(PercorsoFoto(cartella.path(), 1), Jpeg(Qt::red));
    const QMap<QString, QByteArray> prima = Impronte(cartella.path());
    const QString db = ServerProva::NuovoDatabase();

    QProcess p;
    p.setProcessEnvironment(AmbienteMigra(db));
    p.start(QStringLiteral(QUORVEL_MIGRA), {QStringLiteral("importa"), cartella.path()});
    QVERIFY(p.waitForStarted(10000));
    // Stopped at its first progress line, with nearly all the records still to send: the
    // program killed, or its connection cut by the server.
    QByteArray errori;
    QTRY_VERIFY_WITH_TIMEOUT((errori += p.readAllStandardError()).contains("avanzamento: "), 60000);
    if (serverPerso)
        QVERIFY(ServerProva::Amministra(
            QStringLiteral("postgres"),
            QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                           "datname = '%1' AND pid <> pg_backend_pid()")
                .arg(db)));
    else
        p.kill();
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(!p.readAllStandardOutput().contains("Trasferiti"));
    if (serverPerso) {
        // One line says why, and the exit code is not zero.
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QString ultima =
            QString::fromUtf8(errori + p.readAllStandardError()).trimmed().section(u'\n', -1);
        QVERIFY2(ultima.startsWith(QStringLiteral("quorvel-migra: Impossibile scrivere la scheda")),
                 qPrintable(ultima));
    } else {
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    }

    QTRY_COMPARE_WITH_TIMEOUT(Leggi(db, QStringLiteral("SELECT count(*) FROM pg_stat_activity "
                                                       "WHERE datname = current_database() AND "
                                                       "pid <> pg_backend_pid()"))
                                  .toInt(),
                              0, 10000);
    QCOMPARE(Schede(db), 0);
    QCOMPARE(Leggi(db, QStringLiteral("SELECT ultima FROM contatore")).toInt(), 0);
    QCOMPARE(Leggi(db, QStringLiteral("SELECT count(*) FROM foto")).toInt(), 0);
    // The folder as it was; only the lock of a killed run is left, and taken again.
    QMap<QString, QByteArray> dopo = Impronte(cartella.path());
    dopo.remove(QStringLiteral("Quorvel.lock"));
    QCOMPARE(dopo, prima);
    const TEsito ancora = Migra(db, {QStringLiteral("importa"), cartella.path()});
    QVERIFY2(ancora.codice == 0, qPrintable(ancora.errori));
    QCOMPARE(Schede(db), 20000);
}

void TestMigrazione::discoPienoAlRitorno()
{
    SERVER_RICHIESTO();
    QTemporaryDir base;
    const QString origine = base.filePath(QStringLiteral("origine"));
    QVERIFY(QDir().mkpath(origine));
    CartellaDelProgramma(origine, 40);
    const QString db = ServerProva::NuovoDatabase();
    QCOMPARE(Migra(db, {QStringLiteral("importa"), origine}).codice, 0);

    const QString ritorno = base.filePath(QStringLiteral("ritorno"));
    QVERIFY(QDir().mkpath(ritorno));
    // Room for a few records only: "Tesserati.pro" cannot be written whole.
    const TEsito e = Migra(db, {QStringLiteral("esporta"), ritorno}, QByteArray(), 20000);
    QVERIFY(e.codice > 0);
    QVERIFY2(e.errori.contains(QStringLiteral("Impossibile scrivere il file")),
             qPrintable(e.errori));
    QVERIFY(QDir(ritorno).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("origine"), QStringLiteral("ritorno")}));

    // A folder that is not empty is refused before anything is written.
    Scrivi(QDir(ritorno).filePath(QStringLiteral("altro.txt")), "x");
    const TEsito piena = Migra(db, {QStringLiteral("esporta"), ritorno});
    QVERIFY(piena.codice > 0);
    QVERIFY(piena.errori.contains(QStringLiteral("non è vuota")));
}

void TestMigrazione::preparaEUtente()
{
    SERVER_RICHIESTO();
    const QString db = QStringLiteral("migra_vuoto_%1").arg(QCoreApplication::applicationPid());
    QVERIFY(ServerProva::Amministra(
        QStringLiteral("postgres"),
        QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' "
                       "LC_CTYPE 'C'")
            .arg(db)));
    const TEsito prepara = Migra(db, {QStringLiteral("prepara")});
    QVERIFY2(prepara.codice == 0, qPrintable(prepara.errori));
    QCOMPARE(Leggi(db, QStringLiteral("SELECT versione FROM versione_schema")).toInt(),
             ConnessioneServer::VersioneSchema);
    const TEsito ancora = Migra(db, {QStringLiteral("prepara")});
    QVERIFY(ancora.codice > 0);
    QVERIFY(ancora.errori.contains(QStringLiteral("contiene già l'archivio")));

    // A volunteer's login, its password from standard input, reaches the archive over TLS.
    const TEsito utente = Migra(
        db,
        {QStringLiteral("utente"), QStringLiteral("migra_anna"), QStringLiteral("--responsabile")},
        "segreta-123\n");
    QVERIFY2(utente.codice == 0, qPrintable(utente.errori));
    const ConnessioneServer::TEsitoProva esito = ConnessioneServer::Prova(
        ServerProva::Parametri(db, QStringLiteral("migra_anna")), QStringLiteral("segreta-123"));
    QCOMPARE(esito.schede, 0);
    QVERIFY(Leggi(db, QStringLiteral("SELECT pg_has_role('migra_anna', 'quorvel_responsabile', "
                                     "'MEMBER')"))
                .toBool());

    // The prepared database takes an archive.
    QTemporaryDir cartella;
    CartellaDelProgramma(cartella.path(), 2);
    const TEsito importa = Migra(db, {QStringLiteral("importa"), cartella.path()});
    QVERIFY2(importa.codice == 0, qPrintable(importa.errori));
    QCOMPARE(Schede(db), 2);
    ServerProva::Amministra(QStringLiteral("postgres"),
                            QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(db));
}

// The connection screen offers the move when the server is empty: stopped half-way it
// leaves the server empty, let run it fills it, compared.
void TestMigrazione::trasferisciDallaSchermata()
{
    SERVER_RICHIESTO();
    Ambiente env;
    const QString password = QStringLiteral("segreta-migra");
    QList<QByteArray> record;
    for (int i = 0; i < 20000; ++i)
        record << Costruttore::Tesserato("SOCIO " + QByteArray::number(i));
    Costruttore::ScriviArchivio(TArchivio::Percorso(env.cartella()), record);
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("migra_amministra"), password);
    QVERIFY(
        ServerProva::Amministra(QStringLiteral("postgres"),
                                QStringLiteral("GRANT quorvel_proprietario TO migra_amministra")));
    const TParametriServer p = ServerProva::Parametri(db, QStringLiteral("migra_amministra"));

    TfrmArchivioServer d;
    d.show();
    auto *trasferisci = Controllo<QPushButton>(&d, "cmdTrasferisci");
    QVERIFY(!trasferisci->isVisible());
    Clic(&d, "optServer");
    Controllo<QLineEdit>(&d, "txtServer")->setText(p.server);
    Controllo<QLineEdit>(&d, "txtPorta")->setText(QString::number(p.porta));
    Controllo<QLineEdit>(&d, "txtDatabase")->setText(p.database);
    Controllo<QLineEdit>(&d, "txtUtente")->setText(p.utente);
    Controllo<QLineEdit>(&d, "txtPassword")->setText(password);
    Controllo<QLineEdit>(&d, "txtCertificato")->setText(p.certificatoCA);
    Clic(&d, "cmdProva");
    QCOMPARE(env.sim().UltimaForma(), Piattaforma::Forma::Informazione);
    QVERIFY(trasferisci->isVisible());
    QCOMPARE(trasferisci->text(),
             QStringLiteral("Trasferisci sul server l'archivio di questa cartella"));

    // Stopped once the bar moves.
    env.sim().risposte.enqueue(true);
    Clic(&d, "cmdTrasferisci");
    auto *barra = Controllo<QProgressBar>(&d, "prgTrasferimento");
    QVERIFY(barra->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(barra->value() > 0, 60000);
    Clic(&d, "cmdTrasferisci");
    QTRY_VERIFY_WITH_TIMEOUT(!barra->isVisible(), 60000);
    QCOMPARE(env.sim().UltimaForma(), Piattaforma::Forma::Errore);
    QVERIFY2(env.sim().UltimoMessaggio().contains(QStringLiteral("annullato")),
             qPrintable(env.sim().UltimoMessaggio()));
    QCOMPARE(Schede(db), 0);

    // Let run: every record on the server, compared.
    env.sim().risposte.enqueue(true);
    Clic(&d, "cmdTrasferisci");
    QTRY_VERIFY_WITH_TIMEOUT(!barra->isVisible(), 120000);
    QVERIFY2(env.sim().UltimoMessaggio().startsWith(
                 QStringLiteral("Trasferite sul server 20000 schede, 0 foto e 0 documenti")),
             qPrintable(env.sim().UltimoMessaggio()));
    QVERIFY(!trasferisci->isVisible());
    QCOMPARE(Schede(db), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 10000);
}

QTEST_MAIN(TestMigrazione)
#include "tst_migrazione.moc"
