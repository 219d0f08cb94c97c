// Each seam of the platform layer, used once as a screen would use it.
#include "platform/Applicazione.h"
#include "platform/Istanza.h"
#include "platform/Piattaforma.h"
#include "platform/SorgenteFotogrammi.h"
#include "support/Supporto.h"
#include "widgets/OpenURL.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPrinter>
#include <QPushButton>
#include <QSysInfo>
#include <QUrlQuery>
#include <QtTest>

#include <stdexcept>

#include <sys/stat.h>

using Piattaforma::Forma;

class TestPiattaforma : public QObject {
    Q_OBJECT

private slots:
    void messaggiRegistrati();
    void domandeConRisposte();
    void dialoghiFile();
    void modaleGestito();
    void modaleSenzaGestore();
    void apriDocumento_data();
    void apriDocumento();
    void linkMailCodificato();
    void stampa();
    void dataEOra();
    void cartellaDati_data();
    void cartellaDati();
    void fotocamera();
    void erroreGenerale();
    void traduzioniItaliane();
    void unaCopiaAllaVolta();
    void bloccoDaAltrove_data();
    void bloccoDaAltrove();
};

void TestPiattaforma::messaggiRegistrati()
{
    Ambiente env;
    Piattaforma::Avviso("uno\n\rdue");
    Piattaforma::Errore("e");
    Piattaforma::Informazione("i");
    Piattaforma::Messaggio("m");
    QCOMPARE(env->messaggi.size(), 4);
    QCOMPARE(env->messaggi[0].forma, Forma::Avviso);
    QCOMPARE(env->messaggi[0].testo, QString("uno\n\rdue")); // shown exactly as given
    QCOMPARE(env->messaggi[1].forma, Forma::Errore);
    QCOMPARE(env->messaggi[2].forma, Forma::Informazione);
    QCOMPARE(env->messaggi[3].forma, Forma::Messaggio);
    QCOMPARE(Piattaforma::TitoloForma(Forma::Avviso), QString("Attenzione"));
}

void TestPiattaforma::domandeConRisposte()
{
    Ambiente env;
    env->risposte << true << false;
    QVERIFY(Piattaforma::Domanda("a?"));
    QVERIFY(!Piattaforma::Domanda("b?"));
    QVERIFY(!Piattaforma::Domanda("c?")); // unanswered counts as No
    QCOMPARE(env->messaggi.size(), 3);
    QCOMPARE(env->UltimaForma(), Forma::Domanda);
}

void TestPiattaforma::dialoghiFile()
{
    Ambiente env;
    env->fileDaAprire << "/tmp/a.jpg"
                      << "";
    env->fileDaSalvare << "/tmp/b.jpg";
    QCOMPARE(Piattaforma::ApriFile(nullptr, "t", {"JPEG (*.jpg)"}), QString("/tmp/a.jpg"));
    QCOMPARE(Piattaforma::ApriFile(nullptr, "t", {"JPEG (*.jpg)"}), QString());
    QCOMPARE(Piattaforma::ApriFile(nullptr, "t", {"JPEG (*.jpg)"}), QString());
    QCOMPARE(Piattaforma::SalvaFile(nullptr, "t", "Foto.jpg", "JPEG (*.jpg)"),
             QString("/tmp/b.jpg"));
    QCOMPARE(Piattaforma::SalvaFile(nullptr, "t", "Foto.jpg", "JPEG (*.jpg)"), QString());
}

void TestPiattaforma::modaleGestito()
{
    Ambiente env;
    QDialog dlg;
    auto *ok = new QPushButton("OK", &dlg);
    ok->setObjectName("cmdOK");
    connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    bool visibileAlGestore = false;
    env->modale = [&](QDialog *d) {
        visibileAlGestore = d->isVisible();
        Controllo<QPushButton>(d, "cmdOK")->click();
    };
    QCOMPARE(Piattaforma::MostraModale(&dlg), int(QDialog::Accepted));
    QVERIFY(visibileAlGestore);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(env->modaliMostrati, QStringList{"QDialog"});
}

