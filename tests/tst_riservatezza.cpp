// The data folder holds names, fiscal codes, bank and card numbers and the mail password:
// every feature that writes there leaves its files 0600 and its folders 0700, whatever
// the umask, and a folder left open by an earlier version is closed at start. Tests run
// as root, whom modes do not stop: the mode bits themselves are checked.
#include "support/Supporto.h"

#include "cards/Tessera.h"
#include "mail/core/RegistroAvvisi.h"
#include "platform/Istanza.h"
#include "platform/Piattaforma.h"
#include "registry/Anagrafica.h"
#include "shell/CambiaPassword.h"
#include "shell/Password.h"
#include "shell/Schermate.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
mode_t Modo(const QString &percorso)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(percorso).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

void ScriviFile(const QString &percorso, const QByteArray &dati, mode_t modo = 0644)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(dati), dati.size());
    f.close();
    QCOMPARE(::chmod(QFile::encodeName(percorso).constData(), modo), 0);
}

// What below `cartella` is not 0600 (files) or 0700 (folders), as "name mode" lines.
QStringList FuoriModo(const QString &cartella)
{
    QStringList r;
    QDirIterator it(cartella, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const mode_t atteso = it.fileInfo().isDir() ? 0700 : 0600;
        if (Modo(p) != atteso)
            r << QDir(cartella).relativeFilePath(p) + QStringLiteral(" %1").arg(Modo(p), 0, 8);
    }
    return r;
}
} // namespace

class TestRiservatezza : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> env;
    QString m_dati; // the data folder the program chose

    void Premi(QWidget *w, const char *nome) { Controllo<QAbstractButton>(w, nome)->click(); }
    QString Dati(const QString &nome) const { return QDir(m_dati).filePath(nome); }

    // A record saved from the archive screen, as every case starts.
    void SalvaScheda(TfrmAnagrafica &a)
    {
        Controllo<QLineEdit>(&a, "txtTesserato")->setText(QStringLiteral("ROSSI MARIO"));
        Controllo<QLineEdit>(&a, "txtDataRil")->setText(QStringLiteral("01/01/2025"));
        Controllo<QLineEdit>(&a, "txtDataScade")->setText(QStringLiteral("31/12/2025"));
        Premi(&a, "cmdSalva");
        QCOMPARE(Controllo<QLabel>(&a, "lblPosizione")->text(), QStringLiteral("1"));
        QVERIFY(QFileInfo(Dati(QStringLiteral("Tesserati.pro"))).size() > 0);
    }

private slots:
    void initTestCase()
    {
        // The usual umask, which leaves files readable by every account.
        ::umask(022);
    }
    void init()
    {
        env = std::make_unique<Ambiente>();
        // An installed program: the folder beside it cannot be written, the data go to
        // the user's folder, which the program makes.
        QVERIFY(QDir().mkpath(env->Percorso(QStringLiteral("bin"))));
        env->sim().cartella = env->Percorso(QStringLiteral("bin"));
        env->sim().cartellaUtente = env->Percorso(QStringLiteral("home/.local/share/Quorvel"));
        env->sim().cartellaScrivibile = false;
    }
    void cleanup() { env.reset(); }

    void fileDelleFunzioni_data();
    void fileDelleFunzioni();
    void cartellaEsistente_data();
    void cartellaEsistente();
};

void TestRiservatezza::fileDelleFunzioni_data()
{
    QTest::addColumn<bool>("portatile"); // the program folder itself holds the data
    QTest::addColumn<QString>("azione");
    QTest::addColumn<QStringList>("scritti"); // files the action leaves in the folder
    const QStringList scheda = {"Tesserati.pro", "1.jpg"};
    QTest::newRow("scheda salvata") << false << "scheda" << scheda;
    QTest::newRow("foto scelta") << false << "foto" << scheda;
    QTest::newRow("importazione, copie ed esito")
        << false << "importa"
        << (scheda +
            QStringList{"Tesserati.pro.bak", "Copie importazioni", "esito.csv", "Quorvel.ini"});
    QTest::newRow("esportazione") << false << "esporta" << (scheda + QStringList{"Tesserati.xls"});
    QTest::newRow("documento allegato")
        << false << "allegato" << (scheda + QStringList{"Documenti_Allegati/contratto.pdf"});
    QTest::newRow("impostazioni") << false << "impostazioni"
                                  << (scheda + QStringList{"Quorvel.ini"});
    QTest::newRow("cambio della password")
        << false << "password" << (scheda + QStringList{"unins000.dll"});
    QTest::newRow("blocco della cartella")
        << false << "blocco" << (scheda + QStringList{"Quorvel.lock"});
    QTest::newRow("registro degli avvisi")
        << false << "avvisi" << (scheda + QStringList{"Avvisi.csv"});
    // Beside the program (portable use) the files it makes are the user's alone too.
    QTest::newRow("portatile, importazione")
        << true << "importa"
        << (scheda + QStringList{"Tesserati.pro.bak", "Copie importazioni", "esito.csv"});
    QTest::newRow("portatile, allegato")
        << true << "allegato" << (scheda + QStringList{"Documenti_Allegati/contratto.pdf"});
}

