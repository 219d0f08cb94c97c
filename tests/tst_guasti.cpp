// Failures on every write the user relies on, and corrupt files: each gives its message,
// is never reported as success, and leaves every other record and file as it was.
#include "archive/Archivio.h"
#include "archive/Impostazioni.h"
#include "cards/Tessera.h"
#include "lists/ExpAnagrafica.h"
#include "lists/TrovaAnagrafica.h"
#include "registry/Anagrafica.h"
#include "shell/CambiaPassword.h"
#include "shell/Password.h"
#include "shell/Schermate.h"
#include "shell/core/Crypt.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using Piattaforma::Forma;

namespace {

const QString MessaggioAccesso = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");

QLineEdit *Box(QWidget *w, const char *nome)
{
    return Controllo<QLineEdit>(w, nome);
}

void NuovaScheda(TfrmAnagrafica &w, const QString &nome)
{
    Controllo<QAbstractButton>(&w, "cmdNuovo")->click();
    Box(&w, "txtTesserato")->setText(nome);
    Box(&w, "txtDataRil")->setText(QStringLiteral("01/01/2025"));
    Box(&w, "txtDataScade")->setText(QStringLiteral("31/12/2025"));
}

bool NessunSuccesso(const Simulazione &sim)
{
    for (const auto &m : sim.messaggi)
        if (m.forma == Forma::Informazione)
            return false;
    return true;
}
} // namespace

class TestGuasti : public QObject {
    Q_OBJECT

private slots:
    void salvataggioSenzaSpazio();
    void salvataggioInterrotto();
    void fotoInterrotta();
    void impostazioniInterrotte();
    void cambioPasswordInterrotto();
    void esportazioneInterrotta();
    void archivioCasuale();
    void fileEstranei_data();
    void fileEstranei();
    void archivioOltreLUltimaPosizione();
    void impostazioneSuDueRighe();
};

void TestGuasti::salvataggioSenzaSpazio()
{
    // The archive lies on a device with no room left.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("/dev/full is not available here");
    Ambiente env;
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), env.Percorso("Tesserati.pro")));
    TfrmAnagrafica w;
    w.show();
    NuovaScheda(w, QStringLiteral("ROSSI MARIO"));
    Controllo<QAbstractButton>(&w, "cmdSalva")->click();
    QCOMPARE(env->UltimoMessaggio(), MessaggioAccesso);
    QVERIFY(NessunSuccesso(env.sim()));
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QString());
    QVERIFY(!QFile::exists(env.Percorso("1.jpg"))); // no photo for a record never stored
}

void TestGuasti::salvataggioInterrotto()
{
    // The disk gives way in the middle of the new record: the archive keeps exactly
    // its three records, byte for byte, and the user is told.
    Ambiente env;
    const QList<QByteArray> tre = {Costruttore::Tesserato("A"), Costruttore::Tesserato("B"),
                                   Costruttore::Tesserato("C")};
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), tre);
    const QByteArray prima = Costruttore::LeggiFile(env.Percorso("Tesserati.pro"));
    TfrmAnagrafica w;
    w.show();
    NuovaScheda(w, QStringLiteral("DQUATTRO"));
    {
        DiscoCheCede disco(3 * 2764 + 1000);
        Controllo<QAbstractButton>(&w, "cmdSalva")->click();
    }
    QCOMPARE(env->UltimoMessaggio(), MessaggioAccesso);
    QVERIFY(NessunSuccesso(env.sim()));
    QCOMPARE(Costruttore::LeggiFile(env.Percorso("Tesserati.pro")), prima);
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QString());

    // With room again the same screen saves it as the fourth record.
    Controllo<QAbstractButton>(&w, "cmdSalva")->click();
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QStringLiteral("4"));
    QCOMPARE(Costruttore::LeggiFile(env.Percorso("Tesserati.pro")).left(3 * 2764), prima);
}

void TestGuasti::fotoInterrotta()
{
    // The record is saved; its new photo does not fit on the disk: the old photo file
    // stays whole, the user is warned, and the picture stays on screen.
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Costruttore::Tesserato("A")});
    QImage vecchia = Immagine(40, 40, Qt::blue);
    QVERIFY(vecchia.save(env.Percorso("1.jpg"), "JPG"));
    const QByteArray primaFoto = Costruttore::LeggiFile(env.Percorso("1.jpg"));
    TfrmAnagrafica w;
    w.show();
    Controllo<QAbstractButton>(&w, "cmdPrimo")->click();
    QImage rumore(600, 600, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < rumore.height(); ++y)
        for (int x = 0; x < rumore.width(); ++x)
            rumore.setPixel(x, y, rng.generate());
    Controllo<TImmagine>(&w, "imgFoto")->SetPicture(rumore);
    {
        DiscoCheCede disco(2764 + 4096);
        Controllo<QAbstractButton>(&w, "cmdSalva")->click();
    }
    QCOMPARE(env->messaggi.size(), 2);
    QCOMPARE(env->messaggi[0].forma, Forma::Avviso);
    QCOMPARE(env->messaggi[1].forma, Forma::Informazione);
    QCOMPARE(Costruttore::LeggiFile(env.Percorso("1.jpg")), primaFoto);
    QCOMPARE(Controllo<TImmagine>(&w, "imgFoto")->Picture().size(), QSize(600, 600));
}

