// Renewal reminders by e-mail against a real SMTP server on 127.0.0.1 (aiosmtpd run by
// Debian's /usr/bin/python3): messages as the server's own parser reads them, the log,
// refusals, a dropped connection, login and certificate failures, the settings screen.
#include "archive/CellaCsv.h"
#include "archive/Impostazioni.h"
#include "lists/Sospesi.h"
#include "mail/Posta.h"
#include "mail/core/Messaggio.h"
#include "mail/core/RegistroAvvisi.h"
#include "mail/core/Smtp.h"
#include "platform/Portachiavi.h"
#include "support/ServerPosta.h"
#include "support/Supporto.h"
#include "widgets/Sottofondo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocalServer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QtTest>

namespace {
const QString Mittente = QStringLiteral("segreteria@prova.it");
const QByteArray Scadenza = "30/06/2025"; // due on 15/06/2025 with 30 days' notice
// Accented and longer than one encoded word (Windows-1252 in the archive).
const QByteArray Lungo = "NICOL\xD2 BIANCHI DELLA ROCCA DI SANT'ANDREA \xC8 PI\xD9";
const QString LungoTesto = QString::fromLatin1(Lungo);

QByteArray Membro(const QByteArray &nome, const QByteArray &email, const QByteArray &numero,
                  const QByteArray &sesso = QByteArray())
{
    return Costruttore::Record({{"Tesserato", nome},
                                {"Sesso", sesso},
                                {"NumTessera", numero},
                                {"DataRil", "01/07/2024"},
                                {"DataScade", Scadenza},
                                {"Preavviso", "30"},
                                {"Email", email},
                                {"Annullata", "No"}});
}
} // namespace