void TestPiattaforma::modaleSenzaGestore()
{
    Ambiente env;
    QDialog dlg;
    QCOMPARE(Piattaforma::MostraModale(&dlg), int(QDialog::Rejected));
    QVERIFY(!dlg.isVisible());
}

void TestPiattaforma::apriDocumento_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("quoted path") << "\"/prog/Guida.pdf\"" << QUrl::fromLocalFile("/prog/Guida.pdf");
    QTest::newRow("path with blanks") << "\"/prog/Documenti_Allegati/a b&c.pdf\""
                                      << QUrl::fromLocalFile("/prog/Documenti_Allegati/a b&c.pdf");
    QTest::newRow("web") << "https://www.esempio.it" << QUrl("https://www.esempio.it");
    QTest::newRow("mail") << "\"mailto:socio@esempio.it\"" << QUrl("mailto:socio@esempio.it");
}

void TestPiattaforma::apriDocumento()
{
    QFETCH(QString, testo);
    QFETCH(QUrl, url);
    Ambiente env;
    TMisc::Open(testo);
    QCOMPARE(env->aperti, QStringList{testo}); // the exact text handed over
    QCOMPARE(env->urlAperti.value(0), url);
}

void TestPiattaforma::linkMailCodificato()
{
    // Values holding &, ?, # or % arrive whole at the mail program.
    const QString corpo = "Gentile R&D #1, 100% ok? sì";
    const QUrl url =
        Piattaforma::UrlDaComando("\"mailto:a@b.it?subject=Rinnovo tessera&body=" + corpo + "\"");
    QCOMPARE(url.scheme(), QString("mailto"));
    QCOMPARE(url.path(), QString("a@b.it"));
    const QUrlQuery q(url);
    QCOMPARE(q.queryItemValue("subject", QUrl::FullyDecoded), QString("Rinnovo tessera"));
    QCOMPARE(q.queryItemValue("body", QUrl::FullyDecoded), corpo);
}

void TestPiattaforma::stampa()
{
    Ambiente env;
    QPrinter p;
    env->annullaStampa = true;
    env->stampaSuPdf = env.Percorso("out.pdf");
    QVERIFY(!Piattaforma::DialogoStampa(p));
    env->annullaStampa = false;
    QVERIFY(Piattaforma::DialogoStampa(p));
    QCOMPARE(p.outputFileName(), env.Percorso("out.pdf"));
    QCOMPARE(env->dialoghiStampa, 2);
    env->stampanti.clear();
    QVERIFY(!Piattaforma::DialogoStampa(p));
    QCOMPARE(env->UltimoMessaggio(), QString("You have no printers installed"));
    QCOMPARE(env->dialoghiStampa, 2);
}

void TestPiattaforma::dataEOra()
{
    Ambiente env;
    env->oggi = QDate(2025, 3, 5);
    env->ora = QTime(9, 7);
    QCOMPARE(Piattaforma::Oggi(), QDate(2025, 3, 5));
    QCOMPARE(Piattaforma::Ora(), QTime(9, 7));
    QCOMPARE(Piattaforma::CartellaProgramma(), env.cartella());
}

void TestPiattaforma::cartellaDati_data()
{
    QTest::addColumn<bool>("scrivibile");
    QTest::addColumn<bool>("fileAlPosto"); // a file where the program folder should be
    QTest::addColumn<bool>("nellUtente");
    QTest::addColumn<QString>("fissa"); // a real folder instead of a temporary one
    QTest::newRow("cartella del programma scrivibile") << true << false << false << QString();
    QTest::newRow("cartella del programma non scrivibile") << false << false << true << QString();
    QTest::newRow("un file al posto della cartella") << true << true << true << QString();
    // Root, who runs the tests, can write there: an installed program run by root.
    QTest::newRow("cartella dei comandi del sistema") << true << false << true << "/usr/bin";
}

