// The single card: its layout, the organization data and logo, the single-card
// screen, the print settings and the preview, driven as a user would.
#include "archive/Impostazioni.h"
#include "cards/AnteprimaTessera.h"
#include "cards/DatiEnte.h"
#include "cards/Segnaposto.h"
#include "cards/StampaTessera.h"
#include "cards/Tessera.h"
#include "cards/core/ModelloTessera.h"
#include "lists/TrovaAnagrafica.h"
#include "report/Anteprima.h"
#include "shell/Guida.h"
#include "storage/DatiEnteFile.h"
#include "support/Stampati.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using Piattaforma::Forma;

namespace {

const QString kStampaFallita = QStringLiteral(
    "Attenzione: la stampa non \u00e8 andata a buon fine.\n\r\n\rAccertarsi che la stampante sia "
    "configurata correttamente.");
const QString kVuoto = QStringLiteral("L'archivio non contiene nessuna scheda.");

QString LeggiIni(Ambiente &env)
{
    return QString::fromUtf8(Costruttore::LeggiFile(env.Percorso("Quorvel.ini")));
}

// The single-card screen, shown as the start screen shows it.
QString Etichetta(QWidget *frm, const char *nome)
{
    return Controllo<QLabel>(frm, nome)->text();
}

// Bounding box in millimetres of the non-white pixels of a page rendered at 5 px/mm.
constexpr double kDpi = 127.0;
constexpr double kPxMm = kDpi / 25.4;
QRectF Inchiostro(const QImage &pagina)
{
    int x0 = pagina.width(), y0 = pagina.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < pagina.height(); ++y) {
        const QRgb *riga = reinterpret_cast<const QRgb *>(pagina.constScanLine(y));
        for (int x = 0; x < pagina.width(); ++x) {
            const QRgb c = riga[x];
            if (qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235)
                continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < 0)
        return QRectF();
    return QRectF(x0 / kPxMm, y0 / kPxMm, (x1 + 1 - x0) / kPxMm, (y1 + 1 - y0) / kPxMm);
}

} // namespace

class TestTessera : public QObject {
    Q_OBJECT

private slots:
    void modelloStampato();
    void variante_data();
    void variante();
    void datiEnteRipuliti();
    void primoUso();
    void logoSchiacciato();
    void logoCancellatoBianco();
    void logoNonSalvabile();
    void iniNonScrivibile();
    void scorrimento_data();
    void scorrimento();
    void fotoDellaScheda();
    void archivioInaccessibile();
    void schermataDatiEnte();
    void datiEnteAltroChiamante();
    void suggerimenti();
    void guidaETrova();
    void impostazioniLette_data();
    void impostazioniLette();
    void primaStampaAnnullata();
    void posizioneStampata_data();
    void posizioneStampata();
    void annullaTieneISalvati();
    void stampaFallita_data();
    void stampaFallita();
    void senzaStampanti();
    void anteprimaSempreVerticale();
    void riempimentoDopoNuovo();
    void nomeTagliatoAlBordo();
};

void TestTessera::modelloStampato()
{
    const auto r = CreaTesserino(VarianteTessera::Stampa);
    QCOMPARE(r->ReportOptions.Name, QString("Tesserino"));
    const TReportPage &p = r->Pages(1);
    QCOMPARE(p.PaperSize, 9);
    QCOMPARE(p.PaperWidth, 210.0);
    QCOMPARE(p.Orientation(), poPortrait);
    const QStringList ordine = {
        "shpSfondo",       "imgFoto",          "imgLogo",          "shpHeader",      "shpFooter",
        "txtAssociazione", "txtSottotitolo01", "txtSottotitolo02", "txtAnnotazioni", "txtTesserato",
        "txtCarica",       "txtNumTessera",    "titDataRil",       "shpDataRil",     "titDataScade",
        "txtDataRil",      "shpDataScade",     "txtDataScade"};
    QCOMPARE(int(p.Objects.size()), ordine.size());
    for (int i = 0; i < ordine.size(); ++i)
        QCOMPARE(p.Objects[size_t(i)]->Name, ordine[i]);
    const TMemoView &nome = r->Memo("txtTesserato");
    QVERIFY(qAbs(nome.Left - 151.1812) < 1e-3);
    QVERIFY(qAbs(nome.Top - 94.48819) < 1e-3);
    QVERIFY(qAbs(nome.Width - 207.87415) < 1e-3);
    QVERIFY(qAbs(nome.Height - 15.11811) < 1e-3);
    QCOMPARE(nome.Font.Size, 9.0);
    QCOMPARE(nome.Font.Style, int(fsBold));
    QVERIFY(!nome.WordWrap);
    QVERIFY(!nome.AllowExpressions);
    QCOMPARE(r->Memo("txtNumTessera").Font.Color, Colori::Brown);
    QCOMPARE(r->Memo("txtSottotitolo01").Text(), QString::fromUtf8("Indirizzo e città"));
    const auto &foto = r->Picture("imgFoto");
    QVERIFY(foto.Center && foto.Stretched && foto.KeepAspectRatio && !foto.HighQuality);
    QCOMPARE(dynamic_cast<TShapeView &>(*r->FindObject("shpHeader")).Color, Colori::Navy);
    QCOMPARE(dynamic_cast<TShapeView &>(*r->FindObject("shpDataRil")).Color, Colori::Beige);
}