void TestGuasti::impostazioniInterrotte()
{
    Ambiente env;
    const QString percorso = env.Percorso("Quorvel.ini");
    TFileIni(percorso).Scrivi("Dati Ente", "Titolo", "Circolo");
    const QByteArray prima = Costruttore::LeggiFile(percorso);
    TFileIni ini(percorso);
    ini.Imposta("Dati Ente", "Note", QString(4000, u'x'));
    {
        DiscoCheCede disco(1000);
        QVERIFY_THROWS_EXCEPTION(ErroreFile, ini.Salva());
    }
    QCOMPARE(Costruttore::LeggiFile(percorso), prima);
}

void TestGuasti::cambioPasswordInterrotto()
{
    Ambiente env;
    const QString file = env.Percorso("unins000.dll");
    TFileIni(file).Scrivi("Accesso", "Valore", Crypt::Encrypt("GIRASOLIDILUNA"));
    const QByteArray prima = Costruttore::LeggiFile(file);
    Schermate::Crea();
    Schermate::Password()->show();
    Controllo<QPushButton>(Schermate::Password(), "btnCambiaPassword")->click();
    QWidget *cambia = Schermate::CambiaPassword();
    Box(cambia, "txtPasswordOld")->setText("girasolidiluna");
    Box(cambia, "txtPasswordNew")->setText("nuovapassword");
    Box(cambia, "txtConferma")->setText("nuovapassword");
    {
        DiscoCheCede disco(10);
        Controllo<QPushButton>(cambia, "cmdOK")->click();
    }
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Attenzione: si è verificato un errore durante la procedura di "
                            "modifica della password. Si consiglia di reinstallare il software."));
    QCOMPARE(Costruttore::LeggiFile(file), prima);
    QVERIFY(cambia->isVisible()); // the screen stays open with its fields
    QCOMPARE(Box(cambia, "txtPasswordNew")->text(), QStringLiteral("nuovapassword"));
    Schermate::Distruggi();
}