class TestPosta : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    int m_plain = 0, m_starttls = 0, m_ssl = 0;
    QString m_posta, m_ca;

    void Controlla(const QJsonObject &o)
    {
        QFile f(QDir(m_posta).filePath("controllo.json"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(o).toJson());
    }
    QList<QJsonObject> Messaggi() const
    {
        QList<QJsonObject> r;
        const QStringList nomi = QDir(m_posta).entryList({"0*.json"}, QDir::Files, QDir::Name);
        for (const QString &n : nomi) {
            QFile f(QDir(m_posta).filePath(n));
            if (f.open(QIODevice::ReadOnly))
                r.append(QJsonDocument::fromJson(f.readAll()).object());
        }
        return r;
    }
    QStringList Destinatari() const
    {
        QStringList r;
        for (const QJsonObject &m : Messaggi())
            r.append(m["rcpt_tos"].toArray().at(0).toString());
        return r;
    }
    int Connessioni() const
    {
        QFile f(QDir(m_posta).filePath("connessioni"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toInt() : 0;
    }
    static void Imposta(Ambiente &env, Sicurezza s, int porta, const QString &password,
                        const QString &ca = QString())
    {
        TImpostazioniPosta p;
        p.server = QStringLiteral("127.0.0.1");
        p.porta = porta;
        p.sicurezza = s;
        p.utente = QStringLiteral("quorvel");
        p.mittente = Mittente;
        p.nomeMittente = QStringLiteral("Associazione Città Prova");
        p.Salva(env.cartella());
        TImpostazioniPosta::SalvaPasswordInChiaro(env.cartella(), password);
        TFileIni(env.Percorso("Quorvel.ini"))
            .Scrivi(QStringLiteral("Posta Elettronica"), QStringLiteral("FileCA"), ca);
    }
    static QList<QStringList> Registro(Ambiente &env)
    {
        QList<QStringList> r;
        QFile f(env.Percorso("Avvisi.csv"));
        if (!f.open(QIODevice::ReadOnly))
            return r;
        QStringList righe = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
        // The header row opens the log (fromUtf8 drops the byte order mark).
        if (!righe.isEmpty() &&
            righe[0] == QStringLiteral("Data;Ora;Posizione;Tesserato;Indirizzo;Scadenza;Esito"))
            righe.removeFirst();
        for (const QString &riga : righe)
            r.append(Csv::Campi(riga));
        return r;
    }
    // What the preview showed before the batch.
    struct Anteprima {
        QStringList destinatari, saltati;
        QString messaggio, pulsante;
    };
    // Confirms the preview and waits for the batch to end.
    static void InviaAvvisi(TfrmSospesi &w, Ambiente &env, Anteprima *anteprima = nullptr)
    {
        env->modaliMostrati.clear();
        env->modale = [anteprima](QDialog *d) {
            if (anteprima) {
                anteprima->destinatari = Righe(Controllo<QListWidget>(d, "lstDestinatari"));
                anteprima->saltati = Righe(Controllo<QListWidget>(d, "lstSaltati"));
                anteprima->messaggio = Controllo<QPlainTextEdit>(d, "txtMessaggio")->toPlainText();
                anteprima->pulsante = Controllo<QPushButton>(d, "cmdInvia")->text();
            }
            Controllo<QPushButton>(d, "cmdInvia")->click();
        };
        Controllo<QPushButton>(&w, "cmdAvvisi")->click();
        QCOMPARE(env->modaliMostrati, QStringList{"TfrmAnteprimaAvvisi"});
        QTRY_VERIFY_WITH_TIMEOUT(!w.InInvio(), 60000);
    }
    static QStringList Righe(const QListWidget *l)
    {
        QStringList r;
        for (int i = 0; i < l->count(); ++i)
            r << l->item(i)->text();
        return r;
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void indirizzi_data();
    void indirizzi();
    void invioAvvisi();
    void rifiutoECaduta();
    void erroriDiCollegamento_data();
    void erroriDiCollegamento();
    void provaSicura_data();
    void provaSicura();
    void impostazioni();
    void portaPredefinita_data();
    void portaPredefinita();
    void annulla();
    void chiusuraDuranteInvio();
    void portachiaviSenzaRisposta();
};

void TestPosta::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString c = m_dir.path();
    m_posta = QDir(c).filePath("posta");
    QVERIFY(QDir().mkpath(m_posta));
    // A certificate authority and a server certificate for 127.0.0.1, made now.
    QVERIFY(ServerPosta::CreaCertificati(c));
    m_ca = QDir(c).filePath("ca.pem");

    const QString script = QFINDTESTDATA("support/smtp_prova.py");
    QVERIFY(!script.isEmpty());
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start("/usr/bin/python3",
                   {script, "--cartella", m_posta, "--cert", QDir(c).filePath("server.pem"),
                    "--key", QDir(c).filePath("server.key")});
    QVERIFY(m_server.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine() || m_server.state() != QProcess::Running,
                             20000);
    const QList<QByteArray> porte = m_server.readLine().trimmed().split(' ');
    QCOMPARE(porte.size(), 4);
    m_plain = porte[1].toInt();
    m_starttls = porte[2].toInt();
    m_ssl = porte[3].toInt();
    QVERIFY(m_plain > 0 && m_starttls > 0 && m_ssl > 0);
}

void TestPosta::cleanupTestCase()
{
    m_server.closeWriteChannel(); // the server stops when its input ends
    if (!m_server.waitForFinished(10000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

void TestPosta::init()
{
    for (const QString &n : QDir(m_posta).entryList(QDir::Files))
        QFile::remove(QDir(m_posta).filePath(n));
    Controlla({});
}

void TestPosta::indirizzi_data()
{
    QTest::addColumn<QString>("indirizzo");
    QTest::addColumn<bool>("valido");
    QTest::newRow("normale") << "mario.rossi@esempio.it" << true;
    QTest::newRow("sottodominio") << "a+b@posta.esempio.co.uk" << true;
    QTest::newRow("vuoto") << "" << false;
    QTest::newRow("senza chiocciola") << "mario.esempio.it" << false;
    QTest::newRow("due chiocciole") << "a@b@esempio.it" << false;
    QTest::newRow("dominio senza punto") << "mario@localhost" << false;
    QTest::newRow("spazio") << "mario rossi@esempio.it" << false;
    QTest::newRow("a capo") << "mario@esempio.it\r\nBcc: x@y.it" << false;
    QTest::newRow("parentesi angolari") << "mario@esempio.it>" << false;
    QTest::newRow("punto finale") << "mario@esempio." << false;
    QTest::newRow("lettera accentata") << QStringLiteral("nicolò@esempio.it") << false;
}

void TestPosta::indirizzi()
{
    QFETCH(QString, indirizzo);
    QFETCH(bool, valido);
    QCOMPARE(PostaElettronica::IndirizzoValido(indirizzo), valido);
}

void TestPosta::invioAvvisi()
{
    Ambiente env;
    Imposta(env, Sicurezza::Nessuna, m_plain, QStringLiteral("segreta"));
    // The association's name signs the messages.
    TFileIni(env.Percorso("Quorvel.ini")).Scrivi("Dati Ente", "Denominazione", "Circolo Aurora");
    const QByteArray annullato = Membro("ANNULLATO DOPO", "ann@esempio.it", "A6");
    QList<QByteArray> membri = {Membro("MARIA TERESA DELL'ORTO", "maria@esempio.it", "A0", "F"),
                                Membro("ROSSI MARIO", "mario@esempio.it", "A1", "M"),
                                Membro(Lungo, "nicolo@esempio.it", "A2"),
                                // A line break in a name must not start a header of its own.
                                Membro("VERDI\r\nBcc: spia@esempio.it", "verdi@esempio.it", "A3"),
                                Membro("SENZA POSTA", "", "A4"),
                                Membro("POSTA ERRATA", "posta errata@esempio", "A5"), annullato,
                                Costruttore::Record({{"Tesserato", "NON SCADUTO"},
                                                     {"DataScade", "31/12/2026"},
                                                     {"Preavviso", "30"},
                                                     {"Email", "no@esempio.it"},
                                                     {"Annullata", "No"}})};
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), membri);
    TfrmSospesi w;
    w.show();
    // Cancelled after the list was built.
    membri[6] = annullato;
    membri[6].replace(Costruttore::Offset("Annullata"), 3, QByteArray("\x02S\xEC", 3));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), membri);

    // Going back from the preview sends and logs nothing.
    env->modale = [](QDialog *d) { Controllo<QPushButton>(d, "cmdAnnulla")->click(); };
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmAnteprimaAvvisi"});
    QVERIFY(!w.InInvio());
    QVERIFY(env->messaggi.isEmpty());
    QVERIFY(!QFile::exists(env.Percorso("Avvisi.csv")));

    Anteprima anteprima;
    InviaAvvisi(w, env, &anteprima);
    // The preview named who gets a message and who not, and why.
    QCOMPARE(anteprima.destinatari,
             (QStringList{"MARIA TERESA DELL'ORTO <maria@esempio.it>",
                          LungoTesto + " <nicolo@esempio.it>", "ROSSI MARIO <mario@esempio.it>",
                          "VERDI Bcc: spia@esempio.it <verdi@esempio.it>"}));
    QCOMPARE(anteprima.saltati,
             (QStringList{"ANNULLATO DOPO <ann@esempio.it>: tessera annullata",
                          "POSTA ERRATA <posta errata@esempio>: indirizzo e-mail non valido",
                          "SENZA POSTA: senza indirizzo e-mail"}));
    QCOMPARE(anteprima.pulsante, QStringLiteral("Invia 4 avvisi"));
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY(
        env->UltimoMessaggio().contains("Avvisi inviati: 4.\r\nSaltati: 3.\r\nNon riusciti: 0."));
    QVERIFY(env->UltimoMessaggio().endsWith(
        "Saltati:\r\nANNULLATO DOPO: tessera annullata\r\nPOSTA ERRATA: indirizzo e-mail non "
        "valido\r\nSENZA POSTA: senza indirizzo e-mail"));

    const QList<QJsonObject> posta = Messaggi();
    QCOMPARE(posta.size(), 4);
    QCOMPARE(Connessioni(), 1); // one connection for the whole batch
    QMap<QString, QJsonObject> perDestinatario;
    for (const QJsonObject &m : posta)
        perDestinatario.insert(m["rcpt_tos"].toArray().at(0).toString(), m);
    QCOMPARE(perDestinatario.keys(), (QStringList{"maria@esempio.it", "mario@esempio.it",
                                                  "nicolo@esempio.it", "verdi@esempio.it"}));
    // She is greeted as a woman, by her name as written in a letter, and the association
    // signs; the preview showed exactly the message she got.
    const QJsonObject maria = perDestinatario["maria@esempio.it"];
    const QString corpoMaria = maria["corpo"].toString().replace("\r\n", "\n");
    QVERIFY2(corpoMaria.startsWith("Gentile Sig.ra Maria Teresa Dell'Orto,\n\nle ricordiamo che "
                                   "la sua tessera n. A0, rilasciata il 01/07/2024 e con "
                                   "scadenza il 30/06/2025, deve essere rinnovata."),
             qPrintable(corpoMaria));
    QVERIFY(corpoMaria.endsWith("Cordiali saluti.\n\nCircolo Aurora"));
    QCOMPARE(anteprima.messaggio, "Da: Associazione Città Prova <segreteria@prova.it>\n"
                                  "A: MARIA TERESA DELL'ORTO <maria@esempio.it>\n"
                                  "Oggetto: " +
                                      maria["intestazioni"].toObject()["Subject"].toString() +
                                      "\n\n" + corpoMaria);
    QVERIFY(perDestinatario["mario@esempio.it"]["corpo"].toString().startsWith(
        "Gentile Sig. Rossi Mario,"));

    const QJsonObject nicolo = perDestinatario["nicolo@esempio.it"];
    QCOMPARE(nicolo["mail_from"].toString(), Mittente);
    const QJsonObject h = nicolo["intestazioni"].toObject();
    QCOMPARE(h["Subject"].toString(), QStringLiteral("Rinnovo della tessera n. A2"));
    QCOMPARE(nicolo["mittente"].toArray().at(0).toArray().at(0).toString(),
             QStringLiteral("Associazione Città Prova"));
    QCOMPARE(nicolo["destinatario"].toArray().at(0).toArray().at(1).toString(),
             QStringLiteral("nicolo@esempio.it"));
    QCOMPARE(nicolo["to_decodificato"].toString(), LungoTesto + " <nicolo@esempio.it>");
    QVERIFY(h["Date"].toString().contains("15 Jun 2025 10:30:00"));
    QVERIFY(h.contains("Date") && h.contains("Message-ID") && h.contains("MIME-Version"));
    QVERIFY(h["Message-ID"].toString().endsWith("@prova.it>"));
    QCOMPARE(nicolo["charset"].toString(), QStringLiteral("utf-8"));
    TAvviso a;
    a.nome = LungoTesto;
    a.numTessera = "A2";
    a.dataRil = "01/07/2024";
    a.dataScade = QString::fromLatin1(Scadenza);
    QCOMPARE(
        nicolo["corpo"].toString().replace("\r\n", "\n"),
        PostaElettronica::ComponiAvviso(TModelloAvviso::Predefinito(), a, "Circolo Aurora").corpo);
    const QJsonObject verdi = perDestinatario["verdi@esempio.it"];
    QVERIFY(!verdi["grezze"].toArray().contains("Bcc"));
    QCOMPARE(verdi["rcpt_tos"].toArray().size(), 1);
    QCOMPARE(verdi["destinatario"].toArray().at(0).toArray().at(0).toString(),
             QStringLiteral("VERDI  Bcc: spia@esempio.it"));

    // One log line per message, each "inviato", and one per member skipped, with the reason.
    const QList<QStringList> log = Registro(env);
    QCOMPARE(log.size(), 7);
    QStringList saltati, inviati;
    for (const QStringList &r : log) {
        QCOMPARE(r.size(), 7);
        QCOMPARE(r[0], QStringLiteral("2025-06-15"));
        QCOMPARE(r[5], QStringLiteral("2025-06-30"));
        if (r[6] == QLatin1String("inviato"))
            inviati << r[2];
        else
            saltati << r.mid(2, 3).join(u'|') + u'|' + r[6];
    }
    // In the list's order, by name.
    QCOMPARE(inviati, (QStringList{"1", "3", "2", "4"}));
    QCOMPARE(saltati, (QStringList{"7|ANNULLATO DOPO|ann@esempio.it|saltato: tessera annullata",
                                   "6|POSTA ERRATA|posta errata@esempio|saltato: indirizzo e-mail "
                                   "non valido",
                                   "5|SENZA POSTA||saltato: senza indirizzo e-mail"}));
    QVERIFY(std::any_of(log.cbegin(), log.cend(), [](const QStringList &r) {
        return r.mid(2, 3) == QStringList{"2", "ROSSI MARIO", "mario@esempio.it"};
    }));
    // Line breaks in a name stay out of the log's lines too.
    QVERIFY(std::any_of(log.cbegin(), log.cend(), [](const QStringList &r) {
        return r[3] == QLatin1String("VERDI  Bcc: spia@esempio.it");
    }));

    // The list shows the last reminder; a second run sends nothing new.
    const auto *lst = Controllo<QListView>(&w, "lstRecords");
    int avvisati = 0;
    for (int i = 0; i < lst->model()->rowCount(); ++i)
        avvisati += lst->model()->index(i, 0).data().toString().contains(
            "Scad. 30/06/2025  Avvisato 15/06/2025  Tel. ");
    QCOMPARE(avvisati, 4);
    env->messaggi.clear();
    env->modaliMostrati.clear();
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QVERIFY(env->modaliMostrati.isEmpty());
    QCOMPARE(env->messaggi.size(), 1);
    QVERIFY(env->UltimoMessaggio().startsWith("Nessun avviso da inviare."));
    QVERIFY(env->UltimoMessaggio().contains("ultimi 7 giorni: 4."));
    QCOMPARE(Messaggi().size(), 4);

    // A week later, or with chkRipeti, they are reminded again, with the text saved.
    TModelloAvviso{"Scadenza {scadenza}", "{gentile} {nome}\n{ente}"}.Salva(env.cartella());
    env->oggi = env->oggi.addDays(7);
    InviaAvvisi(w, env, &anteprima);
    QCOMPARE(anteprima.destinatari.size(), 4);
    QCOMPARE(
        anteprima.messaggio.section("\n", 2),
        "Oggetto: Scadenza 30/06/2025\n\nGentile Sig.ra Maria Teresa Dell'Orto\nCircolo Aurora");
    QCOMPARE(Messaggi().size(), 8);
    QCOMPARE(Messaggi().constLast()["intestazioni"].toObject()["Subject"].toString(),
             QStringLiteral("Scadenza 30/06/2025"));
    env->oggi = env->oggi.addDays(1);
    Controllo<QCheckBox>(&w, "chkRipeti")->setChecked(true);
    InviaAvvisi(w, env, &anteprima);
    QCOMPARE(anteprima.destinatari.size(), 4);
    QCOMPARE(Messaggi().size(), 12);
}

void TestPosta::rifiutoECaduta()
{
    Ambiente env;
    Imposta(env, Sicurezza::Nessuna, m_plain, QStringLiteral("segreta"));
    QList<QByteArray> membri;
    for (int i = 1; i <= 6; ++i)
        membri << Membro("SOCIO " + QByteArray::number(i),
                         "s" + QByteArray::number(i) + "@esempio.it", "N" + QByteArray::number(i));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), membri);
    TfrmSospesi w;
    w.show();

    // The server refuses socio 2 and cuts the connection after three messages.
    Controlla({{"rifiuta", QJsonArray{"s2@esempio.it"}}, {"cade_dopo", 3}});
    InviaAvvisi(w, env);
    QCOMPARE(Destinatari(), (QStringList{"s1@esempio.it", "s3@esempio.it", "s4@esempio.it"}));
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QVERIFY(env->UltimoMessaggio().contains("si è interrotta"));
    QVERIFY(env->UltimoMessaggio().contains("Avvisi inviati: 3."));
    QVERIFY(env->UltimoMessaggio().contains("Non inviati: 1."));
    QVERIFY(env->UltimoMessaggio().contains(
        "SOCIO 2 <s2@esempio.it>: 550 5.1.1 Destinatario sconosciuto"));
    QList<QStringList> log = Registro(env);
    QCOMPARE(log.size(), 5);
    const QStringList esiti = {"inviato", "errore: 550", "inviato", "inviato", "errore: "};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(log[i][3], QStringLiteral("SOCIO %1").arg(i + 1));
        QVERIFY2(log[i][6].startsWith(esiti[i]), qPrintable(log[i][6]));
    }
    QCOMPARE(log[4][6] == QLatin1String("inviato"), false);

    // Sending again reaches only those who got nothing.
    Controlla({});
    Anteprima anteprima;
    InviaAvvisi(w, env, &anteprima);
    QCOMPARE(anteprima.destinatari.size(), 3);
    QCOMPARE(Destinatari().mid(3),
             (QStringList{"s2@esempio.it", "s5@esempio.it", "s6@esempio.it"}));
}

