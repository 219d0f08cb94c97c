// The reminder log Avvisi.csv, written by real sends to a test SMTP server (aiosmtpd,
// started once), and the CSV files the program writes as LibreOffice Calc reads them
// (started once): header, byte order mark, ISO dates, older logs still read, formula-like
// values kept as text, and the log only as a regular file of the folder.
#include "archive/CellaCsv.h"
#include "archive/Impostazioni.h"
#include "lists/Sospesi.h"
#include "mail/core/RegistroAvvisi.h"
#include "mail/core/Smtp.h"
#include "registry/Anagrafica.h"
#include "support/Avvisi.h"
#include "support/ServerPosta.h"
#include "support/Supporto.h"

#include <QAbstractButton>
#include <QDir>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QXmlStreamReader>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The lines of the list that show a reminder.
QStringList Avvisati(TfrmSospesi &w)
{
    QStringList r;
    const auto *lst = Controllo<QListView>(&w, "lstRecords");
    for (int i = 0; i < lst->model()->rowCount(); ++i) {
        const QString t = lst->model()->index(i, 0).data().toString();
        if (t.contains(QLatin1String("Avvisato")))
            r << t;
    }
    return r;
}

// The cells of the first sheet of an ODS file: per row, the value type and the value
// ("string": the text; "float": the number; "date": the date).
QList<QList<std::pair<QString, QString>>> CelleOds(const QString &percorso)
{
    QList<QList<std::pair<QString, QString>>> righe;
    QuaZip zip(percorso);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(QStringLiteral("content.xml")))
        return righe;
    QuaZipFile f(&zip);
    if (!f.open(QIODevice::ReadOnly))
        return righe;
    QXmlStreamReader x(f.readAll());
    std::pair<QString, QString> cella;
    bool inCella = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("table-row")) {
            righe.append(QList<std::pair<QString, QString>>());
        } else if (x.isStartElement() && x.name() == QLatin1String("table-cell")) {
            const auto a = x.attributes();
            const QString tipo = a.value(QLatin1String("office:value-type")).toString();
            cella = {tipo, tipo == QLatin1String("date")
                               ? a.value(QLatin1String("office:date-value")).toString()
                               : a.value(QLatin1String("office:value")).toString()};
            inCella = true;
        } else if (inCella && x.isStartElement() && x.name() == QLatin1String("p") &&
                   cella.first == QLatin1String("string")) {
            cella.second = x.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (x.isEndElement() && x.name() == QLatin1String("table-cell")) {
            if (!righe.isEmpty())
                righe.last().append(cella);
            inCella = false;
        }
    }
    return righe;
}
} // namespace

class TestRegistro : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ServerPosta m_server;

private slots:
    void initTestCase();
    void init();
    void registriPrecedenti_data();
    void registriPrecedenti();
    void registroNonRegolare_data();
    void registroNonRegolare();
    void fogliDiCalcolo();
    void rigaAndataRitorno_data();
    void rigaAndataRitorno();
    void rigaSecondoIntestazione();
};

void TestRegistro::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_server.Avvia(m_dir.path()));
}

void TestRegistro::init()
{
    m_server.Svuota();
}

// Logs written by earlier versions (no header, dd/mm/yyyy) and by this one (byte order
// mark, header, ISO dates, a formula-like name behind its apostrophe) both tell the list
// and the batch who was reminded.
void TestRegistro::registriPrecedenti_data()
{
    QTest::addColumn<QByteArray>("registro");
    QTest::newRow("senza intestazione") << QByteArray("05/12/2026;10:00:00;1;=1+1;a@e.it;"
                                                      "31/12/2026;inviato\r\n");
    QTest::newRow("con intestazione")
        << QByteArray("\xEF\xBB\xBF"
                      "Data;Ora;Posizione;Tesserato;Indirizzo;Scadenza;Esito\r\n"
                      "2026-12-05;10:00:00;1;'=1+1;a@e.it;2026-12-31;inviato\r\n");
}

