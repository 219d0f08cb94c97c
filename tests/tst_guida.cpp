// The user guide as the build writes it: the generator runs once, pdftotext reads its
// chapters and pdfimages its pictures of the screens.
#include "cards/DatiEnte.h"
#include "cards/Tessera.h"
#include "import/Importa.h"
#include "lists/Sospesi.h"
#include "mail/Posta.h"
#include "registry/Anagrafica.h"
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
    // The text without the page numbers, which pdftotext puts amid a sentence running
    // over a page; it writes "fi" and "fl" as one ligature character.
    static const QRegularExpression numeroPagina(QStringLiteral("^\\d+$"));
    QStringList righe = t.uscita.split(u'\n');
    righe.removeIf([](const QString &r) { return numeroPagina.match(r.trimmed()).hasMatch(); });
    m_testo = righe.join(u' ')
                  .simplified()
                  .replace(QChar(0xFB01), QStringLiteral("fi"))
                  .replace(QChar(0xFB02), QStringLiteral("fl"));
    QVERIFY(m_testo.contains(QStringLiteral("Guida all'utilizzo del programma")));
}

void TestGuida::capitoli_data()
{
    // Each chapter's title and what it must tell: the controls and files by their names.
    QTest::addColumn<QString>("titolo");
    QTest::addColumn<QStringList>("frasi");
    QTest::newRow("accesso") << "Il primo accesso" << QStringList{"girasolidiluna"};
    QTest::newRow("margini") << "Come tarare i margini per il proprio cartoncino"
                             << QStringList{"per ciascuna stampante"};
    QTest::newRow("avvisi") << "Gli avvisi di scadenza per e-mail"
                            << QStringList{"Impostazioni posta",
                                           "Invia prova",
                                           "certificato",
                                           "Certificato dell'autorità (CA)",
                                           "Testo dell'avviso…",
                                           "in formato PEM",
                                           "Non ripetere l'avviso per giorni",
                                           "Includi anche i tesserati già avvisati di recente",
                                           "Avvisi.csv",
                                           "{gentile}",
                                           "{ente}",
                                           "chi viene saltato"};
    QTest::newRow("importazione") << "Importare i tesserati da un foglio di calcolo"
                                  << QStringList{".xlsx",
                                                 ".ods",
                                                 ".csv",
                                                 "Riga d'intestazione",
                                                 "L'abbinamento viene ricordato",
                                                 "Per le righe senza date",
                                                 "\"Prova\"",
                                                 "Esito",
                                                 "Copie importazioni",
                                                 "Annulla l'ultima importazione"};
    QTest::newRow("serie") << "Stampare le tessere in serie"
                           << QStringList{"Stampa tessere",
                                          "Nove per foglio A4",
                                          "Una per pagina",
                                          "Prima posizione libera del foglio",
                                          "Stampa solo le tessere con un socio",
                                          "Riduci il carattere dei testi troppo lunghi",
                                          "Stampare comunque?"};
    QTest::newRow("qr") << "Il codice QR sulla tessera" << QStringList{"Codice QR sulla tessera",
                                                                       "{tessera}",
                                                                       "{tesserato}",
                                                                       "{scadenza}",
                                                                       "{rilascio}",
                                                                       "{posizione}"};
    QTest::newRow("retro") << "Il retro della tessera"
                           << QStringList{"Stampa il retro", "otto righe", "fronte-retro",
                                          "lato lungo", "a specchio"};
    QTest::newRow("prova") << "Il foglio di prova"
                           << QStringList{"\"Foglio di prova\"", "righelli", "controluce",
                                          "per ciascuna stampante"};
    QTest::newRow("copia") << "La copia di sicurezza" << QStringList{"Tesserati.pro"};
}

void TestGuida::capitoli()
{
    // A chapter: its number, a dot and its title, up to the next chapter's number.
    QFETCH(QString, titolo);
    QFETCH(QStringList, frasi);
    const QRegularExpression re(QStringLiteral("\\b(\\d+)\\. ") +
                                QRegularExpression::escape(titolo));
    const QRegularExpressionMatch m = re.match(m_testo);
    QVERIFY2(m.hasMatch(), qPrintable(titolo));
    const qsizetype fine =
        m_testo.indexOf(QStringLiteral("%1. ").arg(m.captured(1).toInt() + 1), m.capturedEnd());
    const QString capitolo = m_testo.mid(m.capturedEnd(), fine < 0 ? -1 : fine - m.capturedEnd());
    for (const QString &f : frasi)
        QVERIFY2(capitolo.contains(f), qPrintable(f));
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