void TestPosta::erroriDiCollegamento_data()
{
    QTest::addColumn<int>("caso");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("registro");
    QTest::newRow("password errata") << 0 << "ha rifiutato il nome utente o la password"
                                     << "Accesso al server rifiutato: 127.0.0.1:%1 non ha "
                                        "accettato il nome utente o la password (535 5.7.8).";
    QTest::newRow("server irraggiungibile")
        << 1 << "Impossibile collegarsi al server di posta"
        << "Server di posta non raggiungibile: 127.0.0.1:%1 non accetta il collegamento.";
    QTest::newRow("certificato non riconosciuto")
        << 2 << "Il certificato del server di posta"
        << "Connessione sicura non stabilita: il certificato di 127.0.0.1:%1 non è valido o "
           "non è riconosciuto.";
    QTest::newRow("STARTTLS senza fiducia")
        << 3 << "Il certificato del server di posta"
        << "Connessione sicura non stabilita: il certificato di 127.0.0.1:%1 non è valido o "
           "non è riconosciuto.";
}

void TestPosta::erroriDiCollegamento()
{
    QFETCH(int, caso);
    QFETCH(QString, testo);
    QFETCH(QString, registro);
    Ambiente env;
    int chiusa = 0;
    {
        QTcpServer libera; // a port nobody listens on once it is closed
        QVERIFY(libera.listen(QHostAddress::LocalHost));
        chiusa = libera.serverPort();
    }
    const int porte[] = {m_plain, chiusa, m_ssl, m_starttls};
    const Sicurezza sicurezze[] = {Sicurezza::Nessuna, Sicurezza::Nessuna, Sicurezza::SslTls,
                                   Sicurezza::StartTls};
    Imposta(env, sicurezze[caso], porte[caso],
            caso == 0 ? QStringLiteral("sbagliata") : QStringLiteral("segreta"));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Membro("UNO", "uno@esempio.it", "1"),
                                 Membro("DUE", "due@esempio.it", "2"),
                                 Membro("SENZA POSTA", "", "3")});
    TfrmSospesi w;
    w.show();
    InviaAvvisi(w, env);
    // The run failed, and says so; nobody is blamed and nobody counts as reminded.
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QVERIFY2(env->UltimoMessaggio().startsWith("Invio degli avvisi non riuscito."),
             qPrintable(env->UltimoMessaggio()));
    QVERIFY2(env->UltimoMessaggio().contains(testo), qPrintable(env->UltimoMessaggio()));
    QVERIFY(env->UltimoMessaggio().contains(
        "Avvisi inviati: 0.\r\nSaltati: 1.\r\nNon riusciti: 0.\r\nNon inviati: 2."));
    QVERIFY(!env->UltimoMessaggio().contains("UNO"));
    QVERIFY(Messaggi().isEmpty());
    // The log: the member skipped, then one line for the run in Italian, naming no member.
    const QList<QStringList> log = Registro(env);
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].mid(2, 2), (QStringList{"3", "SENZA POSTA"}));
    QCOMPARE(log[1].mid(2, 4), (QStringList{"", "", "", ""}));
    QCOMPARE(log[1][6], registro.arg(porte[caso]));
    QVERIFY(RegistroAvvisi::UltimiInvii(env.cartella()).isEmpty());
    // The next run offers both members again.
    Controlla({});
    Imposta(env, Sicurezza::Nessuna, m_plain, QStringLiteral("segreta"));
    Anteprima anteprima;
    InviaAvvisi(w, env, &anteprima);
    QCOMPARE(anteprima.destinatari.size(), 2);
    QCOMPARE(Destinatari(), (QStringList{"due@esempio.it", "uno@esempio.it"}));
}