void TestGuasti::esportazioneInterrotta()
{
    Ambiente env;
    QList<QByteArray> record;
    for (int i = 0; i < 50; ++i)
        record << Costruttore::Tesserato("SOCIO " + QByteArray::number(i));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    QFile vecchio(env.Percorso("Tesserati.xls"));
    QVERIFY(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("esportazione precedente");
    vecchio.close();
    TfrmExpAnagrafica w;
    w.show();
    env->risposte << true << true;
    {
        DiscoCheCede disco(2000);
        Controllo<QToolButton>(&w, "cmdEsporta")->click();
    }
    QCOMPARE(env->UltimaForma(), Forma::Messaggio);
    QVERIFY(env->UltimoMessaggio().startsWith("Attenzione: il sistema non permette di esportare"));
    QVERIFY(env->aperti.isEmpty());
    QCOMPARE(Costruttore::LeggiFile(env.Percorso("Tesserati.xls")),
             QByteArray("esportazione precedente"));
}

void TestGuasti::archivioCasuale()
{
    // Random bytes as an archive (oversize length bytes everywhere, a trailing piece):
    // browsing, searching and exporting go through it without harm.
    Ambiente env;
    QByteArray caos(5 * 2764 + 700, Qt::Uninitialized);
    QRandomGenerator rng(20261210);
    for (char &c : caos)
        c = char(rng.bounded(256));
    QFile f(env.Percorso("Tesserati.pro"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(caos);
    f.close();

    TfrmAnagrafica w;
    w.show();
    Controllo<QAbstractButton>(&w, "cmdPrimo")->click();
    for (int i = 0; i < 6; ++i)
        Controllo<QAbstractButton>(&w, "cmdAvanti")->click();
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QStringLiteral("5"));
    for (const char *nome : {"txtTesserato", "txtNote", "txtSesso"})
        QVERIFY(Box(&w, nome)->text().size() <= Box(&w, nome)->maxLength());

    TfrmExpAnagrafica exp(&w);
    exp.show();
    QCOMPARE(Controllo<QAbstractItemView>(&exp, "grdRecords")->model()->rowCount(), 5);
    QCOMPARE(Costruttore::LeggiFile(env.Percorso("Tesserati.pro")), caos); // read only
}

void TestGuasti::fileEstranei_data()
{
    // A folder restored from a backup or tampered with: a symbolic link or a named
    // pipe where one of the program's files goes.
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("tipo");
    for (const char *nome :
         {"Tesserati.pro", "1.jpg", "Logo.jpg", "Quorvel.ini", "unins000.dll", "Tesserati.xls"})
        for (const char *tipo : {"collegamento", "tubo"})
            QTest::addRow("%s %s", nome, tipo)
                << QString::fromLatin1(nome) << QString::fromLatin1(tipo);
}

void TestGuasti::fileEstranei()
{
    // No write goes through a link to its target outside the folder, and no pipe
    // blocks the program: each screen gives that file's own message.
    QFETCH(QString, nome);
    QFETCH(QString, tipo);
    Ambiente env;
    QTemporaryDir fuori;
    const QString bersaglio = QDir(fuori.path()).filePath(nome);
    const QString posto = env.Percorso(nome);
    QByteArray contenuto = "esportazione di un altro";
    if (nome == u"Tesserati.pro") {
        contenuto = Costruttore::Tesserato("ESTERNO");
    } else if (nome.endsWith(u".jpg")) {
        QBuffer b(&contenuto);
        contenuto.clear();
        QVERIFY(b.open(QIODevice::WriteOnly) && Immagine(30, 30, Qt::blue).save(&b, "JPG"));
    } else if (nome == u"Quorvel.ini") {
        contenuto = "[Dati Ente]\r\nDenominazione=Esterno\r\n";
    } else if (nome == u"unins000.dll") {
        contenuto = "[Accesso]\r\nValore=" + Crypt::Encrypt("SEGRETA").toLatin1() + "\r\n";
    }
    {
        QFile f(bersaglio);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
    }
    if (nome != u"Tesserati.pro")
        Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Costruttore::Tesserato("A")});
    if (tipo == u"collegamento")
        QVERIFY(QFile::link(bersaglio, posto));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(posto).constData(), 0644), 0);

    QList<Simulazione::Mostrato> attesi;
    if (nome == u"Tesserati.pro" || nome == u"1.jpg") {
        TfrmAnagrafica w;
        w.show();
        if (nome == u"1.jpg") {
            Controllo<QAbstractButton>(&w, "cmdPrimo")->click();
            Controllo<TImmagine>(&w, "imgFoto")->SetPicture(Immagine(50, 50, Qt::red));
            attesi << Simulazione::Mostrato{Forma::Avviso, {}}
                   << Simulazione::Mostrato{Forma::Informazione, {}};
        } else {
            NuovaScheda(w, QStringLiteral("ROSSI MARIO"));
            attesi << Simulazione::Mostrato{Forma::Errore, MessaggioAccesso};
        }
        Controllo<QAbstractButton>(&w, "cmdSalva")->click();
        if (nome == u"1.jpg")
            QVERIFY(env->messaggi.value(0).testo.startsWith(
                "Attenzione: non è stato possibile salvare la foto del tesserato."));
    } else if (nome == u"Logo.jpg" || nome == u"Quorvel.ini") {
        TfrmTessera w;
        w.show();
        w.close();
        if (nome == u"Logo.jpg") {
            QVERIFY(!w.isVisible());
            QVERIFY(env->messaggi.value(0).testo.contains("Logo.jpg"));
            attesi << Simulazione::Mostrato{Forma::Avviso, {}};
        } else {
            QVERIFY(w.isVisible()); // the typed texts are not lost
            attesi << Simulazione::Mostrato{Forma::ErroreGenerale,
                                            "Unable to write to " + env.Percorso("Quorvel.ini")};
        }
    } else if (nome == u"unins000.dll") {
        Schermate::Crea();
        Schermate::Password()->show();
        if (tipo == u"tubo") {
            // Read as a missing file: the empty password, so any typed one is wrong.
            Box(Schermate::Password(), "txtPassword")->setText("segreta");
            Controllo<QPushButton>(Schermate::Password(), "cmdOK")->click();
            attesi << Simulazione::Mostrato{Forma::Messaggio, "Attenzione: password errata."};
        } else {
            Controllo<QPushButton>(Schermate::Password(), "btnCambiaPassword")->click();
            QWidget *cambia = Schermate::CambiaPassword();
            Box(cambia, "txtPasswordOld")->setText("segreta");
            Box(cambia, "txtPasswordNew")->setText("nuovapassword");
            Box(cambia, "txtConferma")->setText("nuovapassword");
            Controllo<QPushButton>(cambia, "cmdOK")->click();
            attesi << Simulazione::Mostrato{
                Forma::Messaggio,
                "Attenzione: si è verificato un errore durante la procedura di modifica della "
                "password. Si consiglia di reinstallare il software."};
        }
        Schermate::Distruggi();
    } else {
        TfrmExpAnagrafica w;
        w.show();
        env->risposte << true << true;
        Controllo<QToolButton>(&w, "cmdEsporta")->click();
        QVERIFY(
            env->UltimoMessaggio().startsWith("Attenzione: il sistema non permette di esportare"));
        attesi << Simulazione::Mostrato{Forma::Messaggio, env->UltimoMessaggio()};
    }
    // The question of the export aside, exactly the expected messages.
    QList<Simulazione::Mostrato> mostrati;
    for (const auto &m : env->messaggi)
        if (m.forma != Forma::Domanda)
            mostrati << m;
    QCOMPARE(mostrati.size(), attesi.size());
    for (int i = 0; i < attesi.size(); ++i) {
        QCOMPARE(mostrati[i].forma, attesi[i].forma);
        if (!attesi[i].testo.isEmpty())
            QCOMPARE(mostrati[i].testo, attesi[i].testo);
    }
    QCOMPARE(Costruttore::LeggiFile(bersaglio), contenuto);
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(posto).constData(), &st), 0);
    QVERIFY(tipo == u"collegamento" ? S_ISLNK(st.st_mode) : S_ISFIFO(st.st_mode));
}

