// The reminder log Avvisi.csv and the mail settings that guard the login, against a real
// SMTP server (aiosmtpd, tests/support/smtp_prova.py, started once) and, for the CSV files
// the program writes, LibreOffice Calc reading them (started once): header, byte order
// mark, ISO dates, formula-like values kept as text, the log only as a regular file, the
// login never sent in clear to another computer unless the user allowed it, the CA file
// chosen on the screen and what the screen says about the keychain.
#include "archive/Impostazioni.h"
#include "lists/Sospesi.h"
#include "registry/Anagrafica.h"
#include "registry/Posta.h"
#include "registry/RegistroAvvisi.h"
#include "registry/Smtp.h"
#include "support/Supporto.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
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

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Mittente = QStringLiteral("segreteria@prova.it");

QByteArray Membro(const QByteArray &nome, const QByteArray &email,
                  const QByteArray &scadenza = "31/12/2026")
{
    return Costruttore::Record({{"Tesserato", nome},
                                {"NumTessera", "1"},
                                {"DataRil", "01/01/2026"},
                                {"DataScade", scadenza},
                                {"Preavviso", "30"},
                                {"Email", email},
                                {"Annullata", "No"}});
}

bool Esegui(const QString &programma, const QStringList &argomenti, const QString &cartella)
{
    QProcess p;
    p.setWorkingDirectory(cartella);
    p.start(programma, argomenti);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// An IPv4 address of this computer that is not loopback, or an empty text.
QString IndirizzoNonLocale()
{
    ifaddrs *lista = nullptr;
    if (getifaddrs(&lista) != 0)
        return {};
    QString r;
    for (ifaddrs *i = lista; i && r.isEmpty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET)
            continue;
        char testo[INET_ADDRSTRLEN] = {};
        const auto *a = reinterpret_cast<const sockaddr_in *>(i->ifa_addr);
        if (inet_ntop(AF_INET, &a->sin_addr, testo, sizeof testo) &&
            !QByteArray(testo).startsWith("127."))
            r = QString::fromLatin1(testo);
    }
    freeifaddrs(lista);
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
    QProcess m_server;
    int m_plain = 0, m_ssl = 0, m_altra = 0;
    QString m_posta, m_ca, m_altro;

    QList<QJsonObject> Messaggi() const
    {
        QList<QJsonObject> r;
        for (const QString &n : QDir(m_posta).entryList({"0*.json"}, QDir::Files, QDir::Name)) {
            QFile f(QDir(m_posta).filePath(n));
            if (f.open(QIODevice::ReadOnly))
                r.append(QJsonDocument::fromJson(f.readAll()).object());
        }
        return r;
    }
    // The logins the server received, one line each ("PLAIN quorvel").
    QString Autenticazioni() const
    {
        QFile f(QDir(m_posta).filePath("autenticazioni"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static void Imposta(Ambiente &env, const QString &server, int porta)
    {
        TImpostazioniPosta p;
        p.server = server;
        p.porta = porta;
        p.sicurezza = Sicurezza::Nessuna;
        p.utente = QStringLiteral("quorvel");
        p.mittente = Mittente;
        p.nomeMittente = QStringLiteral("Segreteria");
        p.Salva(env.cartella());
        TImpostazioniPosta::SalvaPasswordInChiaro(env.cartella(), QStringLiteral("segreta"));
    }
    // Confirms the question and waits for the batch to end.
    static void InviaAvvisi(TfrmSospesi &w, Ambiente &env)
    {
        env->risposte.enqueue(true);
        Controllo<QPushButton>(&w, "cmdAvvisi")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.InInvio(), 60000);
    }
    // The lines of the list that show a reminder.
    static QStringList Avvisati(TfrmSospesi &w)
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
    // The mail settings screen filled for a test message to the server.
    static void Compila(TfrmPosta &w, const QString &server, int porta, const QString &sicurezza)
    {
        Controllo<QLineEdit>(&w, "txtServer")->setText(server);
        Controllo<QComboBox>(&w, "cboSicurezza")->setCurrentText(sicurezza);
        Controllo<QLineEdit>(&w, "txtPorta")->setText(QString::number(porta));
        Controllo<QLineEdit>(&w, "txtUtente")->setText("quorvel");
        Controllo<QLineEdit>(&w, "txtPassword")->setText("segreta");
        Controllo<QLineEdit>(&w, "txtMittente")->setText(Mittente);
        Controllo<QLineEdit>(&w, "txtNomeMittente")->setText("Segreteria");
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
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
    void registriPrecedenti_data();
    void registriPrecedenti();
    void registroNonRegolare_data();
    void registroNonRegolare();
    void fogliDiCalcolo();
};

void TestRegistro::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString c = m_dir.path();
    m_posta = QDir(c).filePath("posta");
    QVERIFY(QDir().mkpath(m_posta));
    // A certificate authority and a server certificate for 127.0.0.1, made now.
    QFile ext(QDir(c).filePath("ext.cnf"));
    QVERIFY(ext.open(QIODevice::WriteOnly));
    ext.write("subjectAltName=IP:127.0.0.1\n");
    ext.close();
    const QStringList ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    QVERIFY(Esegui("openssl",
                   QStringList{"req", "-x509"} + ec +
                       QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj",
                                   "/CN=Quorvel prova CA"},
                   c));
    QVERIFY(Esegui(
        "openssl",
        QStringList{"req"} + ec +
            QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"},
        c));
    QVERIFY(Esegui("openssl",
                   {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                    "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "ext.cnf"},
                   c));
    m_ca = QDir(c).filePath("ca.pem");

    // A fourth listener on an address of this computer that is not loopback, where one
    // exists: the program must treat it as another computer.
    m_altro = IndirizzoNonLocale();
    const QString script = QFINDTESTDATA("support/smtp_prova.py");
    QVERIFY(!script.isEmpty());
    QStringList argomenti = {script,
                             "--cartella",
                             m_posta,
                             "--cert",
                             QDir(c).filePath("server.pem"),
                             "--key",
                             QDir(c).filePath("server.key")};
    if (!m_altro.isEmpty())
        argomenti << "--altro" << m_altro;
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start("/usr/bin/python3", argomenti);
    QVERIFY(m_server.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine() || m_server.state() != QProcess::Running,
                             20000);
    const QList<QByteArray> porte = m_server.readLine().trimmed().split(' ');
    QCOMPARE(porte.size(), m_altro.isEmpty() ? 4 : 5);
    m_plain = porte[1].toInt();
    m_ssl = porte[3].toInt();
    m_altra = porte.value(4).toInt();
    QVERIFY(m_plain > 0 && m_ssl > 0);
}

void TestRegistro::cleanupTestCase()
{
    m_server.closeWriteChannel(); // the server stops when its input ends
    if (!m_server.waitForFinished(10000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

void TestRegistro::init()
{
    for (const QString &n : QDir(m_posta).entryList(QDir::Files))
        QFile::remove(QDir(m_posta).filePath(n));
}

void TestRegistro::regolaAccesso_data()
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

void TestRegistro::regolaAccesso()
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
void TestRegistro::accessoInChiaro_data()
{
    QTest::addColumn<bool>("remoto");
    QTest::addColumn<bool>("spuntata");
    QTest::addColumn<bool>("inviato");
    QTest::newRow("remoto, rifiutato") << true << false << false;
    QTest::newRow("remoto, spuntata") << true << true << true;
    QTest::newRow("questo computer") << false << false << true;
}

void TestRegistro::accessoInChiaro()
{
    QFETCH(bool, remoto);
    QFETCH(bool, spuntata);
    QFETCH(bool, inviato);
    if (remoto && m_altro.isEmpty())
        QSKIP("This computer has no address but loopback.");
    Ambiente env;
    TfrmPosta w;
    w.show();
    Compila(w, remoto ? m_altro : QStringLiteral("127.0.0.1"), remoto ? m_altra : m_plain,
            "Nessuna");
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
        QCOMPARE(Messaggi().size(), 1);
        QVERIFY(Autenticazioni().contains(" quorvel\n"));
    } else {
        QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
        QVERIFY2(env->UltimoMessaggio().contains("non è cifrato") &&
                     env->UltimoMessaggio().contains("non sono stati inviati") &&
                     env->UltimoMessaggio().contains(m_altro),
                 qPrintable(env->UltimoMessaggio()));
        // Nothing reached the server: no login, no message.
        QCOMPARE(Autenticazioni(), QString());
        QVERIFY(Messaggi().isEmpty());
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
void TestRegistro::avvisiInChiaro()
{
    if (m_altro.isEmpty())
        QSKIP("This computer has no address but loopback.");
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, m_altro, m_altra);
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Membro("UNO", "a@e.it")});
    TfrmSospesi w;
    w.show();
    env->risposte.enqueue(true);
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QVERIFY(!w.InInvio());
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QVERIFY2(env->UltimoMessaggio().contains("non è cifrato"), qPrintable(env->UltimoMessaggio()));
    QCOMPARE(Autenticazioni(), QString());
    QVERIFY(Messaggi().isEmpty());
    QVERIFY(!QFile::exists(env.Percorso("Avvisi.csv")));
}

void TestRegistro::testoPortachiavi_data()
{
    QTest::addColumn<bool>("portachiavi");
    QTest::newRow("nessun portachiavi") << false;
    QTest::newRow("portachiavi") << true;
}

void TestRegistro::testoPortachiavi()
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
    Compila(w, "127.0.0.1", m_plain, "Nessuna");
    Controllo<QPushButton>(&w, "cmdSalva")->click();
    QCOMPARE(Controllo<QLabel>(&w, "lblPortachiavi")->text(), testo);
}

void TestRegistro::fileCA()
{
    Ambiente env;
    TfrmPosta w;
    w.show();
    Compila(w, "127.0.0.1", m_ssl, "SSL/TLS");
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
    QCOMPARE(Messaggi().size(), 1);
    // Saved, and shown again when the screen opens.
    Controllo<QPushButton>(&w, "cmdSalva")->click();
    QCOMPARE(TFileIni(env.Percorso("Quorvel.ini")).Leggi("Posta Elettronica", "FileCA"), m_ca);
    TfrmPosta altra;
    altra.show();
    QCOMPARE(Controllo<QLineEdit>(&altra, "txtFileCA")->text(), m_ca);
}

void TestRegistro::conteggi_data()
{
    QTest::addColumn<int>("membri");
    QTest::addColumn<int>("giorni");
    QTest::addColumn<QString>("domanda");
    QTest::addColumn<QString>("recenti");
    QTest::newRow("uno") << 1 << 1 << "elettronica a 1 tesserato?"
                         << "Già avvisati nell'ultimo giorno: 0";
    QTest::newRow("due") << 2 << 7 << "elettronica a 2 tesserati?"
                         << "Già avvisati negli ultimi 7 giorni: 0";
}

void TestRegistro::conteggi()
{
    QFETCH(int, membri);
    QFETCH(int, giorni);
    QFETCH(QString, domanda);
    QFETCH(QString, recenti);
    Ambiente env;
    env->oggi = QDate(2026, 12, 11);
    Imposta(env, "127.0.0.1", m_plain);
    TFileIni(env.Percorso("Quorvel.ini"))
        .Scrivi("Posta Elettronica", "Giorni", QString::number(giorni));
    QList<QByteArray> record;
    for (int i = 0; i < membri; ++i)
        record << Membro("SOCIO " + QByteArray::number(i), "s" + QByteArray::number(i) + "@e.it");
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    TfrmSospesi w;
    w.show();
    InviaAvvisi(w, env);
    QCOMPARE(env->messaggi.size(), 2);
    QVERIFY2(env->messaggi[0].testo.contains(domanda), qPrintable(env->messaggi[0].testo));
    QVERIFY2(env->messaggi[0].testo.contains(recenti), qPrintable(env->messaggi[0].testo));
    // The summary after the send has nothing to cancel: OK alone.
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY(env->UltimoMessaggio().startsWith("Invio degli avvisi concluso."));
    QCOMPARE(Messaggi().size(), membri);
    // Sending again finds nobody to remind: OK alone as well.
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY(env->UltimoMessaggio().startsWith("Nessun avviso da inviare."));
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
    Imposta(env, "127.0.0.1", m_plain);
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
    InviaAvvisi(w, env);
    QVERIFY(env->messaggi[0].testo.contains("a 1 tesserato?"));
    QCOMPARE(Messaggi().size(), 1);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray dopo = f.readAll();
    QVERIFY(dopo.startsWith(registro));
    QCOMPARE(dopo.count("Data;Ora"), registro.count("Data;Ora"));
    QVERIFY(dopo.mid(registro.size())
                .startsWith("2026-12-11;10:30:00;2;ALTRO;b@e.it;2026-12-31;"
                            "inviato\r\n"));
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
    Imposta(env, "127.0.0.1", m_plain);
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
            QCOMPARE(Messaggi().size(), 1);
            QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
            QVERIFY(i.isFile() && !i.isSymLink());
        } else {
            QVERIFY(Messaggi().isEmpty());
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
    Imposta(env, "127.0.0.1", m_plain);
    QList<QByteArray> record = {Membro("GIOSU\xC8 CANT\xD9", "g@e.it", "31/12/2026")};
    for (int i = 0; i < formule.size(); ++i)
        record << Membro(formule[i], "f" + QByteArray::number(i) + "@e.it");
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    {
        TfrmSospesi w;
        w.show();
        InviaAvvisi(w, env);
        QCOMPARE(Messaggi().size(), record.size());
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
    lo.setProgram(soffice);
    lo.setArguments({QStringLiteral("-env:UserInstallation=") +
                         QUrl::fromLocalFile(env.Percorso(QStringLiteral("profilo"))).toString(),
                     "--headless", "--norestore", "--infilter=CSV:59,34,76,1,,1033", "--convert-to",
                     "ods", "--outdir", env.Percorso("ods"), env.Percorso("Avvisi.csv"), esito});
    lo.start();
    QVERIFY2(lo.waitForStarted(30000), "soffice did not start");
    if (!lo.waitForFinished(180000)) {
        lo.kill();
        lo.waitForFinished(5000);
        QFAIL("soffice did not finish within three minutes");
    }
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

QTEST_MAIN(TestRegistro)
#include "tst_registro.moc"