void TestPosta::provaSicura_data()
{
    QTest::addColumn<QString>("sicurezza");
    QTest::newRow("STARTTLS") << "STARTTLS";
    QTest::newRow("SSL/TLS") << "SSL/TLS";
}

void TestPosta::provaSicura()
{
    QFETCH(QString, sicurezza);
    Ambiente env;
    // The test's certificate authority is trusted through the settings of this folder only.
    TFileIni(env.Percorso("Quorvel.ini")).Scrivi("Posta Elettronica", "FileCA", m_ca);
    TfrmPosta w;
    w.show();
    Controllo<QLineEdit>(&w, "txtServer")->setText("127.0.0.1");
    Controllo<QComboBox>(&w, "cboSicurezza")->setCurrentText(sicurezza);
    Controllo<QLineEdit>(&w, "txtPorta")
        ->setText(QString::number(sicurezza == "STARTTLS" ? m_starttls : m_ssl));
    Controllo<QLineEdit>(&w, "txtUtente")->setText("quorvel");
    Controllo<QLineEdit>(&w, "txtPassword")->setText("segreta");
    Controllo<QLineEdit>(&w, "txtMittente")->setText(Mittente);
    Controllo<QLineEdit>(&w, "txtNomeMittente")->setText("Segreteria");
    Controllo<QPushButton>(&w, "cmdProva")->click();
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY2(env->UltimoMessaggio().startsWith("Messaggio di prova inviato a " + Mittente),
             qPrintable(env->UltimoMessaggio()));
    const QList<QJsonObject> posta = Messaggi();
    QCOMPARE(posta.size(), 1);
    QCOMPARE(posta[0]["rcpt_tos"].toArray().at(0).toString(), Mittente);
    QCOMPARE(posta[0]["intestazioni"].toObject()["Subject"].toString(),
             QStringLiteral("Messaggio di prova"));
}