void TestRegistro::registriPrecedenti()
{
    QFETCH(QByteArray, registro);
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, "127.0.0.1", m_server.plain);
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Membro("=1+1", "a@e.it"), Membro("ALTRO", "b@e.it")});
    QFile f(env.Percorso("Avvisi.csv"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(registro);
    f.close();
    TfrmSospesi w;
    w.show();
    const QStringList avvisati = Avvisati(w);
    QCOMPARE(avvisati.size(), 1);
    QVERIFY2(avvisati[0].contains("Avvisato 05/12/2026"), qPrintable(avvisati[0]));
    // Only the other member is reminded; the log grows without a second header.
    QCOMPARE(InviaAvvisi(w, env), QStringLiteral("Invia 1 avviso"));
    QCOMPARE(m_server.Messaggi().size(), 1);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray dopo = f.readAll();
    QVERIFY(dopo.startsWith(registro));
    QCOMPARE(dopo.count("Data;Ora"), registro.count("Data;Ora"));
    // The member reminded recently is logged as skipped, still behind her apostrophe.
    QCOMPARE(
        dopo.mid(registro.size()),
        QByteArray("2026-12-11;10:30:00;1;'=1+1;a@e.it;2026-12-31;saltato: gi\xC3\xA0 avvisato "
                   "negli ultimi 7 giorni\r\n"
                   "2026-12-11;10:30:00;2;ALTRO;b@e.it;2026-12-31;inviato\r\n"));
}

// Avvisi.csv must be a regular file of the folder: a named pipe would hang the list, a
// symbolic link would have the log written outside the folder.
void TestRegistro::registroNonRegolare_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("collegamento") << "collegamento";
    QTest::newRow("cartella") << "cartella";
    QTest::newRow("regolare") << "regolare";
}

void TestRegistro::registroNonRegolare()
{
    QFETCH(QString, tipo);
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, "127.0.0.1", m_server.plain);
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Membro("UNO", "a@e.it")});
    const QString log = env.Percorso("Avvisi.csv");
    QTemporaryDir fuori;
    const QString bersaglio = fuori.filePath("altro.csv");
    const QByteArray contenuto = "05/12/2026;10:00:00;9;ALTRO;z@e.it;31/12/2026;inviato\r\n";
    QFile b(bersaglio);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write(contenuto);
    b.close();
    if (tipo == "pipe")
        QCOMPARE(mkfifo(QFile::encodeName(log).constData(), 0600), 0);
    else if (tipo == "collegamento")
        QVERIFY(QFile::link(bersaglio, log));
    else if (tipo == "cartella")
        QVERIFY(QDir().mkdir(log));

    // A program blocked on the pipe is set free after a while, so the test fails
    // instead of hanging.
    std::atomic<bool> fatto = false;
    std::thread guardia([&] {
        for (int i = 0; i < 1000 && !fatto; ++i)
            usleep(10000);
        while (!fatto) {
            const int fd = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            usleep(10000);
        }
    });
    // The guard stops on every way out of the test, a failed check included.
    const auto ferma = qScopeGuard([&] {
        fatto = true;
        guardia.join();
    });
    QElapsedTimer t;
    t.start();
    {
        TfrmSospesi w;
        w.show();
        const qint64 apertura = t.elapsed();
        InviaAvvisi(w, env);
        QVERIFY2(apertura < 8000, "the list waited on the log");
        QFileInfo i(log);
        if (tipo == "regolare") {
            QCOMPARE(m_server.Messaggi().size(), 1);
            QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
            QVERIFY(i.isFile() && !i.isSymLink());
        } else {
            QVERIFY(m_server.Messaggi().isEmpty());
            QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
            QVERIFY2(env->UltimoMessaggio().startsWith("Impossibile scrivere il registro degli "
                                                       "avvisi Avvisi.csv: nessun avviso"),
                     qPrintable(env->UltimoMessaggio()));
            QCOMPARE(i.isSymLink(), tipo == "collegamento");
            QCOMPARE(i.isDir(), tipo == "cartella");
        }
    }
    // The file outside the folder is as it was.
    QCOMPARE(Costruttore::LeggiFile(bersaglio), contenuto);
}

