// The Debian package, built by cpack from this build: its contents, lintian and the
// two validators, then the unpacked program started as an ordinary user with an empty
// home: it keeps its data in that user's data folder and nowhere else.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Versione = QStringLiteral(QUORVEL_VERSIONE);
const QString NomePacchetto = QStringLiteral("quorvel_%1_amd64.deb").arg(Versione);

struct Esito {
    int codice = -1;
    QString uscita;
};

// Runs a tool to its end (bounded) and returns its exit code and output.
Esito Esegui(const QString &programma, const QStringList &argomenti, int limiteMs = 60000,
             const QString &cartella = QString())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!cartella.isEmpty())
        p.setWorkingDirectory(cartella);
    p.start(programma, argomenti);
    if (!p.waitForFinished(limiteMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("%1: did not end in time").arg(programma)};
    }
    const QString uscita = QString::fromUtf8(p.readAll());
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, uscita};
}

// Every file and folder under a folder, relative to it.
QStringList Elenco(const QString &cartella)
{
    QStringList voci;
    QDirIterator it(cartella, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        voci << QDir(cartella).relativeFilePath(it.next());
    voci.sort();
    return voci;
}
} // namespace

class TestPacchetto : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_deb;
    QString m_radice; // the package unpacked with dpkg -x

private slots:
    void initTestCase()
    {
#ifdef QUORVEL_SANITIZE
        QSKIP("Il pacchetto Debian si prova nella build Release, non con i sanitizer.");
#endif
        QVERIFY(m_dir.isValid());
        // One cpack for every test of the package.
        const Esito cpack = Esegui(
            QStringLiteral(QUORVEL_CPACK),
            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), m_dir.path()},
            240000, QStringLiteral(QUORVEL_BUILD));
        QVERIFY2(cpack.codice == 0, qPrintable(cpack.uscita));
        m_deb = QDir(m_dir.path()).filePath(NomePacchetto);
        QVERIFY2(QFile::exists(m_deb), qPrintable(cpack.uscita));
        m_radice = QDir(m_dir.path()).filePath(QStringLiteral("radice"));
        const Esito x = Esegui(QStringLiteral("dpkg"), {QStringLiteral("-x"), m_deb, m_radice});
        QVERIFY2(x.codice == 0, qPrintable(x.uscita));
    }

    void contenuto()
    {
        const Esito c = Esegui(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_deb});
        QCOMPARE(c.codice, 0);
        QStringList attesi = {
            QStringLiteral("./usr/bin/quorvel"),
            QStringLiteral("./usr/bin/quorvel-migra"),
            // Camera and sounds: the module /usr/bin/quorvel opens from ../lib/quorvel.
            QStringLiteral("./usr/lib/quorvel/libquorvel_multimedia.so"),
            QStringLiteral("./usr/share/man/man1/quorvel-migra.1.gz"),
            QStringLiteral("./usr/share/quorvel/Guida.pdf"),
            QStringLiteral("./usr/share/quorvel/quorvel.sql"),
            QStringLiteral("./usr/share/applications/quorvel.desktop"),
            QStringLiteral("./usr/share/icons/hicolor/scalable/apps/quorvel.svg"),
            QStringLiteral("./usr/share/metainfo/example.quorvel_lab.Quorvel.metainfo.xml"),
            QStringLiteral("./usr/share/doc/quorvel/copyright"),
            QStringLiteral("./usr/share/doc/quorvel/changelog.gz"),
            QStringLiteral("./usr/share/man/man1/quorvel.1.gz"),
        };
        for (int lato : {16, 22, 24, 32, 48, 64, 128, 256, 512})
            attesi << QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/quorvel.png").arg(lato);
        for (const QString &f : attesi)
            QVERIFY2(c.uscita.contains(u' ' + f + u'\n'), qPrintable(f));
        // Every user gets a password file of their own: none in the package.
        QVERIFY(!c.uscita.contains(QStringLiteral("unins000.dll")));
        // The PNG icons are as large as their folder says.
        for (int lato : {16, 48, 512})
            QCOMPARE(
                QImage(m_radice +
                       QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/quorvel.png").arg(lato))
                    .size(),
                QSize(lato, lato));

        const Esito i = Esegui(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), m_deb});
        QCOMPARE(i.codice, 0);
        QVERIFY(i.uscita.contains(QStringLiteral(" Package: quorvel\n")));
        QVERIFY(i.uscita.contains(QStringLiteral(" Version: ") + Versione + u'\n'));
        QVERIFY(i.uscita.contains(QStringLiteral(" Architecture: amd64\n")));
        const QString dipendenze =
            i.uscita.section(QStringLiteral(" Depends: "), 1).section(u'\n', 0, 0);
        // Found by dpkg-shlibdeps, and those Qt loads at run time.
        for (const char *d :
             {"libqt6widgets6", "libqt6multimedia6", "libc6", "qt6-qpa-plugins",
              "qt6-image-formats-plugins", "libqt6svg6", "qt6-translations-l10n",
              "fonts-liberation", "fonts-dejavu-core", "libqt6sql6-psql", "libcurl4"})
            QVERIFY2(dipendenze.contains(QLatin1String(d)), d);
        // A keyring for the mail password, the desktop's opener and a PDF viewer.
        QCOMPARE(i.uscita.section(QStringLiteral(" Recommends: "), 1).section(u'\n', 0, 0),
                 QStringLiteral("gnome-keyring | libkf5wallet-bin | keepassxc, xdg-utils, "
                                "evince | okular | atril | mupdf | qpdfview"));
    }

    void lintian()
    {
        QStringList argomenti;
        if (geteuid() == 0)
            argomenti << QStringLiteral("--allow-root");
        const Esito l = Esegui(QStringLiteral("lintian"), argomenti << m_deb, 240000);
        QVERIFY2(l.codice == 0, qPrintable(l.uscita));
        QVERIFY2(!l.uscita.contains(QStringLiteral("E: ")), qPrintable(l.uscita));
    }

    void validatori()
    {
        const Esito a = Esegui(
            QStringLiteral("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"),
             m_radice +
                 QStringLiteral("/usr/share/metainfo/example.quorvel_lab.Quorvel.metainfo.xml")});
        QVERIFY2(a.codice == 0, qPrintable(a.uscita));
        const QString metainfo = QString::fromUtf8(
            Leggi(m_radice +
                  QStringLiteral("/usr/share/metainfo/example.quorvel_lab.Quorvel.metainfo.xml")));
        QCOMPARE(metainfo.count(QStringLiteral("<screenshot")), 3); // <screenshots> and two
        QVERIFY(metainfo.contains(QStringLiteral("schermata-avvio.png")));
        QVERIFY(metainfo.contains(QStringLiteral("schermata-archivio.png")));
        QVERIFY(metainfo.contains(QStringLiteral(">quorvel.desktop</launchable>")));

        const QString voce = m_radice + QStringLiteral("/usr/share/applications/quorvel.desktop");
        const Esito d = Esegui(QStringLiteral("desktop-file-validate"), {voce});
        QVERIFY2(d.codice == 0 && d.uscita.trimmed().isEmpty(), qPrintable(d.uscita));
        const QString testo = QString::fromUtf8(Leggi(voce));
        QVERIFY(testo.contains(QStringLiteral("\nExec=quorvel\n")));
        QVERIFY(testo.contains(QStringLiteral("\nIcon=quorvel\n")));
    }

    void versione()
    {
        // The installed command answers --version on the command line, as the manual says.
        const Esito v =
            Esegui(m_radice + QStringLiteral("/usr/bin/quorvel"), {QStringLiteral("--version")});
        QCOMPARE(v.codice, 0);
        QCOMPARE(v.uscita, QStringLiteral("Quorvel ") + Versione + u'\n');
    }

    void avvioComeUtente()
    {
        // An ordinary user with an empty home: as root the program runs as "nobody"
        // (root can write anywhere); otherwise the program folder is made read-only.
        const QString programma = m_radice + QStringLiteral("/usr/bin/quorvel");
        const QString home = QDir(m_dir.path()).filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        const auto aperta = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(m_dir.path(), aperta));
        QProcess p;
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home);
        if (geteuid() == 0) {
            QVERIFY(chown(home.toLocal8Bit().constData(), 65534, 65534) == 0);
            p.start(QStringLiteral("setpriv"),
                    {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                     QStringLiteral("--clear-groups"), QStringLiteral("--"), programma});
        } else {
            QVERIFY(
                QFile::setPermissions(QFileInfo(programma).path(), aperta & ~QFile::WriteOwner));
            p.start(programma, QStringList());
        }
        const QStringList installati = Elenco(m_radice);
        QVERIFY(p.waitForStarted(10000));
        // The password file first, then the lock of the running copy.
        const QString dati = home + QStringLiteral("/.local/share/Quorvel");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dati + QStringLiteral("/unins000.dll")), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dati + QStringLiteral("/Quorvel.lock")), 30000);
        QCOMPARE(p.state(), QProcess::Running);
        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
        }
        // The initial password, which the login screen accepts.
        QVERIFY(Leggi(dati + QStringLiteral("/unins000.dll"))
                    .contains("Valore=A5823867F71E9DE7318671AFD794"));
        // Nothing outside the user's data folder, nothing beside the program.
        QCOMPARE(Elenco(home),
                 QStringList({QStringLiteral(".local"), QStringLiteral(".local/share"),
                              QStringLiteral(".local/share/Quorvel"),
                              QStringLiteral(".local/share/Quorvel/Quorvel.lock"),
                              QStringLiteral(".local/share/Quorvel/unins000.dll")}));
        QCOMPARE(Elenco(m_radice), installati);
        // The user's alone: other accounts on the computer read none of it.
        const auto Modo = [](const QString &percorso) {
            struct stat st {};
            return ::stat(QFile::encodeName(percorso).constData(), &st) == 0 ? st.st_mode & 07777
                                                                             : mode_t(0);
        };
        QCOMPARE(Modo(dati), mode_t(0700));
        for (const char *f : {"/Quorvel.lock", "/unins000.dll"})
            QCOMPARE(Modo(dati + QLatin1String(f)), mode_t(0600));
    }

private:
    static QByteArray Leggi(const QString &percorso)
    {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(TestPacchetto)
#include "tst_pacchetto.moc"