void TestPosta::impostazioni()
{
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Membro("UNO", "uno@esempio.it", "1")});
    TfrmSospesi w;
    w.show();
    // With no settings, "Invia avvisi" opens the mail settings first.
    bool segretoDisponibile = false;
    env->modale = [&](QDialog *d) {
        if (d->objectName() != QLatin1String("frmPosta"))
            return; // the preview that follows: Annulla
        QCOMPARE(d->windowTitle(), QStringLiteral(" Posta elettronica"));
        QVERIFY(d->isModal());
        QCOMPARE(Controllo<QLineEdit>(d, "txtGiorni")->text(), QStringLiteral("7"));
        QCOMPARE(Controllo<QLineEdit>(d, "txtPassword")->echoMode(), QLineEdit::Password);
        Controllo<QLineEdit>(d, "txtServer")->setText("posta.esempio.it");
        Controllo<QComboBox>(d, "cboSicurezza")->setCurrentText("STARTTLS");
        Controllo<QLineEdit>(d, "txtUtente")->setText("quorvel");
        Controllo<QLineEdit>(d, "txtPassword")->setText("pàss;word");
        Controllo<QLineEdit>(d, "txtMittente")->setText("non valido");
        Controllo<QLineEdit>(d, "txtGiorni")->setText("10");
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QCOMPARE(env->UltimoMessaggio(),
                 QStringLiteral("Attenzione: indicare un indirizzo e-mail del mittente valido."));
        Controllo<QLineEdit>(d, "txtMittente")->setText(Mittente);
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QCOMPARE(env->UltimoMessaggio(),
                 QStringLiteral("Impostazioni di posta elettronica salvate."));
        QCOMPARE(Controllo<QLabel>(d, "lblPortachiavi")->text().contains("gnome-keyring"),
                 !segretoDisponibile);
        Controllo<QPushButton>(d, "cmdChiudi")->click();
    };
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    // The settings now exist: the batch shows its preview (left with Annulla here).
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmPosta", "TfrmAnteprimaAvvisi"}));
    const TFileIni ini(env.Percorso("Quorvel.ini"));
    const QString s = QStringLiteral("Posta Elettronica");
    QCOMPARE(ini.Leggi(s, "Server"), QStringLiteral("posta.esempio.it"));
    QCOMPARE(ini.Leggi(s, "Porta"), QStringLiteral("587"));
    QCOMPARE(ini.Leggi(s, "Sicurezza"), QStringLiteral("STARTTLS"));
    QCOMPARE(ini.Leggi(s, "Utente"), QStringLiteral("quorvel"));
    QCOMPARE(ini.Leggi(s, "Mittente"), Mittente);
    QCOMPARE(ini.Leggi(s, "Giorni"), QStringLiteral("10"));
    // No secret store: the password is kept scrambled, never as typed, and reads back whole.
    QVERIFY(!ini.Leggi(s, "Password").isEmpty());
    QVERIFY(!ini.Leggi(s, "Password").contains("word"));
    QCOMPARE(TfrmPosta::ImpostazioniSalvate().password, QStringLiteral("pàss;word"));

    // With a secret store the password goes there and leaves the settings file.
    env->portachiavi = true;
    segretoDisponibile = true;
    env->modaliMostrati.clear();
    env->modale = [&](QDialog *d) {
        QCOMPARE(Controllo<QLineEdit>(d, "txtPassword")->text(), QStringLiteral("pàss;word"));
        Controllo<QPushButton>(d, "cmdSalva")->click();
        QVERIFY(
            Controllo<QLabel>(d, "lblPortachiavi")->text().startsWith("La password è custodita"));
        Controllo<QPushButton>(d, "cmdChiudi")->click();
    };
    Controllo<QPushButton>(&w, "cmdPosta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmPosta"});
    QCOMPARE(env->segreti.value("Posta Elettronica"), QStringLiteral("pàss;word"));
    QVERIFY(TFileIni(env.Percorso("Quorvel.ini")).Leggi(s, "Password").isEmpty());
    QCOMPARE(TfrmPosta::ImpostazioniSalvate().password, QStringLiteral("pàss;word"));
}

