// The member sheet: filled from the archive screen's boxes as they stand, previewed and
// printed, with its bars and rows where the page puts them.
#include "support/Supporto.h"

#include "lists/SchedaInformativa.h"
#include "registry/Anagrafica.h"
#include "report/Anteprima.h"
#include "report/core/Report.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace Costruttore;

namespace {

QString Testo(const TReport &rep, const QString &nome)
{
    if (rep.PreparedCount() != 1)
        throw std::runtime_error("the sheet is not one prepared page");
    for (const TElementoPreparato &e : rep.PreparedPages().front().elementi)
        if (e.oggetto->Name.compare(nome, Qt::CaseInsensitive) == 0)
            return e.righe.join(QLatin1Char('\n'));
    throw std::runtime_error("no prepared object " + nome.toStdString());
}

QString Riga(const char *prefisso, int n)
{
    return QString::fromLatin1(prefisso) + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Replaces what a box holds as a user would: select all and type.
void Scrivi(QWidget *schermata, const char *nome, const QString &testo)
{
    QWidget *w = Controllo<QWidget>(schermata, nome);
    QLineEdit *e = qobject_cast<QLineEdit *>(w);
    if (auto *c = qobject_cast<QComboBox *>(w))
        e = c->lineEdit();
    QVERIFY(e);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, testo);
}

// The archive screen showing record 1 of an archive holding `record`.
struct Scena {
    explicit Scena(Ambiente &env, const QByteArray &record)
    {
        ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")), {record});
        w.show();
        w.MostraScheda(1);
    }
    TfrmAnagrafica w;
};

// Previews the sheet with the screen's button and returns the preview window's caption.
QString Anteprima(Ambiente &env, QWidget *schermata)
{
    QString titolo;
    env->modale = [&](QDialog *d) {
        if (qobject_cast<TfrmAnteprimaReport *>(d))
            titolo = d->windowTitle();
    };
    Controllo<QAbstractButton>(schermata, "cmdAnteprima")->click();
    return titolo;
}

} // namespace

class TestScheda : public QObject {
    Q_OBJECT

private slots:
    void anteprimaDelloSchermo();
    void righeUnite_data();
    void righeUnite();
    void testoSenzaEspressioni();
    void notaLungaTagliata();
    void stampa();
    void posizioniSullaPagina();
};

void TestScheda::anteprimaDelloSchermo()
{
    Ambiente env;
    Scena s(env, Record({{"Tesserato", "ROSSI MARIO"},
                         {"Carica", "Socio"},
                         {"NumTessera", "17"},
                         {"DataRil", "01/01/2025"},
                         {"DataScade", "31/12/2025"},
                         {"Preavviso", "30"},
                         {"Email", "m.rossi@example.org"},
                         {"Iban", "IT60X0542811101000000123456"},
                         {"Note", "nota salvata"},
                         {"Annullata", "No"}}));
    // Edits not saved: the sheet prints the screen, not the archive.
    Scrivi(&s.w, "txtNote", QStringLiteral("nota non ancora salvata"));
    Scrivi(&s.w, "txtCarica", QStringLiteral("  Tesoriere  "));
    const QByteArray archivio = LeggiFile(env.Percorso(QStringLiteral("Tesserati.pro")));

    QCOMPARE(Anteprima(env, &s.w), QStringLiteral("Scheda informativa"));
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmAnteprimaReport")});
    const TReport &rep = RepScheda(&s.w);
    QCOMPARE(Testo(rep, "txtTitolo"), QStringLiteral("SCHEDA ANAGRAFICA SOCIO"));
    QCOMPARE(Testo(rep, "txtCalce"),
             QStringLiteral("Stampa eseguita in data 15/06/2025 alle ore 10:30:00"));
    const char *titoli[24] = {"Cognome e nome:",
                              "Carica ricoperta:",
                              "Tessera n.",
                              "Data rilascio:",
                              "Data scadenza:",
                              "Data di nascita:",
                              "Comune di nascita:",
                              "Comune di residenza:",
                              "CAP:",
                              "Via e numero civico:",
                              "Titoli posseduti:",
                              "Tel. casa:",
                              "Tel. ufficio:",
                              "Tel. cellulare:",
                              "Recapito preferenziale:",
                              "Fax:",
                              "E-mail:",
                              "Codice Fiscale:",
                              "Carta di credito n.",
                              "Scadenza carta di credito:",
                              "Partita IVA:",
                              "IBAN:",
                              "Intestatario C/C:",
                              "Note:"};
    for (int n = 1; n <= 24; ++n)
        QCOMPARE(Testo(rep, Riga("titCampo", n)), QString::fromUtf8(titoli[n - 1]));
    QCOMPARE(Testo(rep, "txtCampo01"), QStringLiteral("ROSSI MARIO"));
    QCOMPARE(Testo(rep, "txtCampo02"), QStringLiteral("Tesoriere"));
    QCOMPARE(Testo(rep, "txtCampo03"), QStringLiteral("17"));
    QCOMPARE(Testo(rep, "txtCampo04"), QStringLiteral("01/01/2025"));
    QCOMPARE(Testo(rep, "txtCampo05"), QStringLiteral("31/12/2025"));
    QCOMPARE(Testo(rep, "txtCampo17"), QStringLiteral("m.rossi@example.org"));
    QCOMPARE(Testo(rep, "txtCampo22"), QStringLiteral("IT60X0542811101000000123456"));
    QCOMPARE(Testo(rep, "txtCampo24"), QStringLiteral("nota non ancora salvata"));
    QCOMPARE(LeggiFile(env.Percorso(QStringLiteral("Tesserati.pro"))), archivio);
}