void TestTessera::variante_data()
{
    QTest::addColumn<int>("variante");
    QTest::addColumn<QString>("oggetto");
    QTest::addColumn<double>("altoMm"); // from the card's corner
    QTest::addColumn<int>("vAlign");
    const int s = int(VarianteTessera::Stampa), a = int(VarianteTessera::Anteprima),
              f = int(VarianteTessera::Foglio);
    QTest::newRow("stampa nome") << s << "txtTesserato" << 15.0 << int(vaCenter);
    QTest::newRow("stampa rilascio") << s << "txtDataRil" << 32.6 << int(vaCenter);
    QTest::newRow("stampa note") << s << "txtAnnotazioni" << 48.0 << int(vaCenter);
    QTest::newRow("anteprima nome") << a << "txtTesserato" << 15.0 << int(vaTop);
    QTest::newRow("anteprima ente") << a << "txtAssociazione" << 2.0 << int(vaTop);
    QTest::newRow("anteprima rilascio") << a << "txtDataRil" << 32.4 << int(vaCenter);
    QTest::newRow("anteprima scadenza") << a << "txtDataScade" << 41.4 << int(vaCenter);
    QTest::newRow("anteprima note") << a << "txtAnnotazioni" << 48.2 << int(vaCenter);
    QTest::newRow("foglio note") << f << "txtAnnotazioni" << 48.0 << int(vaCenter);
    QTest::newRow("foglio titolo data") << f << "titDataRil" << 28.0 << int(vaTop);
}

void TestTessera::variante()
{
    QFETCH(int, variante);
    QFETCH(QString, oggetto);
    QFETCH(double, altoMm);
    QFETCH(int, vAlign);
    TReport r;
    // A card of the sheet, at an offset and with a suffix, as the nine-card sheet adds it.
    AggiungiTessera(r.Pages(1), 105.0, 75.0, VarianteTessera(variante), "_E", "shpTessera");
    const TMemoView &m = r.Memo(oggetto + "_E");
    QVERIFY2(qAbs(Unita::InMm(m.Top) - (75.0 + altoMm)) < 1e-6,
             qPrintable(QString::number(Unita::InMm(m.Top))));
    QCOMPARE(int(m.VAlign), vAlign);
    QVERIFY(r.FindObject("shpTessera_E"));
    QVERIFY(!r.FindObject("shpSfondo_E"));
    QVERIFY(qAbs(Unita::InMm(r.FindObject("imgLogo_E")->Left) - 167.2) < 1e-6);
    if (VarianteTessera(variante) == VarianteTessera::Anteprima) {
        const auto t = CreaTesserino(VarianteTessera::Anteprima);
        QCOMPARE(t->Pages(1).PaperSize, 256);
        QCOMPARE(t->Pages(1).PaperHeight, 297.0);
    }
}

void TestTessera::datiEnteRipuliti()
{
    Ambiente env;
    DatiEnteFile::Scrivi(env.cartella(), {"   Circolo Aurora ", "\tVia Roma 1", "", "Note  "});
    const QString ini = LeggiIni(env);
    QVERIFY(ini.contains("[Dati Ente]"));
    QVERIFY(ini.contains("Denominazione=Circolo Aurora\r\n"));
    QVERIFY(ini.contains("Sottotitolo 1=Via Roma 1\r\n"));
    QVERIFY(ini.contains("Sottotitolo 2=\r\n"));
    QVERIFY(ini.indexOf("Denominazione") < ini.indexOf("Sottotitolo 1"));
    QVERIFY(ini.indexOf("Sottotitolo 2") < ini.indexOf("Annotazioni"));
    const TDatiEnte d = DatiEnteFile::Leggi(env.cartella());
    QCOMPARE(d.Denominazione, QString("Circolo Aurora"));
    QCOMPARE(d.Sottotitolo1, QString("Via Roma 1"));
    QCOMPARE(d.Sottotitolo2, QString());
    QCOMPARE(d.Annotazioni, QString("Note"));
}