void TestPosta::portaPredefinita_data()
{
    QTest::addColumn<QString>("sicurezza");
    QTest::addColumn<QString>("altra"); // chosen first on the screen
    QTest::addColumn<QString>("porta");
    QTest::newRow("SSL/TLS") << "SSL/TLS"
                             << "Nessuna"
                             << "465";
    QTest::newRow("STARTTLS") << "STARTTLS"
                              << "SSL/TLS"
                              << "587";
    QTest::newRow("Nessuna") << "Nessuna"
                             << "STARTTLS"
                             << "25";
}

// The usual port of each kind of security: the one the screen proposes is the one the
// client connects to when the settings name no port.
void TestPosta::portaPredefinita()
{
    QFETCH(QString, sicurezza);
    QFETCH(QString, altra);
    QFETCH(QString, porta);
    Ambiente env;
    TFileIni ini(env.Percorso("Quorvel.ini"));
    ini.Scrivi("Posta Elettronica", "Server", "posta.esempio.it");
    ini.Scrivi("Posta Elettronica", "Sicurezza", sicurezza);
    QCOMPARE(QString::number(TfrmPosta::ImpostazioniSalvate().porta), porta);
    TfrmPosta w;
    w.show();
    auto *cbo = Controllo<QComboBox>(&w, "cboSicurezza");
    auto *txt = Controllo<QLineEdit>(&w, "txtPorta");
    QCOMPARE(cbo->currentText(), sicurezza);
    QCOMPARE(txt->text(), porta);
    cbo->setCurrentText(altra);
    QVERIFY(txt->text() != porta);
    cbo->setCurrentText(sicurezza);
    QCOMPARE(txt->text(), porta);
}

