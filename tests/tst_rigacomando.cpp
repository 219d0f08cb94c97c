// The program run as a process, as a user or a script runs it: --help and --version are
// answered on the command line, before any folder, file or window is made.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Everything below `cartella`, relative to it.
QStringList Elenco(const QString &cartella)
{
    QStringList r;
    QDirIterator it(cartella, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        r << QDir(cartella).relativeFilePath(it.next());
    r.sort();
    return r;
}
} // namespace

class TestRigaComando : public QObject {
    Q_OBJECT

private slots:
    void opzioni_data();
    void opzioni();
};

void TestRigaComando::opzioni_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("uscita"); // the start of what is printed on standard output
    QTest::addColumn<QString>("errore"); // a piece of the one line on standard error
    const QString versione = QStringLiteral("Quorvel " QUORVEL_VERSIONE "\n");
    const QString aiuto = QStringLiteral("Uso: quorvel [OPZIONE]\n");
    QTest::newRow("--version") << QStringList{"--version"} << 0 << versione << QString();
    QTest::newRow("-v") << QStringList{"-v"} << 0 << versione << QString();
    QTest::newRow("--help") << QStringList{"--help"} << 0 << aiuto << QString();
    QTest::newRow("-h") << QStringList{"-h"} << 0 << aiuto << QString();
    // Qt's own options are the application's, and do not hide the ones that follow.
    QTest::newRow("dopo un'opzione di Qt")
        << QStringList{"-platform", "offscreen", "--version"} << 0 << versione << QString();
    QTest::newRow("opzione sconosciuta") << QStringList{"--sconosciuta"} << 2 << QString()
                                         << "opzione non riconosciuta \"--sconosciuta\"";
    QTest::newRow("argomento in più")
        << QStringList{"Tesserati.pro"} << 2 << QString() << "\"Tesserati.pro\"";
}

void TestRigaComando::opzioni()
{
    QFETCH(QStringList, argomenti);
    QFETCH(int, codice);
    QFETCH(QString, uscita);
    QFETCH(QString, errore);
    // A copy of the program in a folder of its own, which it could write (portable use),
    // and a home with nothing in it.
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(home));
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_ESEGUIBILE), bin + QStringLiteral("/Quorvel")));
    QProcess p;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    // Were a window opened, it would wait here unseen until killed.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home);
    p.start(bin + QStringLiteral("/Quorvel"), argomenti);
    QVERIFY(p.waitForStarted(10000));
    const bool finito = p.waitForFinished(10000);
    if (!finito) {
        p.kill();
        p.waitForFinished();
    }
    QVERIFY2(finito, "the program went on to its window");
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), codice);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    if (uscita.isEmpty())
        QCOMPARE(out, QString());
    else
        QVERIFY2(out.startsWith(uscita), qPrintable(out));
    if (uscita == QLatin1String("Uso: quorvel [OPZIONE]\n"))
        QVERIFY(out.contains(QStringLiteral("--version")) && out.contains(u"l'utente"));
    if (errore.isEmpty()) {
        QCOMPARE(err, QString());
    } else {
        QVERIFY2(err.contains(errore), qPrintable(err));
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY(err.endsWith(u'\n'));
    }
    // Nothing made: no data folder in the home, nothing beside the program.
    QCOMPARE(Elenco(home), QStringList());
    QCOMPARE(Elenco(bin), QStringList{QStringLiteral("Quorvel")});
}

QTEST_GUILESS_MAIN(TestRigaComando)
#include "tst_rigacomando.moc"