void TestTessera::primoUso()
{
    Ambiente env;
    auto frm = ApriTessera();
    for (const char *n :
         {"titAssociazione", "titSottotitolo01", "titSottotitolo02", "titAnnotazioni"})
        QCOMPARE(Etichetta(frm.get(), n), QString());
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgLogo")->Picture(),
             Controllo<TImmagine>(frm.get(), "imgBlank")->Picture());
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgBlank")->Picture().size(), QSize(119, 118));
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgBianco")->Picture().size(), QSize(157, 174));
    Clic(frm.get(), "imgEsci");
    QVERIFY(!frm->isVisible());
    const QString ini = LeggiIni(env);
    for (const char *k :
         {"Denominazione=\r\n", "Sottotitolo 1=\r\n", "Sottotitolo 2=\r\n", "Annotazioni=\r\n"})
        QVERIFY2(ini.contains(k), k);
    const QImage logo(env.Percorso("Logo.jpg"));
    QCOMPARE(logo.size(), QSize(119, 118));
    // The placeholder's blue ball sits in the middle, on white.
    QVERIFY(qBlue(logo.pixel(59, 95)) > qRed(logo.pixel(59, 95)) + 40);
    QVERIFY(qRed(logo.pixel(1, 1)) > 230);
    QVERIFY(env->messaggi.isEmpty());
    // The organization's texts and logo alone: no archive file is made for them.
    QVERIFY(!QFileInfo::exists(env.Percorso("Tesserati.pro")));
}

void TestTessera::logoSchiacciato()
{
    Ambiente env;
    // Left half red, right half blue: squeezed, the colours keep their halves.
    QImage img(300, 100, QImage::Format_RGB32);
    img.fill(Qt::blue);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 150; ++x)
            img.setPixel(x, y, qRgb(255, 0, 0));
    QVERIFY(img.save(env.Percorso("scelto.bmp")));
    auto frm = ApriTessera();
    env->fileDaAprire.enqueue(env.Percorso("scelto.bmp"));
    QTest::mouseClick(Controllo<TImmagine>(frm.get(), "imgLogo"), Qt::LeftButton);
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgLogo")->Picture().size(), QSize(300, 100));
    // A cancelled dialog changes nothing.
    QTest::mouseClick(Controllo<TImmagine>(frm.get(), "imgLogo"), Qt::LeftButton);
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgLogo")->Picture().size(), QSize(300, 100));
    Clic(frm.get(), "imgEsci");
    const QImage logo(env.Percorso("Logo.jpg"));
    QCOMPARE(logo.size(), QSize(119, 118));
    QVERIFY(qRed(logo.pixel(20, 59)) > 200 && qBlue(logo.pixel(20, 59)) < 60);
    QVERIFY(qBlue(logo.pixel(100, 59)) > 200 && qRed(logo.pixel(100, 59)) < 60);
    QVERIFY(qRed(logo.pixel(20, 2)) > 200); // stretched to the full height

    // The next visit shows the squeezed file.
    frm->show();
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgLogo")->Picture().size(), QSize(119, 118));
}

void TestTessera::logoCancellatoBianco()
{
    Ambiente env;
    auto frm = ApriTessera();
    Clic(frm.get(), "btnCancLogo");
    Clic(frm.get(), "btnCancFoto");
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgLogo")->Picture().size(), QSize(2, 2));
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgFoto")->Picture().size(), QSize(2, 2));
    Clic(frm.get(), "imgEsci");
    const QImage logo(env.Percorso("Logo.jpg"));
    QCOMPARE(logo.size(), QSize(119, 118));
    for (const QPoint &p : {QPoint(0, 0), QPoint(59, 59), QPoint(118, 117)})
        QVERIFY(qRed(logo.pixel(p)) > 250 && qGreen(logo.pixel(p)) > 250 &&
                qBlue(logo.pixel(p)) > 250);
    frm->show();
    QCOMPARE(Controllo<TImmagine>(frm.get(), "imgLogo")->Picture().pixel(59, 59) | 0x00030303,
             qRgb(255, 255, 255));
}

void TestTessera::logoNonSalvabile()
{
    Ambiente env;
    QVERIFY(QDir(env.cartella()).mkdir("Logo.jpg"));
    auto frm = ApriTessera();
    Clic(frm.get(), "btnCancLogo");
    Clic(frm.get(), "imgEsci");
    // Reported instead of lost silently; the screen closes all the same.
    QVERIFY(!frm->isVisible());
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Forma::Avviso);
    QVERIFY(env->messaggi[0].testo.contains("Logo.jpg"));
    QVERIFY(LeggiIni(env).contains("Denominazione="));
}

void TestTessera::iniNonScrivibile()
{
    Ambiente env;
    QVERIFY(QDir(env.cartella()).mkdir("Quorvel.ini"));
    auto frm = ApriTessera();
    frm->close();
    QVERIFY(frm->isVisible());
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Forma::ErroreGenerale);
    QCOMPARE(env->messaggi[0].testo, "Unable to write to " + env.Percorso("Quorvel.ini"));
    QVERIFY(!QFile::exists(env.Percorso("Logo.jpg"))); // the logo is not saved
    Clic(frm.get(), "imgEsci");
    QVERIFY(frm->isVisible());
    QCOMPARE(env->messaggi.size(), 2);
}