void TestPosta::annulla()
{
    Ambiente env;
    Imposta(env, Sicurezza::Nessuna, m_plain, QStringLiteral("segreta"));
    QList<QByteArray> membri;
    for (int i = 1; i <= 300; ++i)
        membri << Membro("SOCIO " + QByteArray::number(i),
                         "s" + QByteArray::number(i) + "@esempio.it", QByteArray::number(i));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), membri);
    TfrmSospesi w;
    w.show();
    env->modale = [](QDialog *d) { Controllo<QPushButton>(d, "cmdInvia")->click(); };
    Controllo<QPushButton>(&w, "cmdAvvisi")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmAnteprimaAvvisi"});
    auto *prg = Controllo<QProgressBar>(&w, "prgAvvisi");
    QVERIFY(w.InInvio());
    QVERIFY(!Controllo<QPushButton>(&w, "btnChiudi")->isEnabled());
    // The window stays responsive: the bar moves while the batch runs.
    QTRY_VERIFY_WITH_TIMEOUT(prg->value() >= 5 || !w.InInvio(), 30000);
    QVERIFY(w.InInvio());
    Controllo<QPushButton>(&w, "cmdAnnulla")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.InInvio(), 30000);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QVERIFY(env->UltimoMessaggio().startsWith("Invio degli avvisi interrotto."));
    const int ricevuti = static_cast<int>(Messaggi().size());
    QVERIFY(ricevuti > 0 && ricevuti < 300);
    // The log names exactly who got a message.
    QStringList inviati;
    for (const QStringList &r : Registro(env))
        if (r[6] == QLatin1String("inviato"))
            inviati << r[4];
    QCOMPARE(inviati, Destinatari());
}