// LibreOffice Calc reads the CSV files the program writes (started once for all): the
// log of a send with accented and formula-like names, and an import outcome.
void TestRegistro::fogliDiCalcolo()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice Calc (soffice) is not installed: run scripts/prepara.sh");
    // Values a spreadsheet would compute, and the text each must stay.
    const QList<QByteArray> formule = {
        "=1+1", "=HYPERLINK(\"HTTP://ESEMPIO.IT\";\"CLIC\")", "+2+3", "-4+5", "@SUM(1;2)", "'=6+7"};
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, "127.0.0.1", m_server.plain);
    QList<QByteArray> record = {Membro("GIOSU\xC8 CANT\xD9", "g@e.it", "31/12/2026")};
    for (int i = 0; i < formule.size(); ++i)
        record << Membro(formule[i], "f" + QByteArray::number(i) + "@e.it");
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    {
        TfrmSospesi w;
        w.show();
        InviaAvvisi(w, env);
        QCOMPARE(m_server.Messaggi().size(), record.size());
    }
    const QByteArray grezzo = Costruttore::LeggiFile(env.Percorso("Avvisi.csv"));
    QVERIFY(grezzo.startsWith("\xEF\xBB\xBF"
                              "Data;Ora;Posizione;Tesserato;Indirizzo;Scadenza;Esito\r\n"));

    // An import whose rejected rows carry formula-like names, saved as the user does.
    const QString sorgente = env.Percorso("soci.csv");
    QFile s(sorgente);
    QVERIFY(s.open(QIODevice::WriteOnly));
    s.write("Cognome e nome;Data di rilascio;Data di scadenza\r\n");
    for (const QByteArray &f : formule)
        s.write("\"" + QByteArray(f).replace("\"", "\"\"") + "\";01/01/2026;01/01/2025\r\n");
    s.close();
    const QString esito = env.Percorso("Esito importazione.csv");
    env->fileDaAprire.enqueue(sorgente);
    env->fileDaSalvare.enqueue(esito);
    env->modale = [](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        Controllo<QAbstractButton>(d, "cmdProva")->click();
        Controllo<QAbstractButton>(d, "cmdSalvaEsito")->click();
        Controllo<QAbstractButton>(d, "cmdEsci")->click();
    };
    {
        TfrmAnagrafica a;
        Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    }
    QVERIFY(QFile::exists(esito));

    // Semicolons, UTF-8, and English (US) dates, where 11/12/2026 would be 12 November.
    QProcess lo;
    Soffice(lo, soffice, env.Percorso(QStringLiteral("profilo")),
            {"--infilter=CSV:59,34,76,1,,1033", "--convert-to", "ods", "--outdir",
             env.Percorso("ods"), env.Percorso("Avvisi.csv"), esito});
    if (QTest::currentTestFailed())
        return;
    const auto registro = CelleOds(env.Percorso("ods/Avvisi.ods"));
    QCOMPARE(registro.size(), 1 + record.size());
    QCOMPARE(registro[0].value(0).second, QStringLiteral("Data"));
    QCOMPARE(registro[0].value(6).second, QStringLiteral("Esito"));
    QHash<QString, QString> tipi; // name as read -> its type
    for (const auto &r : registro.mid(1)) {
        QCOMPARE(r.value(0), std::make_pair(QStringLiteral("date"), QStringLiteral("2026-12-11")));
        QCOMPARE(r.value(5), std::make_pair(QStringLiteral("date"), QStringLiteral("2026-12-31")));
        // Every name is a text, none a computed value.
        QCOMPARE(r.value(3).first, QStringLiteral("string"));
        tipi.insert(r.value(3).second, r.value(3).first);
    }
    QCOMPARE(tipi.value(QStringLiteral("GIOSUÈ CANTÙ")), QStringLiteral("string"));
    const auto importazione = CelleOds(env.Percorso("ods/Esito importazione.ods"));
    QCOMPARE(importazione.size(), 2 + formule.size());
    for (int i = 0; i < formule.size(); ++i) {
        // Text, shown with the apostrophe that keeps it from being computed.
        const QString atteso = u'\'' + QString::fromLatin1(formule[i]);
        QVERIFY2(tipi.value(atteso) == QLatin1String("string"), qPrintable(atteso));
        QCOMPARE(importazione[2 + i].value(1), std::make_pair(QStringLiteral("string"), atteso));
    }
    // The log reads back the names as they are in the archive.
    QCOMPARE(RegistroAvvisi::UltimiInvii(env.cartella()).size(), record.size());
    QVERIFY(RegistroAvvisi::UltimiInvii(env.cartella())
                .contains(RegistroAvvisi::Chiave(7, QStringLiteral("'=6+7"))));
}