void TestTessera::scorrimento_data()
{
    QTest::addColumn<int>("schede");
    QTest::addColumn<QString>("posizione"); // before the press: "" or a position
    QTest::addColumn<QString>("freccia");
    QTest::addColumn<QString>("attesa");
    QTest::addColumn<bool>("messaggioVuoto");
    QTest::newRow("primo") << 3 << "2"
                           << "cmdPrimo"
                           << "1" << false;
    QTest::newRow("ultimo") << 3 << ""
                            << "cmdUltimo"
                            << "3" << false;
    QTest::newRow("avanti senza scheda") << 3 << ""
                                         << "cmdAvanti"
                                         << "1" << false;
    QTest::newRow("avanti all'ultima") << 3 << "3"
                                       << "cmdAvanti"
                                       << "3" << false;
    QTest::newRow("indietro senza scheda") << 3 << ""
                                           << "cmdIndietro"
                                           << "1" << false;
    QTest::newRow("indietro alla prima") << 3 << "1"
                                         << "cmdIndietro"
                                         << "1" << false;
    QTest::newRow("indietro") << 3 << "3"
                              << "cmdIndietro"
                              << "2" << false;
    QTest::newRow("primo archivio vuoto") << 0 << ""
                                          << "cmdPrimo"
                                          << "" << true;
    QTest::newRow("avanti archivio vuoto") << 0 << ""
                                           << "cmdAvanti"
                                           << "" << true;
}

void TestTessera::scorrimento()
{
    QFETCH(int, schede);
    QFETCH(QString, posizione);
    QFETCH(QString, freccia);
    QFETCH(QString, attesa);
    QFETCH(bool, messaggioVuoto);
    Ambiente env;
    if (schede > 0) {
        QList<QByteArray> record;
        for (int i = 1; i <= schede; ++i)
            record << Costruttore::Record({{"Tesserato", "SOCIO " + QByteArray::number(i)},
                                           {"Carica", "Consigliere"},
                                           {"NumTessera", "  N" + QByteArray::number(i)},
                                           {"DataRil", "01/02/2025"},
                                           {"DataScade", "31/12/2026"}});
        Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), record);
    }
    auto frm = ApriTessera();
    if (!posizione.isEmpty()) {
        // Reach the starting record with the arrows themselves.
        Clic(frm.get(), "cmdPrimo");
        while (Etichetta(frm.get(), "lblPosizione") != posizione)
            Clic(frm.get(), "cmdAvanti");
    }
    Clic(frm.get(), qPrintable(freccia));
    QCOMPARE(Etichetta(frm.get(), "lblPosizione"), attesa);
    if (!attesa.isEmpty()) {
        QCOMPARE(Etichetta(frm.get(), "txtTesserato"), "SOCIO " + attesa);
        QCOMPARE(Etichetta(frm.get(), "txtCarica"), QString("Consigliere"));
        QCOMPARE(Etichetta(frm.get(), "txtNumTessera"), "N" + attesa);
        QCOMPARE(Etichetta(frm.get(), "txtDataRil"), QString("01/02/2025"));
        QCOMPARE(Etichetta(frm.get(), "txtDataScade"), QString("31/12/2026"));
    } else {
        QCOMPARE(Etichetta(frm.get(), "txtTesserato"), QString("Cognome e nome Socio"));
    }
    if (messaggioVuoto) {
        QCOMPARE(env->messaggi.size(), 1);
        QCOMPARE(env->messaggi[0].forma, Forma::Informazione);
        QCOMPARE(env->messaggi[0].testo, kVuoto);
        QVERIFY(QFile::exists(env.Percorso("Tesserati.pro"))); // created empty
    } else {
        QVERIFY(env->messaggi.isEmpty());
    }
}

void TestTessera::fotoDellaScheda()
{
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Costruttore::Tesserato("ROSSI"),
                                                                Costruttore::Tesserato("BIANCHI")});
    QVERIFY(Immagine(40, 50, Qt::green).save(env.Percorso("1.jpg")));
    auto frm = ApriTessera();
    auto *foto = Controllo<TImmagine>(frm.get(), "imgFoto");
    Clic(frm.get(), "cmdPrimo");
    QCOMPARE(foto->Picture().size(), QSize(40, 50));
    Clic(frm.get(), "cmdAvanti"); // no photo file: the placeholder portrait
    QCOMPARE(foto->Picture(), Controllo<TImmagine>(frm.get(), "imgBianco")->Picture());
    // "Nuovo" resets the card and leaves the organization data alone.
    Controllo<QLabel>(frm.get(), "titAssociazione")->setText("ENTE");
    Clic(frm.get(), "cmdNuovo");
    QCOMPARE(Etichetta(frm.get(), "lblPosizione"), QString());
    QCOMPARE(Etichetta(frm.get(), "txtDataRil"), QString("GG/MM/AAAA"));
    QCOMPARE(Etichetta(frm.get(), "titAssociazione"), QString("ENTE"));
}