void TestGuasti::archivioOltreLUltimaPosizione()
{
    // An archive of 2^31 records (a sparse file) is beyond the largest position: each
    // screen reads it as unreadable, with its own message, instead of failing inside.
    Ambiente env;
    QFile f(env.Percorso("Tesserati.pro"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    if (!f.resize(qint64(2764) << 31))
        QSKIP("this file system cannot hold a sparse file of 2764 x 2^31 bytes");
    f.close();
    TfrmAnagrafica w;
    w.show();
    Controllo<QAbstractButton>(&w, "cmdUltimo")->click();
    QCOMPARE(env->UltimaForma(), Forma::Errore);
    QCOMPARE(env->UltimoMessaggio(), MessaggioAccesso);
    QCOMPARE(Controllo<QLabel>(&w, "lblPosizione")->text(), QString());

    env->modale = [&](QDialog *d) {
        Box(d, "txtTesserato")->setText("ROSSI");
        Controllo<QAbstractButton>(d, "btnCerca")->click();
    };
    const int prima = env->messaggi.size();
    Controllo<QAbstractButton>(&w, "cmdTrova")->click();
    QCOMPARE(env->modaliMostrati.value(0), QStringLiteral("TfrmTrovaAnagrafica"));
    QCOMPARE(env->messaggi.size(), prima + 1);
    QCOMPARE(env->UltimaForma(), Forma::Messaggio);
    QCOMPARE(env->UltimoMessaggio(), MessaggioAccesso);
    QCOMPARE(QFileInfo(env.Percorso("Tesserati.pro")).size(), qint64(2764) << 31);
}

void TestGuasti::impostazioneSuDueRighe()
{
    // A pasted two-line organization name would put its second line, and every later
    // key, outside "[Dati Ente]".
    Ambiente env;
    const QString percorso = env.Percorso("Quorvel.ini");
    {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Dati Ente]\r\nDenominazione=Circolo\r\nSottotitolo 1=Via Roma 1\r\n");
    }
    TfrmTessera w;
    w.show();
    env->modale = [&](QDialog *d) {
        auto *nome = Box(d, "txtAssociazione");
        nome->selectAll();
        QApplication::clipboard()->setText("Circolo Aurora\nSezione Nord");
        nome->paste();
        QCOMPARE(nome->text(), QStringLiteral("Circolo")); // refused whole
        QApplication::clipboard()->setText("Circolo Aurora");
        nome->paste();
        QCOMPARE(nome->text(), QStringLiteral("Circolo Aurora"));
        Controllo<QAbstractButton>(d, "btnApplica")->click();
    };
    QTest::mouseClick(Controllo<QLabel>(&w, "titAssociazione"), Qt::LeftButton);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmDatiEnte"});
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(TFileIni(percorso).Leggi("Dati Ente", "Denominazione"), "Circolo Aurora");

    // Stored by any other way, a value's line breaks become blanks.
    TFileIni(percorso).Scrivi("Dati Ente", "Denominazione", "Circolo\r\nSezione\nNord");
    const TFileIni ini(percorso);
    QCOMPARE(ini.Leggi("Dati Ente", "Denominazione"), "Circolo  Sezione Nord");
    QCOMPARE(ini.Leggi("Dati Ente", "Sottotitolo 1"), "Via Roma 1");
    // The section line and its nine keys (four texts, the QR code and its kind, the back): no
    // stray line.
    QCOMPARE(Costruttore::LeggiFile(percorso).count("\r\n"), 10);
}

QTEST_MAIN(TestGuasti)
#include "tst_guasti.moc"
