// The user guide as the build writes it: the generator runs once, pdftotext reads its
// chapters and pdfimages its pictures of the screens.
#include "cards/DatiEnte.h"
#include "cards/Tessera.h"
#include "lists/Sospesi.h"
#include "registry/Anagrafica.h"
#include "registry/Importa.h"
#include "registry/Posta.h"
#include "shell/Password.h"
#include "support/Supporto.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Esito {
    int codice = -1;
    QString uscita;
    QString errori;
};

Esito Esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    Esito e;
    if (!p.waitForFinished(120000))
        return e;
    e.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    e.uscita = QString::fromUtf8(p.readAllStandardOutput());
    e.errori = QString::fromUtf8(p.readAllStandardError());
    return e;
}

// The size a screen that is not maximized is designed for: the fixed size it takes when
// shown.
QSize Progettata(QWidget &w)
{
    w.show();
    QCoreApplication::processEvents();
    const QSize s = w.size();
    w.hide();
    return s;
}

} // namespace

class TestGuida : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void capitoli_data();
    void capitoli();
    void copiaDiSicurezza();
    void immagini();

private:
    QTemporaryDir m_dir;
    QString m_pdf;
    QString m_testo; // the guide's text, each run of blanks made one space
};

void TestGuida::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_pdf = m_dir.filePath(QStringLiteral("Guida.pdf"));
    // The generator refuses to write a guide whose pictures show a cut or overlapping
    // button, naming them.
    const Esito g = Esegui(QStringLiteral(QUORVEL_GENERA_GUIDA), {m_pdf});
    QVERIFY2(g.codice == 0, qPrintable(g.errori));
    const Esito t = Esegui(QStringLiteral("pdftotext"),
                           {QStringLiteral("-nopgbrk"), m_pdf, QStringLiteral("-")});
    QCOMPARE(t.codice, 0);
    // pdftotext writes "fi" and "fl" as one ligature character.
    m_testo = t.uscita.simplified()
                  .replace(QChar(0xFB01), QStringLiteral("fi"))
                  .replace(QChar(0xFB02), QStringLiteral("fl"));
    QVERIFY(m_testo.contains(QStringLiteral("Guida all'utilizzo del programma")));
}

void TestGuida::capitoli_data()
{
    QTest::addColumn<QString>("titolo");
    for (const char *t :
         {"Il primo accesso", "Come tarare i margini per il proprio cartoncino",
          "Gli avvisi di scadenza per e-mail", "Importare i tesserati da un foglio di calcolo",
          "Stampare le tessere in serie", "Il codice QR sulla tessera", "Il retro della tessera",
          "Il foglio di prova", "La copia di sicurezza"})
        QTest::newRow(t) << QString::fromUtf8(t);
}

void TestGuida::capitoli()
{
    // A chapter title: its number, a dot, the title.
    QFETCH(QString, titolo);
    const QRegularExpression re(QStringLiteral("\\b\\d+\\. ") + QRegularExpression::escape(titolo));
    QVERIFY2(m_testo.contains(re), qPrintable(titolo));
}

void TestGuida::copiaDiSicurezza()
{
    // Where the data are, for each way of installing, and where the program says so.
    for (const char *frase : {"accanto al programma", "~/.local/share/Quorvel",
                              "$XDG_DATA_HOME/Quorvel", "\"Informazioni\""})
        QVERIFY2(QString(m_testo)
                     .replace(QStringLiteral("/ "), QStringLiteral("/"))
                     .contains(QString::fromUtf8(frase)),
                 frase); // a path may break at a slash
    QVERIFY(!m_testo.contains(QStringLiteral("Tutti i dati di Quorvel stanno nella cartella del "
                                             "programma")));
}

void TestGuida::immagini()
{
    // Each screen is pictured whole at the size it is designed for: the main screens
    // maximized on a 1280 x 720 desktop, the others at their own fixed size.
    Ambiente env;
    // Each opened by the screen that opens it in the program, whose style it takes.
    TfrmAnagrafica archivio;
    TfrmTessera tessera;
    TfrmSospesi rinnovi;
    TfrmPassword accesso;
    TfrmImporta importa(&archivio);
    TfrmDatiEnte ente(&tessera);
    TfrmPosta posta(&rinnovi);
    const QSize desktop(1280, 720);
    const QList<QSize> attese = {
        Progettata(accesso), desktop, desktop,          Progettata(importa), desktop,
        Progettata(ente),    desktop, Progettata(posta)};
    const Esito l = Esegui(QStringLiteral("pdfimages"), {QStringLiteral("-list"), m_pdf});
    QCOMPARE(l.codice, 0);
    QList<QSize> dimensioni;
    for (const QString &riga : l.uscita.split(u'\n').mid(2)) {
        const QStringList c = riga.simplified().split(u' ');
        if (c.size() < 14 || c.at(2) != u"image")
            continue;
        const QSize pixel(c.at(3).toInt(), c.at(4).toInt());
        dimensioni << pixel;
        // No wider on the page than the text (A4 less 18 mm page margins and the printed
        // document's own 2 cm): a wider picture is cut at the page's edge.
        const double mm = pixel.width() / c.at(12).toDouble() * 25.4;
        QVERIFY2(mm <= 135, qPrintable(QString::number(mm)));
    }
    QCOMPARE(dimensioni, attese);
}

QTEST_MAIN(TestGuida)
#include "tst_guida.moc"