void TestTessera::archivioInaccessibile()
{
    Ambiente env;
    QVERIFY(QDir(env.cartella()).mkdir("Tesserati.pro"));
    auto frm = ApriTessera();
    Clic(frm.get(), "cmdUltimo");
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Forma::Errore);
    QCOMPARE(env->messaggi[0].testo,
             QString("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                     "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                     "installazione del programma."));
    QCOMPARE(Etichetta(frm.get(), "lblPosizione"), QString());
}

void TestTessera::schermataDatiEnte()
{
    Ambiente env;
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nSottotitolo 1=Via Roma 1\r\n");
    auto frm = ApriTessera();
    QCOMPARE(Etichetta(frm.get(), "titAssociazione"), QString("Circolo Aurora"));
    QCOMPARE(Etichetta(frm.get(), "titSottotitolo02"), QString());
    int anelli = 0;
    env->modale = [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString(" Dati Ente o Associazione"));
        QCOMPARE(Controllo<QLabel>(d, "lblMemory")->text(), QString("tessera"));
        auto *nome = Controllo<QLineEdit>(d, "txtAssociazione");
        QCOMPARE(nome->text(), QString("Circolo Aurora"));
        QCOMPARE(Controllo<QLineEdit>(d, "txtSottotitolo01")->text(), QString("Via Roma 1"));
        QTRY_VERIFY_WITH_TIMEOUT(nome->hasFocus(), 2000);
        QVERIFY(Controllo<QWidget>(d, "effAssociazione")->isVisible());
        QVERIFY(!Controllo<QWidget>(d, "effAnnotazioni")->isVisible());
        // Enter moves round the ring and never closes the screen.
        const char *giro[] = {"txtSottotitolo01", "txtSottotitolo02", "txtAnnotazioni",
                              "txtAssociazione"};
        for (const char *prossimo : giro) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), Controllo<QWidget>(d, prossimo));
            ++anelli;
        }
        QVERIFY(d->isVisible());
        QVERIFY(Controllo<QWidget>(d, "effAssociazione")->isVisible());
        nome->clear();
        QTest::keyClicks(nome, "  Circolo Nuovo ");
        QTest::keyClicks(Controllo<QLineEdit>(d, "txtAnnotazioni"), "Tessera valida un anno ");
        Controllo<QAbstractButton>(d, "btnApplica")->click();
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titSottotitolo02"), Qt::LeftButton);
    QCOMPARE(anelli, 4);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmDatiEnte"});
    QCOMPARE(Etichetta(frm.get(), "titAssociazione"), QString("Circolo Nuovo"));
    QCOMPARE(Etichetta(frm.get(), "titAnnotazioni"), QString("Tessera valida un anno"));
    QCOMPARE(Etichetta(frm.get(), "titSottotitolo01"), QString("Via Roma 1"));
    // The file changes only when the screen closes.
    QVERIFY(LeggiIni(env).contains("Denominazione=Circolo Aurora"));

    // "Annulla" hands nothing back.
    env->modale = [](QDialog *d) {
        Controllo<QLineEdit>(d, "txtAssociazione")->setText("Altro");
        Controllo<QAbstractButton>(d, "btnAnnulla")->click();
    };
    QTest::mouseClick(Controllo<QLabel>(frm.get(), "titAssociazione"), Qt::LeftButton);
    QCOMPARE(Etichetta(frm.get(), "titAssociazione"), QString("Circolo Nuovo"));

    Clic(frm.get(), "imgEsci");
    QVERIFY(LeggiIni(env).contains("Denominazione=Circolo Nuovo\r\n"));
    QVERIFY(LeggiIni(env).contains("Annotazioni=Tessera valida un anno\r\n"));
}

void TestTessera::datiEnteAltroChiamante()
{
    Ambiente env;
    auto frm = ApriTessera();
    Controllo<QLabel>(frm.get(), "titAssociazione")->setText("Prima");
    auto *d = new TfrmDatiEnte(frm.get());
    Controllo<QLabel>(d, "lblMemory")->setText("anagrafica");
    Controllo<QLineEdit>(d, "txtAssociazione")->setText("Dopo");
    Controllo<QAbstractButton>(d, "btnApplica")->click();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(Etichetta(frm.get(), "titAssociazione"), QString("Prima"));
    delete d;
}

void TestTessera::suggerimenti()
{
    Ambiente env;
    auto frm = ApriTessera();
    auto *info = Controllo<QLabel>(frm.get(), "panInfo");
    QCOMPARE(info->text(), QString("Pronto per stampare una nuova tessera..."));
    const std::pair<const char *, QString> casi[] = {
        {"cmdStampa", "Stampa il tesserino corrente."},
        {"btnCancLogo", "Cancella il logo corrente."},
        {"titAnnotazioni", "Fare clic per inserire i dati del proprio Ente o Associazione."},
        {"imgLogo", "Fare clic per caricare il logo del proprio Ente o Associazione."},
    };
    for (const auto &[nome, testo] : casi) {
        QEvent entra(QEvent::Enter);
        QApplication::sendEvent(Controllo<QWidget>(frm.get(), nome), &entra);
        QCOMPARE(info->text(), testo);
    }
    QEvent sullaFoto(QEvent::Enter);
    QApplication::sendEvent(Controllo<QWidget>(frm.get(), "imgFoto"), &sullaFoto);
    QCOMPARE(info->text(), QString());
}