void TestScheda::righeUnite_data()
{
    QTest::addColumn<QString>("comuneNasc");
    QTest::addColumn<QString>("provNasc");
    QTest::addColumn<QString>("comuneRes");
    QTest::addColumn<QString>("provRes");
    QTest::addColumn<QString>("riga07");
    QTest::addColumn<QString>("riga08");
    QTest::newRow("both") << "Roma"
                          << "RM"
                          << "Milano"
                          << "MI"
                          << "Roma RM"
                          << "Milano  MI";
    QTest::newRow("no provinces") << "Roma"
                                  << ""
                                  << "Milano"
                                  << ""
                                  << "Roma "
                                  << "Milano  ";
    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << ""
                               << " "
                               << "  ";
    QTest::newRow("padded town") << "  Cantù "
                                 << "co"
                                 << " Forlì"
                                 << "fc"
                                 << "Cantù CO"
                                 << "Forlì  FC";
}

void TestScheda::righeUnite()
{
    QFETCH(QString, comuneNasc);
    QFETCH(QString, provNasc);
    QFETCH(QString, comuneRes);
    QFETCH(QString, provRes);
    Ambiente env;
    Scena s(env, Tesserato("ROSSI"));
    s.w.findChild<QLineEdit *>(QStringLiteral("txtComuneNasc"))->setText(comuneNasc);
    s.w.findChild<QLineEdit *>(QStringLiteral("txtComuneRes"))->setText(comuneRes);
    Scrivi(&s.w, "txtProvNasc", provNasc);
    Scrivi(&s.w, "txtProvRes", provRes);
    Anteprima(env, &s.w);
    const TReport &rep = RepScheda(&s.w);
    QTEST(Testo(rep, "txtCampo07"), "riga07");
    QTEST(Testo(rep, "txtCampo08"), "riga08");
}

void TestScheda::testoSenzaEspressioni()
{
    Ambiente env;
    Scena s(env, Tesserato("[DATE]"));
    Scrivi(&s.w, "txtNote", QStringLiteral("Rinnovo il [DATE] (vedi [Note])"));
    Anteprima(env, &s.w);
    const TReport &rep = RepScheda(&s.w);
    QCOMPARE(Testo(rep, "txtCampo01"), QStringLiteral("[DATE]"));
    QCOMPARE(Testo(rep, "txtCampo24"), QStringLiteral("Rinnovo il [DATE] (vedi [Note])"));
}

void TestScheda::notaLungaTagliata()
{
    Ambiente env;
    Scena s(env, Tesserato("ROSSI"));
    QString nota;
    for (int i = 0; nota.size() < 250; ++i)
        nota += QStringLiteral("parola%1 ").arg(i);
    nota = nota.left(249) + u'Z';
    s.w.findChild<QLineEdit *>(QStringLiteral("txtNote"))->setText(nota);
    Anteprima(env, &s.w);
    const TReport &rep = RepScheda(&s.w);
    QCOMPARE(Testo(rep, "txtCampo24"), nota); // one line, nothing moved to a second

    // On the page nothing passes the memo's right edge (60 + 128 mm from the margin) and
    // the row below the note stays blank.
    const QImage img = rep.RenderImmagine(0, 96.0).convertToFormat(QImage::Format_RGB32);
    const double mm = 96.0 / 25.4;
    const int top = int((10 + 24 + 23 * 10) * mm), alto = int(6 * mm);
    auto inchiostro = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (qGray(img.pixel(x, y)) < 200)
                    return true;
        return false;
    };
    QVERIFY(inchiostro(int(75 * mm), int(195 * mm), top, top + alto));
    QVERIFY(!inchiostro(int(198.5 * mm), int(208 * mm), top, top + alto));
    QVERIFY(!inchiostro(int(70 * mm), int(198 * mm), top + alto + 1, int((10 + 264) * mm)));
}