void TestPosta::chiusuraDuranteInvio()
{
    // Each message waits 3 seconds at the server. The list closes at once while one is in
    // flight; the batch stops after it and its thread ends and frees itself alone.
    Ambiente env;
    Imposta(env, Sicurezza::Nessuna, m_plain, QStringLiteral("segreta"));
    Controlla({{"lento", 3}});
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Membro("SOCIO A", "a@esempio.it", "1"), Membro("SOCIO B", "b@esempio.it", "2")});
    auto w = std::make_unique<TfrmSospesi>();
    w->show();
    env->modale = [](QDialog *d) { Controllo<QPushButton>(d, "cmdInvia")->click(); };
    Controllo<QPushButton>(w.get(), "cmdAvvisi")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmAnteprimaAvvisi"});
    QVERIFY(w->InInvio());
    QTRY_VERIFY_WITH_TIMEOUT(Connessioni() > 0, 10000); // the first message is on its way
    QElapsedTimer t;
    t.start();
    w.reset();
    QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(Sottofondo::InCorso(), 1);
    // The program's end waits for it, without an event loop, as main() does after exec().
    QVERIFY(Sottofondo::Attendi(20000));
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 20000);
    Controlla({});
    QCOMPARE(Destinatari(), QStringList{"a@esempio.it"});
    QStringList inviati;
    for (const QStringList &r : Registro(env))
        if (r[6] == QLatin1String("inviato"))
            inviati << r[4];
    QCOMPARE(inviati, QStringList{"a@esempio.it"});
}

void TestPosta::portachiaviSenzaRisposta()
{
    // A session bus that accepts the connection and never answers: the secret store is
    // reported unavailable within the bound instead of hanging the window.
    QVERIFY(!Simulazione::Attiva());
    QTemporaryDir d;
    QLocalServer muto;
    QVERIFY(muto.listen(d.filePath("bus")));
    const QByteArray prima = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + d.filePath("bus").toLocal8Bit());
    QElapsedTimer t;
    t.start();
    QString segreto;
    QCOMPARE(Portachiavi::Leggi("Posta Elettronica", segreto), Portachiavi::Esito::NonDisponibile);
    QCOMPARE(Portachiavi::Scrivi("Posta Elettronica", "x"), Portachiavi::Esito::NonDisponibile);
    QVERIFY(t.elapsed() < Portachiavi::MillisecondiMassimi + 1000);
    QVERIFY(segreto.isEmpty());
    qputenv("DBUS_SESSION_BUS_ADDRESS", prima);
}

QTEST_MAIN(TestPosta)
#include "tst_posta.moc"