void TestTessera::guidaETrova()
{
    Ambiente env;
    auto frm = ApriTessera();
    QString titolo, corpo, memoria;
    env->modale = [&](QDialog *d) {
        if (auto *g = qobject_cast<TfrmGuida *>(d)) {
            titolo = Controllo<QLabel>(g, "lblTitolo")->text();
            corpo = Controllo<QPlainTextEdit>(g, "txtGuida")->toPlainText();
        } else if (qobject_cast<TfrmTrovaAnagrafica *>(d)) {
            memoria = Controllo<QLabel>(d, "lblMemory")->text();
        }
    };
    Clic(frm.get(), "imgGuida");
    Clic(frm.get(), "cmdTrova");
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmGuida", "TfrmTrovaAnagrafica"}));
    QCOMPARE(titolo, QString("Stampa tessera singola."));
    QCOMPARE(TfrmTessera::TestoGuida().split("\r\n\r\n").size(), 4);
    QVERIFY(corpo.contains("Trova"));
    QVERIFY(corpo.contains("margini"));
    QCOMPARE(memoria, QString("tessera"));
}

void TestTessera::impostazioniLette_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("alto");
    QTest::addColumn<QString>("sinistra");
    QTest::addColumn<bool>("verticale");
    QTest::newRow("nessun file") << QByteArray() << "0"
                                 << "0" << true;
    QTest::newRow("orizzontale") << QByteArray(
                                        "[Margini Stampa]\r\nSuperiore=-4\r\nSinistro=12\r\n"
                                        "[Stampa Tesserino]\r\nOrientamento= Orizzontale \r\n")
                                 << "-4"
                                 << "12" << false;
    QTest::newRow("minuscolo") << QByteArray("[Stampa Tesserino]\r\nOrientamento=orizzontale\r\n")
                               << "0"
                               << "0" << true;
    QTest::newRow("vuoti") << QByteArray("[Margini Stampa]\r\nSuperiore=\r\nSinistro= \r\n") << "0"
                           << "0" << true;
}

void TestTessera::impostazioniLette()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, alto);
    QFETCH(QString, sinistra);
    QFETCH(bool, verticale);
    Ambiente env;
    if (!ini.isEmpty())
        ScriviIni(env, ini);
    auto frm = ApriTessera();
    bool visto = false;
    env->modale = [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString(" Stampa tesserino"));
        QCOMPARE(Controllo<QLineEdit>(d, "txtTop")->text(), alto);
        QCOMPARE(Controllo<QLineEdit>(d, "txtLeft")->text(), sinistra);
        QVERIFY(Controllo<QLineEdit>(d, "txtTop")->isReadOnly());
        QCOMPARE(Controllo<QRadioButton>(d, "optVerticale")->isChecked(), verticale);
        QCOMPARE(Controllo<QRadioButton>(d, "optOrizzontale")->isChecked(), !verticale);
        visto = true;
    };
    Clic(frm.get(), "cmdStampa");
    QVERIFY(visto);
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmStampaTessera"});
}

void TestTessera::primaStampaAnnullata()
{
    Ambiente env;
    env->annullaStampa = true;
    auto frm = ApriTessera();
    bool chiusa = false;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        chiusa = !d->isVisible();
    };
    Clic(frm.get(), "cmdStampa");
    QVERIFY(chiusa);
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY(env->messaggi.isEmpty());
    const TFileIni ini(env.Percorso("Quorvel.ini"));
    QCOMPARE(ini.Leggi("Margini Stampa", "Superiore"), QString("0"));
    QCOMPARE(ini.Leggi("Margini Stampa", "Sinistro"), QString("0"));
    QCOMPARE(ini.Leggi("Stampa Tesserino", "Orientamento"), QString("Verticale"));
}

void TestTessera::posizioneStampata_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("clic");
    QTest::addColumn<QSizeF>("foglio");  // mm
    QTest::addColumn<QPointF>("angolo"); // card's top-left corner, mm
    QTest::newRow("margini zero") << QByteArray() << QStringList() << QSizeF(210, 297)
                                  << QPointF(10, 10);
    QTest::newRow("superiore -3") << QByteArray()
                                  << QStringList{"btnTopMinus", "btnTopMinus", "btnTopMinus"}
                                  << QSizeF(210, 297) << QPointF(10, 7);
    QTest::newRow("orizzontale 5 5")
        << QByteArray("[Margini Stampa]\r\nSuperiore=4\r\nSinistro=6\r\n")
        << QStringList{"optOrizzontale", "btnTopPlus", "btnLeftMinus"} << QSizeF(297, 210)
        << QPointF(15, 15);
}