void TestScheda::stampa()
{
    Ambiente env;
    Scena s(env, Tesserato("ROSSI MARIO"));
    env->stampaSuPdf = env.Percorso(QStringLiteral("scheda.pdf"));
    env->annullaStampa = true;
    Controllo<QAbstractButton>(&s.w, "cmdStampa")->click();
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY(!QFile::exists(env->stampaSuPdf));

    env->annullaStampa = false;
    Scrivi(&s.w, "txtNote", QStringLiteral("stampata"));
    Controllo<QAbstractButton>(&s.w, "cmdStampa")->click();
    QCOMPARE(env->dialoghiStampa, 2);
    QVERIFY(QFile::exists(env->stampaSuPdf));
    QVERIFY(LeggiFile(env->stampaSuPdf).startsWith("%PDF"));
    QCOMPARE(Testo(RepScheda(&s.w), "txtCampo24"), QStringLiteral("stampata"));
    QVERIFY(env->messaggi.isEmpty());

    // A printer that fails after the dialog is reported, not passed off as a print.
    QVERIFY(QFile::remove(env->stampaSuPdf));
    QVERIFY(QDir(env.cartella()).mkdir(QStringLiteral("scheda.pdf")));
    Controllo<QAbstractButton>(&s.w, "cmdStampa")->click();
    QCOMPARE(env->dialoghiStampa, 3);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QCOMPARE(env->UltimoMessaggio(), QStringLiteral("Printing of \"Scheda informativa\" failed"));
}

// Colours sampled in the middle of the bars and rows, measured in millimetres from the
// paper's corner (margins of 10 mm).
void TestScheda::posizioniSullaPagina()
{
    Ambiente env;
    Scena s(env, Tesserato("ROSSI"));
    Anteprima(env, &s.w);
    const TReport &rep = RepScheda(&s.w);
    QCOMPARE(rep.PreparedPages().front().LarghezzaMm, 210.0);
    QCOMPARE(rep.PreparedPages().front().AltezzaMm, 297.0);
    const QImage img = rep.RenderImmagine(0, 96.0).convertToFormat(QImage::Format_RGB32);
    auto colore = [&](double xMm, double yMm) {
        return QColor(img.pixel(int(xMm * 96 / 25.4), int(yMm * 96 / 25.4)));
    };
    const QColor arancio(0xFF, 0x8C, 0x00), verde(0x00, 0x80, 0x80);
    QCOMPARE(colore(10 + 24, 10 + 4), arancio);              // title bar, left end
    QCOMPARE(colore(10 + 186, 10 + 11), arancio);            // title bar, right end
    QCOMPARE(colore(10 + 20, 10 + 4), QColor(Qt::white));    // the gap beside the folder
    QCOMPARE(colore(10 + 4, 10 + 24.5), verde);              // caption of row 1
    QCOMPARE(colore(10 + 54, 10 + 24 + 230 + 5.5), verde);   // caption of row 24, right end
    QCOMPARE(colore(10 + 57, 10 + 24.5), QColor(Qt::white)); // between caption and value
    QCOMPARE(colore(10 + 4, 10 + 269.5), arancio);           // closing bar
    QCOMPARE(colore(10 + 187, 10 + 274.5), arancio);
    // The two rules: a dark line within half a millimetre of 16 and 265 mm.
    auto riga = [&](double yMm) {
        int scuro = 255;
        for (double y = yMm - 0.5; y <= yMm + 0.5; y += 0.1)
            scuro = std::min(scuro, colore(10 + 100, y).lightness());
        return scuro;
    };
    QVERIFY(riga(10 + 16) < 100);
    QVERIFY(riga(10 + 265) < 100);
    QCOMPARE(riga(10 + 20), 255);
}

QTEST_MAIN(TestScheda)
#include "tst_scheda.moc"