void TestPiattaforma::cartellaDati()
{
    QFETCH(bool, scrivibile);
    QFETCH(bool, fileAlPosto);
    QFETCH(bool, nellUtente);
    Ambiente env;
    QFETCH(QString, fissa);
    const QString programma = fissa.isEmpty() ? env.Percorso("bin") : fissa;
    const QString utente = env.Percorso("home/.local/share/Quorvel");
    if (fileAlPosto)
        QVERIFY(QFile(programma).open(QIODevice::WriteOnly));
    else
        QVERIFY(QDir().mkpath(programma));
    env->cartella = programma;
    env->cartellaUtente = utente;
    env->cartellaScrivibile = scrivibile;
    QCOMPARE(Piattaforma::CartellaProgramma(), nellUtente ? utente : programma);
    // The user's folder is made when it is used, and only then.
    QCOMPARE(QFileInfo(utente).isDir(), nellUtente);
    // The installed files are still found from the executable's folder.
    QCOMPARE(Piattaforma::CartellaEseguibile(), programma);
}

void TestPiattaforma::fotocamera()
{
    Ambiente env;
    QVERIFY(!Piattaforma::Fotocamera()->Disponibile()); // no camera unless a test gives one
    env->fotocamera = [](QObject *p) { return std::make_unique<SorgenteManuale>(true, p); };
    auto camera = Piattaforma::Fotocamera();
    auto *manuale = static_cast<SorgenteManuale *>(camera.get());
    QImage ricevuta;
    connect(camera.get(), &SorgenteFotogrammi::Fotogramma, this,
            [&](const QImage &i) { ricevuta = i; });
    manuale->Invia(Immagine(4, 4, Qt::red)); // not started: nothing arrives
    QVERIFY(ricevuta.isNull());
    camera->Avvia();
    manuale->Invia(Immagine(4, 4, Qt::red));
    QCOMPARE(ricevuta.size(), QSize(4, 4));
}

void TestPiattaforma::erroreGenerale()
{
    // An error no handler caught shows its own text and the program goes on: the next
    // event is handled, and its error reported too.
    Ambiente env;
    QPushButton b;
    int clic = 0;
    connect(&b, &QPushButton::clicked, this, [&clic] {
        ++clic;
        throw std::runtime_error(clic == 1 ? "disco pieno" : "di nuovo");
    });
    QTest::mouseClick(&b, Qt::LeftButton);
    QCOMPARE(env->UltimaForma(), Forma::ErroreGenerale);
    QCOMPARE(env->UltimoMessaggio(), QString("disco pieno"));
    QTest::mouseClick(&b, Qt::LeftButton);
    QCOMPARE(clic, 2);
    QCOMPARE(env->messaggi.size(), 2);
    QCOMPARE(env->UltimoMessaggio(), QString("di nuovo"));
}

void TestPiattaforma::traduzioniItaliane()
{
    // Qt's own buttons speak Italian.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Annulla"));
}