void TestTessera::posizioneStampata()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, clic);
    QFETCH(QSizeF, foglio);
    QFETCH(QPointF, angolo);
    Ambiente env;
    if (!ini.isEmpty())
        ScriviIni(env, ini);
    env->stampaSuPdf = env.Percorso("tessera.pdf");
    auto frm = ApriTessera();
    QRectF carta;
    QSizeF pagina;
    env->modale = [&](QDialog *d) {
        for (const QString &nome : clic)
            Controllo<QAbstractButton>(d, qPrintable(nome))->click();
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        const TReport &r = qobject_cast<TfrmStampaTessera *>(d)->repTesserino();
        QCOMPARE(r.PreparedCount(), 1);
        pagina = QSizeF(r.PreparedPages()[0].LarghezzaMm, r.PreparedPages()[0].AltezzaMm);
        carta = Inchiostro(r.RenderImmagine(0, kDpi));
    };
    Clic(frm.get(), "cmdStampa");
    QVERIFY(env->messaggi.isEmpty());
    QCOMPARE(pagina, foglio);
    const QSizeF pdf = PaginaPdf(env.Percorso("tessera.pdf"));
    QVERIFY2(qAbs(pdf.width() - foglio.width()) < 1 && qAbs(pdf.height() - foglio.height()) < 1,
             qPrintable(QString("%1 x %2").arg(pdf.width()).arg(pdf.height())));
    const QString dove = QString("%1,%2 %3x%4")
                             .arg(carta.left())
                             .arg(carta.top())
                             .arg(carta.width())
                             .arg(carta.height());
    QVERIFY2(qAbs(carta.left() - angolo.x()) < 0.5, qPrintable(dove));
    QVERIFY2(qAbs(carta.top() - angolo.y()) < 0.5, qPrintable(dove));
    QVERIFY2(qAbs(carta.width() - 86) < 0.6 && qAbs(carta.height() - 54) < 0.6, qPrintable(dove));
}

void TestTessera::annullaTieneISalvati()
{
    Ambiente env;
    ScriviIni(env, "[Margini Stampa]\r\nSuperiore=2\r\nSinistro=0\r\n");
    auto frm = ApriTessera();
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "btnTopPlus")->click();
        Controllo<QAbstractButton>(d, "btnTopPlus")->click();
        QCOMPARE(Controllo<QLineEdit>(d, "txtTop")->text(), QString("4"));
        Controllo<QAbstractButton>(d, "btnAnnulla")->click();
    };
    Clic(frm.get(), "cmdStampa");
    QString riaperto;
    env->modale = [&](QDialog *d) { riaperto = Controllo<QLineEdit>(d, "txtTop")->text(); };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(riaperto, QString("2"));
    QCOMPARE(env->dialoghiStampa, 0);
}

void TestTessera::stampaFallita_data()
{
    QTest::addColumn<bool>("iniBloccato");
    QTest::addColumn<int>("dialoghi");
    QTest::newRow("impostazioni non scrivibili") << true << 0;
    QTest::newRow("stampante in errore") << false << 1;
}

void TestTessera::stampaFallita()
{
    QFETCH(bool, iniBloccato);
    QFETCH(int, dialoghi);
    Ambiente env;
    // A folder where the output file or the settings file should go.
    env->stampaSuPdf = env.Percorso("tessera.pdf");
    QVERIFY(QDir(env.cartella()).mkdir(iniBloccato ? "Quorvel.ini" : "tessera.pdf"));
    auto frm = ApriTessera();
    bool chiusa = false;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        chiusa = !d->isVisible();
        QVERIFY(!Controllo<QLabel>(d, "lblAttendere")->isVisible());
    };
    Clic(frm.get(), "cmdStampa");
    QVERIFY(chiusa);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].forma, Forma::Avviso);
    QCOMPARE(env->messaggi[0].testo, kStampaFallita);
    QCOMPARE(env->dialoghiStampa, dialoghi);
    QVERIFY(!QFileInfo(env.Percorso("tessera.pdf")).isFile());
}

void TestTessera::senzaStampanti()
{
    Ambiente env;
    env->stampanti.clear();
    auto frm = ApriTessera();
    bool chiusa = false;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        chiusa = !d->isVisible();
    };
    Clic(frm.get(), "cmdStampa");
    QVERIFY(chiusa);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi[0].testo, QString("You have no printers installed"));
}