void TestRegistro::rigaAndataRitorno_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("letto"); // line breaks become blanks, the rest stays
    QTest::newRow("semplice") << "ROSSI MARIO"
                              << "ROSSI MARIO";
    QTest::newRow("separatore") << "ROSSI; MARIO"
                                << "ROSSI; MARIO";
    QTest::newRow("virgolette") << "ROSSI \"MARIO\""
                                << "ROSSI \"MARIO\"";
    QTest::newRow("a capo") << "ROSSI\r\nMARIO"
                            << "ROSSI  MARIO";
    QTest::newRow("formula") << "=1+1"
                             << "=1+1";
    QTest::newRow("apostrofo") << "'=6+7"
                               << "'=6+7";
    QTest::newRow("apostrofo solo") << "'ROSSI"
                                    << "'ROSSI";
    QTest::newRow("tutto") << "=\"A\";B\nC"
                           << "=\"A\";B C";
}

// What the log writes it reads back the same, for names a CSV line finds awkward.
void TestRegistro::rigaAndataRitorno()
{
    QFETCH(QString, nome);
    QFETCH(QString, letto);
    RegistroAvvisi::TRigaAvviso r{
        QDate(2026, 12, 11), QTime(9, 5, 7),         12, nome, QStringLiteral("a;b@x.it"),
        QDate(2026, 12, 31), RegistroAvvisi::Inviato};
    const QString riga = RegistroAvvisi::Riga(r);
    QVERIFY(!riga.contains(u'\n') && !riga.contains(u'\r'));
    const auto l = RegistroAvvisi::LeggiRiga(riga);
    QVERIFY(l);
    r.tesserato = letto;
    QCOMPARE(*l, r);
    // Through the file as well: the member is known as reminded.
    Ambiente env;
    {
        RegistroAvvisi::TRegistro registro(env.cartella());
        QVERIFY(registro.Scrivi(r));
    }
    QCOMPARE(RegistroAvvisi::UltimiInvii(env.cartella()).value(RegistroAvvisi::Chiave(12, nome)),
             QDate(2026, 12, 11));
}

// Each value of a line sits under its own header cell, and the header is no record.
void TestRegistro::rigaSecondoIntestazione()
{
    const RegistroAvvisi::TRigaAvviso r{
        QDate(2026, 1, 2), QTime(3, 4, 5),     6, QStringLiteral("N"), QStringLiteral("i@x.it"),
        QDate(2027, 8, 9), QStringLiteral("E")};
    const QStringList campi = Csv::Campi(RegistroAvvisi::Riga(r));
    const QStringList &intestazione = RegistroAvvisi::Intestazione;
    QCOMPARE(campi.size(), intestazione.size());
    const QHash<QString, QString> attesi = {
        {"Data", "2026-01-02"},  {"Ora", "03:04:05"},        {"Posizione", "6"}, {"Tesserato", "N"},
        {"Indirizzo", "i@x.it"}, {"Scadenza", "2027-08-09"}, {"Esito", "E"}};
    for (qsizetype i = 0; i < intestazione.size(); ++i)
        QCOMPARE(campi[i], attesi.value(intestazione[i]));
    QVERIFY(!RegistroAvvisi::LeggiRiga(Csv::Riga(intestazione)));
    // A line of an older log, with dd/mm/yyyy dates, is read as well.
    const auto vecchia =
        RegistroAvvisi::LeggiRiga(QStringLiteral("02/01/2026;03:04:05;6;N;i@x.it;09/08/2027;E"));
    QVERIFY(vecchia);
    QCOMPARE(*vecchia, r);
}

QTEST_MAIN(TestRegistro)
#include "tst_registro.moc"