void TestPiattaforma::unaCopiaAllaVolta()
{
    Ambiente env;
    {
        TBloccoIstanza prima(env.cartella());
        QVERIFY(prima.Acquisito());
        TBloccoIstanza seconda(env.cartella());
        QVERIFY(!seconda.Acquisito());
    }
    // Released on exit.
    QVERIFY(TBloccoIstanza(env.cartella()).Acquisito());
    // Left behind by a copy that crashed: recovered.
    QFile f(env.Percorso("Quorvel.lock"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("999999\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
            QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();
    QVERIFY(TBloccoIstanza(env.cartella()).Acquisito());
}

void TestPiattaforma::bloccoDaAltrove_data()
{
    QTest::addColumn<QString>("blocco"); // what stands where "Quorvel.lock" goes
    QTest::addColumn<bool>("risposta");  // to the unlock question
    QTest::addColumn<QString>("esito");
    QTest::newRow("da un altro computer, sblocca") << "altro" << true << "avvia";
    QTest::newRow("da un altro computer, non sblocca") << "altro" << false << "fermo";
    QTest::newRow("vuoto") << "vuoto" << true << "avvia";
    QTest::newRow("tubo con nome") << "fifo" << true << "avvia";
    QTest::newRow("copia aperta qui") << "vivo" << true << "aperto";
    QTest::newRow("copia finita qui") << "morto" << false << "avvia";
    QTest::newRow("cartella non scrivibile") << "cartella" << true << "cartella";
}

void TestPiattaforma::bloccoDaAltrove()
{
    QFETCH(QString, blocco);
    QFETCH(bool, risposta);
    QFETCH(QString, esito);
    Ambiente env;
    env->risposte.enqueue(risposta);
    QString cartella = env.cartella();
    const QString file = env.Percorso("Quorvel.lock");
    const auto Scrivi = [&](const QByteArray &dati) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(dati);
    };
    std::unique_ptr<TBloccoIstanza> altra;
    if (blocco == u"altro")
        Scrivi("4242\nQuorvel\naltro-pc\n");
    else if (blocco == u"vuoto")
        Scrivi("");
    else if (blocco == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    else if (blocco == u"vivo")
        altra = std::make_unique<TBloccoIstanza>(cartella);
    else if (blocco == u"morto")
        Scrivi("999999\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
               QSysInfo::machineHostName().toUtf8() + "\n");
    else { // the program folder's name is taken by a file
        cartella = env.Percorso("cartella");
        QFile f(cartella);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

    TBloccoIstanza questa(cartella);
    QCOMPARE(questa.Prendi(), esito == u"avvia");
    QCOMPARE(questa.Acquisito(), esito == u"avvia");
    const bool chiede = blocco == u"altro" || blocco == u"vuoto" || blocco == u"fifo";
    // One question or one message; a lock left by a crash here is taken silently.
    QCOMPARE(env->messaggi.size(), blocco == u"morto" ? 0 : 1);
    if (chiede) {
        QCOMPARE(env->messaggi[0].forma, Forma::Domanda);
        const QString domanda = env->messaggi[0].testo;
        QVERIFY(domanda.endsWith(QStringLiteral("Sbloccare la cartella e avviare Quorvel?")));
        const QString data = QFileInfo(file).lastModified().toString(QStringLiteral("dd/MM/yyyy"));
        if (blocco == u"altro") {
            QVERIFY(domanda.contains(QStringLiteral("computer \"altro-pc\" (processo 4242)")));
            QVERIFY(domanda.contains(data));
        } else {
            QVERIFY(domanda.contains(QStringLiteral("vuoto o illeggibile")));
        }
    }
    if (esito == u"aperto") {
        QCOMPARE(env->UltimaForma(), Forma::Avviso);
        QCOMPARE(env->UltimoMessaggio(), TBloccoIstanza::Messaggio());
    } else if (esito == u"cartella") {
        QCOMPARE(env->UltimaForma(), Forma::Errore);
        QCOMPARE(env->UltimoMessaggio(), TBloccoIstanza::MessaggioCartella(cartella));
    } else if (esito == u"fermo") {
        QCOMPARE(Costruttore::LeggiFile(file), QByteArray("4242\nQuorvel\naltro-pc\n"));
    } else {
        // The folder is this copy's now.
        QLockFile prova(file);
        qint64 pid = 0;
        QString computer, programma;
        QVERIFY(prova.getLockInfo(&pid, &computer, &programma));
        QCOMPARE(pid, QCoreApplication::applicationPid());
    }
}

int main(int argc, char **argv)
{
    TApplicazione app(argc, argv);
    TestPiattaforma t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_piattaforma.moc"