void TestTessera::anteprimaSempreVerticale()
{
    Ambiente env;
    ScriviIni(env, "[Margini Stampa]\r\nSuperiore=20\r\nSinistro=20\r\n"
                   "[Stampa Tesserino]\r\nOrientamento=Orizzontale\r\n");
    auto frm = ApriTessera();
    QRectF carta;
    QSizeF pagina;
    QString titoloAnteprima;
    env->modale = [&](QDialog *d) {
        if (auto *w = qobject_cast<TfrmAnteprimaReport *>(d)) {
            titoloAnteprima = w->windowTitle();
            return;
        }
        QCOMPARE(d->windowTitle(), QString(" Anteprima di stampa"));
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        QVERIFY(!d->isVisible()); // closed with the preview window
        const TReport &r = qobject_cast<TfrmAnteprimaTessera *>(d)->repTesserino();
        pagina = QSizeF(r.PreparedPages()[0].LarghezzaMm, r.PreparedPages()[0].AltezzaMm);
        carta = Inchiostro(r.RenderImmagine(0, kDpi));
    };
    Clic(frm.get(), "cmdAnteprima");
    QCOMPARE(env->modaliMostrati, (QStringList{"TfrmAnteprimaTessera", "TfrmAnteprimaReport"}));
    QVERIFY(titoloAnteprima.contains("Tesserino"));
    QCOMPARE(pagina, QSizeF(210, 297));
    QVERIFY2(qAbs(carta.left() - 10) < 0.5 && qAbs(carta.top() - 10) < 0.5,
             qPrintable(QString("%1,%2").arg(carta.left()).arg(carta.top())));
    QCOMPARE(env->dialoghiStampa, 0);
    QVERIFY(env->messaggi.isEmpty());
}

void TestTessera::riempimentoDopoNuovo()
{
    Ambiente env;
    env->stampaSuPdf = env.Percorso("tessera.pdf");
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=Circolo Aurora\r\nAnnotazioni=Valida 2025\r\n");
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Costruttore::Tesserato("ROSSI")});
    auto frm = ApriTessera();
    Clic(frm.get(), "cmdPrimo");
    QCOMPARE(Etichetta(frm.get(), "txtTesserato"), QString("ROSSI"));
    Clic(frm.get(), "cmdNuovo");
    QMap<QString, QString> stampati;
    QImage foto, logo;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        const TReport &r = qobject_cast<TfrmStampaTessera *>(d)->repTesserino();
        for (const char *n :
             {"txtAssociazione", "txtSottotitolo01", "txtAnnotazioni", "txtTesserato", "txtCarica",
              "txtNumTessera", "txtDataRil", "txtDataScade", "titDataRil"})
            stampati[n] = r.Memo(n).Text();
        foto = r.Picture("imgFoto").Picture;
        logo = r.Picture("imgLogo").Picture;
    };
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(stampati["txtAssociazione"], QString("Circolo Aurora"));
    QCOMPARE(stampati["txtSottotitolo01"], QString());
    QCOMPARE(stampati["txtAnnotazioni"], QString("Valida 2025"));
    QCOMPARE(stampati["txtTesserato"], QString("Cognome e nome Socio"));
    QCOMPARE(stampati["txtCarica"], QString("Carica ricoperta"));
    QCOMPARE(stampati["txtNumTessera"], QString("Tessera n."));
    QCOMPARE(stampati["txtDataRil"], QString("GG/MM/AAAA"));
    QCOMPARE(stampati["txtDataScade"], QString("GG/MM/AAAA"));
    QCOMPARE(stampati["titDataRil"], QString("Data rilascio:"));
    QCOMPARE(foto, Controllo<TImmagine>(frm.get(), "imgBianco")->Picture());
    QCOMPARE(logo, Controllo<TImmagine>(frm.get(), "imgBlank")->Picture());
}

void TestTessera::nomeTagliatoAlBordo()
{
    Ambiente env;
    // Far wider than 54 mm at 8 pt bold.
    ScriviIni(env, "[Dati Ente]\r\nDenominazione=ASSOCIAZIONE SPORTIVA DILETTANTISTICA "
                   "POLISPORTIVA GIOVANILE MONTEVERDE\r\n");
    env->stampaSuPdf = env.Percorso("tessera.pdf");
    auto frm = ApriTessera();
    QImage pagina;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "btnStampa")->click();
        pagina = qobject_cast<TfrmStampaTessera *>(d)->repTesserino().RenderImmagine(0, kDpi);
    };
    Clic(frm.get(), "cmdStampa");
    QVERIFY(!pagina.isNull());
    // On the header band's rows of the name: white text up to the field's edge at
    // 10 + 2 + 54 mm, nothing but the navy band after it.
    auto chiaro = [&](double xMm0, double xMm1) {
        int n = 0;
        for (int y = int(12.3 * kPxMm); y < int(15.5 * kPxMm); ++y)
            for (int x = int(xMm0 * kPxMm); x < int(xMm1 * kPxMm); ++x)
                if (qRed(pagina.pixel(x, y)) > 150)
                    ++n;
        return n;
    };
    QVERIFY(chiaro(13, 65.5) > 50);
    QCOMPARE(chiaro(66.6, 94), 0);
}

QTEST_MAIN(TestTessera)
#include "tst_tessera.moc"