void TestRiservatezza::fileDelleFunzioni()
{
    QFETCH(bool, portatile);
    QFETCH(QString, azione);
    QFETCH(QStringList, scritti);
    Simulazione &sim = env->sim();
    if (portatile)
        sim.cartellaUtente.clear();
    m_dati = Piattaforma::CartellaProgramma();
    QCOMPARE(m_dati, portatile ? env->Percorso(QStringLiteral("bin")) : sim.cartellaUtente);
    // What the user picks lies elsewhere, readable by all as files usually are.
    QTemporaryDir altrove;
    const QString scelto = QDir(altrove.path()).filePath(QStringLiteral("scelto"));

    TfrmAnagrafica a;
    a.show();
    if (azione == QLatin1String("foto")) {
        QVERIFY(Immagine(40, 30, Qt::red).save(scelto + QStringLiteral(".jpg"), "JPG"));
        sim.fileDaAprire.enqueue(scelto + QStringLiteral(".jpg"));
        Premi(&a, "btnSfoglia");
    }
    SalvaScheda(a);

    if (azione == QLatin1String("importa")) {
        ScriviFile(
            scelto + QStringLiteral(".csv"),
            "Cognome e nome;Data rilascio;Data scadenza\nVERDI ANNA;01/01/2025;31/12/2025\n");
        sim.fileDaAprire.enqueue(scelto + QStringLiteral(".csv"));
        sim.fileDaSalvare.enqueue(Dati(QStringLiteral("esito.csv")));
        sim.modale = [this](QDialog *d) {
            Premi(d, "cmdScegli");
            Premi(d, "cmdAvvia");
            Premi(d, "cmdSalvaEsito");
            Premi(d, "cmdEsci");
        };
        Premi(&a, "cmdImporta");
        QCOMPARE(sim.modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
        QCOMPARE(QFileInfo(Dati(QStringLiteral("Tesserati.pro"))).size(), 2 * 2764);
    } else if (azione == QLatin1String("esporta")) {
        sim.risposte.enqueue(true);  // export
        sim.risposte.enqueue(false); // do not open it
        sim.modale = [this](QDialog *d) {
            Premi(d, "cmdEsporta");
            Premi(d, "cmdEsci");
        };
        Premi(&a, "cmdExcel");
        QCOMPARE(sim.modaliMostrati, QStringList{QStringLiteral("TfrmExpAnagrafica")});
    } else if (azione == QLatin1String("allegato")) {
        ScriviFile(QDir(altrove.path()).filePath(QStringLiteral("contratto.pdf")), "contratto");
        sim.fileDaAprire.enqueue(QDir(altrove.path()).filePath(QStringLiteral("contratto.pdf")));
        sim.modale = [this](QDialog *d) {
            Premi(d, "btnSfoglia01");
            Premi(d, "btnApplica");
        };
        Premi(&a, "cmdAllega");
        QCOMPARE(sim.modaliMostrati, QStringList{QStringLiteral("TfrmAllegaCartella")});
    } else if (azione == QLatin1String("impostazioni")) {
        // The organization's data, kept when the single-card screen closes.
        TfrmTessera tessera;
        tessera.show();
        sim.modale = [this](QDialog *d) {
            Controllo<QLineEdit>(d, "txtAssociazione")->setText(QStringLiteral("Circolo"));
            Premi(d, "btnApplica");
        };
        QTest::mouseClick(Controllo<QLabel>(&tessera, "titAssociazione"), Qt::LeftButton);
        QCOMPARE(sim.modaliMostrati, QStringList{QStringLiteral("TfrmDatiEnte")});
        Premi(&tessera, "imgEsci");
        QVERIFY(Costruttore::LeggiFile(Dati(QStringLiteral("Quorvel.ini"))).contains("Circolo"));
    } else if (azione == QLatin1String("password")) {
        // As the program starts: the initial password is laid, then changed.
        Accesso::PreparaCartellaDati();
        const QByteArray prima = Costruttore::LeggiFile(Dati(QStringLiteral("unins000.dll")));
        Schermate::Crea();
        Premi(Schermate::Password(), "btnCambiaPassword");
        Controllo<QLineEdit>(Schermate::CambiaPassword(), "txtPasswordOld")
            ->setText(QStringLiteral("girasolidiluna"));
        Controllo<QLineEdit>(Schermate::CambiaPassword(), "txtPasswordNew")
            ->setText(QStringLiteral("nuova"));
        Controllo<QLineEdit>(Schermate::CambiaPassword(), "txtConferma")
            ->setText(QStringLiteral("nuova"));
        Premi(Schermate::CambiaPassword(), "cmdOK");
        const QByteArray dopo = Costruttore::LeggiFile(Dati(QStringLiteral("unins000.dll")));
        Schermate::Distruggi();
        QVERIFY(!dopo.isEmpty());
        QVERIFY(dopo != prima);
    } else if (azione == QLatin1String("blocco")) {
        TBloccoIstanza blocco(m_dati);
        QVERIFY(blocco.Acquisito());
        // Checked while held: the lock goes with it.
        QVERIFY2(FuoriModo(m_dati).isEmpty(), qPrintable(FuoriModo(m_dati).join(u'\n')));
        QCOMPARE(Modo(Dati(QStringLiteral("Quorvel.lock"))), mode_t(0600));
        return;
    } else if (azione == QLatin1String("avvisi")) {
        RegistroAvvisi::TRegistro registro(m_dati);
        QVERIFY(registro.Scrivi({QDate(2025, 1, 1),
                                 QTime(9, 0),
                                 1,
                                 QStringLiteral("ROSSI MARIO"),
                                 {},
                                 {},
                                 RegistroAvvisi::Inviato}));
    }

    for (const QString &f : scritti)
        QVERIFY2(QFileInfo::exists(Dati(f)), qPrintable(f));
    QVERIFY2(FuoriModo(m_dati).isEmpty(), qPrintable(FuoriModo(m_dati).join(u'\n')));
    // The folder the program made is the user's alone; one beside the program is left as
    // it was.
    QCOMPARE(Modo(m_dati), mode_t(portatile ? 0755 : 0700));
}

void TestRiservatezza::cartellaEsistente_data()
{
    QTest::addColumn<bool>("portatile");
    QTest::newRow("cartella dell'utente") << false;
    QTest::newRow("cartella del programma") << true;
}

void TestRiservatezza::cartellaEsistente()
{
    // A folder made by an earlier version, open to every account: the program closes it
    // when it starts, but only what is the user's, and never through a link.
    QFETCH(bool, portatile);
    Simulazione &sim = env->sim();
    QTemporaryDir altrove;
    const QString esterno = QDir(altrove.path()).filePath(QStringLiteral("esterno.txt"));
    ScriviFile(esterno, "altrui");
    const QString cartella = portatile ? sim.cartella : sim.cartellaUtente;
    if (portatile)
        sim.cartellaUtente.clear();
    QVERIFY(QDir().mkpath(cartella + QStringLiteral("/Documenti_Allegati")));
    QVERIFY(QDir().mkpath(cartella + QStringLiteral("/Copie importazioni/2025-01-01")));
    for (const char *d :
         {"", "/Documenti_Allegati", "/Copie importazioni", "/Copie importazioni/2025-01-01"})
        QCOMPARE(::chmod(QFile::encodeName(cartella + QLatin1String(d)).constData(), 0755), 0);
    ScriviFile(cartella + QStringLiteral("/Tesserati.pro"), Costruttore::Tesserato("ROSSI"));
    ScriviFile(cartella + QStringLiteral("/Quorvel.ini"), "[Posta]\r\nPassword=segreta\r\n");
    ScriviFile(cartella + QStringLiteral("/unins000.dll"), "[Accesso]\r\nValore=A5\r\n");
    ScriviFile(cartella + QStringLiteral("/Documenti_Allegati/carta.pdf"), "carta", 0664);
    ScriviFile(cartella + QStringLiteral("/Copie importazioni/2025-01-01/Tesserati.pro"), "x");
    // Someone else's file, and a link to a file outside: both left alone.
    const QString altrui = cartella + QStringLiteral("/altrui.txt");
    ScriviFile(altrui, "altrui");
    QCOMPARE(::chown(QFile::encodeName(altrui).constData(), 65534, 65534), 0);
    QVERIFY(QFile::link(esterno, cartella + QStringLiteral("/collegamento.txt")));
    QCOMPARE(Piattaforma::CartellaProgramma(), cartella);

    Accesso::PreparaCartellaDati(); // what the program does first when it starts

    QCOMPARE(Modo(esterno), mode_t(0644));
    QCOMPARE(Modo(altrui), mode_t(0644));
    QVERIFY(QFile::remove(altrui));
    QVERIFY(QFile::remove(cartella + QStringLiteral("/collegamento.txt")));
    if (portatile) {
        // Beside the program nothing is changed at start: the program folder is not the
        // program's to close, and the data files are closed as they are written.
        QCOMPARE(Modo(cartella), mode_t(0755));
        QCOMPARE(Modo(cartella + QStringLiteral("/Quorvel.ini")), mode_t(0644));
        return;
    }
    QCOMPARE(Modo(cartella), mode_t(0700));
    QVERIFY2(FuoriModo(cartella).isEmpty(), qPrintable(FuoriModo(cartella).join(u'\n')));
    // Still what they were.
    QCOMPARE(Costruttore::LeggiFile(cartella + QStringLiteral("/Quorvel.ini")),
             QByteArray("[Posta]\r\nPassword=segreta\r\n"));
}

QTEST_MAIN(TestRiservatezza)
#include "tst_riservatezza.moc"
