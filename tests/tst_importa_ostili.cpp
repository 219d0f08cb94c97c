// Hostile spreadsheets: small files that stand for huge ones (a cell quoted on every row,
// a header at the last column, decompression bombs, counts past the range of int, a
// large CSV). The import screen reads each within a bounded memory and time, numbers the
// rows as the file does, can be cancelled, and gives its controls back.
#include "support/Supporto.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "import/core/Foglio.h"
#include "import/core/ImportaAnteprima.h"
#include "import/core/Importazione.h"
#include "registry/Anagrafica.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <fstream>
#include <functional>
#include <malloc.h>
#include <string>

using namespace Importazione;

namespace {

// Under AddressSanitizer everything is slower and every allocation larger: the XML readers
// run 8-9 times slower there (0.7 s becomes 6.2 s), so the bounds that catch a hang or a
// quadratic reading are five times looser; the release build keeps them as they are.
#if defined(__SANITIZE_ADDRESS__)
constexpr int Lentezza = 5;
constexpr qint64 PiccoMassimoMB = 1200; // its quarantine keeps freed memory resident
#else
constexpr int Lentezza = 1;
constexpr qint64 PiccoMassimoMB = 300;
#endif

// The process's peak resident memory in MB since the last reset.
qint64 PiccoMB()
{
    std::ifstream f("/proc/self/status");
    std::string riga;
    while (std::getline(f, riga))
        if (riga.rfind("VmHWM:", 0) == 0)
            return std::stoll(riga.substr(6)) / 1024;
    return -1;
}

// Gives freed memory back and starts the peak again from the memory in use now.
bool AzzeraPicco()
{
    malloc_trim(0);
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
    return bool(f.flush());
}

// Writes into a zip entry piece by piece.
using Scrittore = std::function<void(QIODevice &)>;

void Ripeti(QIODevice &d, const QByteArray &pezzo, qint64 volte)
{
    // Pieces of about a megabyte, so that large entries are written quickly.
    const qint64 perBlocco = std::max<qint64>(1, (1 << 20) / std::max<qsizetype>(1, pezzo.size()));
    const QByteArray blocco = pezzo.repeated(perBlocco);
    for (; volte >= perBlocco; volte -= perBlocco)
        d.write(blocco);
    d.write(pezzo.repeated(volte));
}

// A zip with the given entries, deflated fast.
void ScriviZip(const QString &percorso, const QList<std::pair<QString, Scrittore>> &voci)
{
    QuaZip zip(percorso);
    if (!zip.open(QuaZip::mdCreate))
        throw std::runtime_error("cannot write zip");
    for (const auto &[nome, scrivi] : voci) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(nome), nullptr, 0, Z_DEFLATED, 1))
            throw std::runtime_error("cannot write zip entry");
        scrivi(f);
        f.close();
    }
    zip.close();
}

Scrittore Testo(const QByteArray &t)
{
    return [t](QIODevice &d) { d.write(t); };
}

// A workbook of one sheet "Soci": the sheet's XML between <sheetData> and its end, and the
// shared strings' XML inside <sst> (none when empty).
void Xlsx(const QString &percorso, const Scrittore &righe, const Scrittore &stringhe = {},
          const QByteArray &primaDeiDati = QByteArray(), const QByteArray &dopoIDati = {},
          const Scrittore &stili = {}, const Scrittore &relazioni = {})
{
    QList<std::pair<QString, Scrittore>> voci = {
        {QStringLiteral("xl/workbook.xml"), Testo(R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Soci" sheetId="1" r:id="rId1"/></sheets></workbook>)")},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         [&](QIODevice &d) {
             d.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)");
             if (relazioni)
                 relazioni(d);
             d.write("</Relationships>");
         }},
        {QStringLiteral("xl/worksheets/sheet1.xml"), [&](QIODevice &d) {
             d.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)");
             d.write(primaDeiDati);
             d.write("<sheetData>");
             righe(d);
             d.write("</sheetData>");
             d.write(dopoIDati);
             d.write("</worksheet>");
         }}};
    if (stili)
        voci.append({QStringLiteral("xl/styles.xml"), stili});
    if (stringhe)
        voci.append({QStringLiteral("xl/sharedStrings.xml"), [&](QIODevice &d) {
                         d.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)");
                         stringhe(d);
                         d.write("</sst>");
                     }});
    ScriviZip(percorso, voci);
}

// A spreadsheet of one table "Soci" with the given rows' XML.
void Ods(const QString &percorso, const Scrittore &righe)
{
    ScriviZip(
        percorso,
        {{QStringLiteral("mimetype"), Testo("application/vnd.oasis.opendocument.spreadsheet")},
         {QStringLiteral("content.xml"), [&](QIODevice &d) {
              d.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"><office:body><office:spreadsheet><table:table table:name="Soci">)");
              righe(d);
              d.write("</table:table></office:spreadsheet></office:body></office:document-"
                      "content>");
          }}});
}

QByteArray CellaOds(const QByteArray &testo, const QByteArray &attributi = QByteArray())
{
    return "<table:table-cell office:value-type=\"string\"" + attributi + "><text:p>" + testo +
           "</text:p></table:table-cell>";
}

QByteArray RigaOds(const QList<QByteArray> &celle, const QByteArray &attributi = QByteArray())
{
    QByteArray r = "<table:table-row" + attributi + ">";
    for (const QByteArray &c : celle)
        r += c.startsWith('<') ? c : CellaOds(c);
    return r + "</table:table-row>";
}

// An inline-string cell of an XLSX row.
QByteArray CellaXlsx(const QByteArray &ref, const QByteArray &testo)
{
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + testo + "</t></is></c>";
}

const QByteArray IntestazioneXlsx = "<row r=\"1\">" + CellaXlsx("A1", "Cognome e nome") +
                                    CellaXlsx("B1", "Data rilascio") +
                                    CellaXlsx("C1", "Data scadenza") + "</row>";

QByteArray SocioXlsx(int n)
{
    const QByteArray r = QByteArray::number(n);
    return "<row r=\"" + r + "\">" + CellaXlsx("A" + r, "SOCIO " + r) +
           CellaXlsx("B" + r, "01/01/2025") + CellaXlsx("C" + r, "31/12/2025") + "</row>";
}

QStringList Numeri(int da, int a)
{
    QStringList n;
    for (int i = da; i <= a; ++i)
        n << QString::number(i);
    return n;
}

// Builds the hostile file of each kind in the folder; returns its path.
QString CreaFile(const QString &cartella, const QString &tipo)
{
    const QString p = cartella + u'/' + tipo;
    if (tipo == u"data_condivisa.xlsx") {
        // 2,000 rows whose issue date is one shared string of a megabyte.
        Xlsx(
            p,
            [](QIODevice &d) {
                d.write(IntestazioneXlsx);
                for (int i = 2; i <= 2001; ++i) {
                    const QByteArray r = QByteArray::number(i);
                    d.write("<row r=\"" + r + "\">" + CellaXlsx("A" + r, "SOCIO " + r) +
                            "<c r=\"B" + r + "\" t=\"s\"><v>0</v></c>" +
                            CellaXlsx("C" + r, "31/12/2025") + "</row>");
                }
            },
            [](QIODevice &d) {
                d.write("<si><t>");
                Ripeti(d, "9", 1 << 20);
                d.write("</t></si>");
            });
    } else if (tipo == u"riga_ripetuta.ods") {
        // One row with a megabyte date, repeated 100,000 times.
        Ods(p, [](QIODevice &d) {
            d.write(RigaOds({"Cognome e nome", "Data rilascio", "Data scadenza"}));
            d.write("<table:table-row table:number-rows-repeated=\"100000\">" + CellaOds("ROSSI") +
                    "<table:table-cell office:value-type=\"string\"><text:p>");
            Ripeti(d, "7", 1 << 20);
            d.write("</text:p></table:table-cell>" + CellaOds("31/12/2025") + "</table:table-row>");
        });
    } else if (tipo == u"colonna_xfd.xlsx") {
        Xlsx(p, [](QIODevice &d) {
            d.write("<row r=\"1\">" + CellaXlsx("A1", "Cognome e nome") +
                    CellaXlsx("B1", "Data rilascio") + CellaXlsx("C1", "Data scadenza") +
                    CellaXlsx("XFD1", "Note") + "</row>");
            d.write("<row r=\"2\">" + CellaXlsx("A2", "ROSSI") + CellaXlsx("B2", "01/01/2025") +
                    CellaXlsx("C2", "31/12/2025") + CellaXlsx("XFD2", "nota") + "</row>");
        });
    } else if (tipo == u"150_colonne.xlsx") {
        Xlsx(p, [](QIODevice &d) {
            d.write("<row r=\"1\">");
            for (int c = 0; c < 150; ++c)
                d.write("<c t=\"inlineStr\"><is><t>Campo " + QByteArray::number(c) +
                        "</t></is></c>");
            d.write("</row>" + SocioXlsx(2));
        });
    } else if (tipo == u"spazi.xlsx") {
        // 60 rows, then 300 MB of blanks inside the sheet data.
        Xlsx(p, [](QIODevice &d) {
            d.write(IntestazioneXlsx);
            for (int i = 2; i <= 60; ++i)
                d.write(SocioXlsx(i));
            Ripeti(d, " ", qint64(300) << 20);
        });
    } else if (tipo == u"stringhe_vuote.xlsx") {
        // 16 million empty shared strings.
        Xlsx(
            p, [](QIODevice &d) { d.write(IntestazioneXlsx + SocioXlsx(2)); },
            [](QIODevice &d) { Ripeti(d, "<si/>", 16 << 20); });
    } else if (tipo == u"riga_enorme.xlsx") {
        // A row of 100 MB of cells.
        Xlsx(p, [](QIODevice &d) {
            d.write(IntestazioneXlsx + "<row r=\"2\">");
            Ripeti(d, "<c><v>1</v></c>", (qint64(100) << 20) / 15);
            d.write("</row>");
        });
    } else if (tipo == u"aperti.xlsx") {
        // 500,000 elements opened before the sheet data, and 20,000 rows after it.
        Xlsx(
            p,
            [](QIODevice &d) {
                d.write(IntestazioneXlsx);
                for (int i = 2; i <= 20001; ++i)
                    d.write(SocioXlsx(i));
            },
            {}, QByteArray("<x>").repeated(500000), QByteArray("</x>").repeated(500000));
    } else if (tipo == u"ripetute_oltre_int.ods") {
        // An empty row repeated 2^31 - 1 times pushes the last row past the row limit.
        Ods(p, [](QIODevice &d) {
            d.write(RigaOds({"Cognome e nome", "Data rilascio", "Data scadenza"}));
            d.write(RigaOds({"ROSSI", "01/01/2025", "31/12/2025"}));
            d.write("<table:table-row table:number-rows-repeated=\"2147483647\">"
                    "<table:table-cell/></table:table-row>");
            d.write(RigaOds({"OLTRE", "01/01/2025", "31/12/2025"}));
        });
    } else if (tipo == u"unite_oltre_int.ods") {
        // A cell merged over 2^31 - 1 rows fills the rows below.
        Ods(p, [](QIODevice &d) {
            d.write(RigaOds({"Cognome e nome", "Data rilascio", "Data scadenza", "Note"}));
            d.write(RigaOds({"ROSSI", "01/01/2025", "31/12/2025",
                             CellaOds("unita", " table:number-rows-spanned=\"2147483647\"")}));
            for (int i = 0; i < 3; ++i)
                d.write(RigaOds({"BIANCHI", "01/01/2025", "31/12/2025"}));
        });
    } else if (tipo == u"stili.xlsx") {
        // 12 million cell formats that show a date.
        Xlsx(
            p, [](QIODevice &d) { d.write(IntestazioneXlsx + SocioXlsx(2)); }, {}, {}, {},
            [](QIODevice &d) {
                d.write("<styleSheet><cellXfs>");
                Ripeti(d, "<xf numFmtId=\"14\"/>", 12000000);
                d.write("</cellXfs></styleSheet>");
            });
    } else if (tipo == u"relazioni.xlsx") {
        // The workbook's relations list three million parts.
        Xlsx(
            p, [](QIODevice &d) { d.write(IntestazioneXlsx + SocioXlsx(2)); }, {}, {}, {}, {},
            [](QIODevice &d) {
                QByteArray blocco;
                for (int i = 0; i < 3000000; ++i) {
                    blocco += "<Relationship Id=\"r" + QByteArray::number(i) + "\" Target=\"x\"/>";
                    if (blocco.size() > (1 << 20)) {
                        d.write(blocco);
                        blocco.clear();
                    }
                }
                d.write(blocco);
            });
    } else if (tipo == u"100000_fogli.ods") {
        // 100,000 empty sheets, each a choice on the screen.
        Ods(p, [](QIODevice &d) {
            d.write(RigaOds({"Cognome e nome"}));
            Ripeti(d, "</table:table><table:table table:name=\"x\">", 100000);
        });
    } else if (tipo == u"grande.csv") {
        // 60 MB of CSV: 60,000 rows with a note of a thousand characters.
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write csv");
        f.write("Cognome e nome;Data rilascio;Data scadenza;Note\r\n");
        // Windows-1252, as older spreadsheets write it: "città" with a byte that is no UTF-8.
        const QByteArray nota = "citt\xE0 " + QByteArray(994, 'n');
        for (int i = 2; i <= 60001; ++i)
            f.write("SOCIO " + QByteArray::number(i) + ";01/01/2025;31/12/2025;" + nota + "\r\n");
    }
    return p;
}

} // namespace

class TestImportaOstili : public QObject {
    Q_OBJECT
private slots:
    void ostili_data();
    void ostili();
    void annullaConEsc();
    void motiviBrevi();
    void intestazioneEColonneVuote();
    void esitoLungoSalvato();
    void lettureDelDisco_data();
    void lettureDelDisco();
    void discoPieno_data();
    void discoPieno();
};

void TestImportaOstili::ostili_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QStringList>("numeri");  // rows of the preview
    QTest::addColumn<QStringList>("lettere"); // its columns
    QTest::addColumn<QString>("messaggio");   // shown by the preview, or empty
    QTest::addColumn<QString>("riepilogo");   // of "Prova", or empty when not run
    QTest::addColumn<QString>("erroreProva"); // shown by "Prova", or empty
    QTest::addColumn<QString>("ultima");      // the preview's bottom-right cell
    QTest::addColumn<int>("tralasciate");     // columns left out of the preview
    const QStringList abc = {"A", "B", "C"};
    QStringList cento;
    for (int c = 0; c < 100; ++c)
        cento << (c < 26 ? QString(QChar(u'A' + c))
                         : QString(QChar(u'A' + c / 26 - 1)) + QChar(u'A' + c % 26));
    const QString data = QStringLiteral("31/12/2025");
    QTest::newRow("data di un MB condivisa da 2000 righe")
        << "data_condivisa.xlsx" << Numeri(1, 50) << abc << QString()
        << "Prova: 0 sarebbero importate, 2000 sarebbero scartate, 0 con avvisi." << QString()
        << data << 0;
    QTest::newRow("riga ODS di un MB ripetuta")
        << "riga_ripetuta.ods" << Numeri(1, 50) << abc << QString()
        << "Prova: 0 sarebbero importate, 100000 sarebbero scartate, 0 con avvisi." << QString()
        << data << 0;
    QTest::newRow("intestazione in XFD")
        << "colonna_xfd.xlsx" << Numeri(1, 2) << QStringList{"A", "B", "C", "XFD"} << QString()
        << "Prova: 1 sarebbero importate, 0 sarebbero scartate, 0 con avvisi." << QString()
        << "nota" << 0;
    QTest::newRow("150 colonne di intestazione")
        << "150_colonne.xlsx" << Numeri(1, 2) << cento << QString()
        << "Prova: 0 sarebbero importate, 1 sarebbero scartate, 0 con avvisi." << QString()
        << QString() << 50;
    QTest::newRow("300 MB di spazi")
        << "spazi.xlsx" << QStringList() << QStringList() << Foglio::MessaggioVoceTroppoGrande()
        << QString() << QString() << QString() << 0;
    QTest::newRow("16 milioni di stringhe vuote")
        << "stringhe_vuote.xlsx" << QStringList() << QStringList() << Foglio::MessaggioTroppiTesti()
        << QString() << QString() << QString() << 0;
    QTest::newRow("riga di 100 MB")
        << "riga_enorme.xlsx" << QStringList() << QStringList()
        << Foglio::MessaggioRigaTroppoGrande() << QString() << QString() << QString() << 0;
    QTest::newRow("12 milioni di stili")
        << "stili.xlsx" << Numeri(1, 2) << abc << QString()
        << "Prova: 1 sarebbero importate, 0 sarebbero scartate, 0 con avvisi." << QString() << data
        << 0;
    QTest::newRow("3 milioni di relazioni")
        << "relazioni.xlsx" << QStringList() << QStringList() << Foglio::MessaggioTroppiFogli()
        << QString() << QString() << QString() << 0;
    QTest::newRow("100.000 fogli")
        << "100000_fogli.ods" << QStringList() << QStringList() << Foglio::MessaggioTroppiFogli()
        << QString() << QString() << QString() << 0;
    QTest::newRow("elementi aperti prima dei dati")
        << "aperti.xlsx" << Numeri(1, 50) << abc << QString()
        << "Prova: 20000 sarebbero importate, 0 sarebbero scartate, 0 con avvisi." << QString()
        << data << 0;
    QTest::newRow("righe ripetute oltre int")
        << "ripetute_oltre_int.ods" << Numeri(1, 2) << abc << QString()
        << "Prova: 1 sarebbero importate, 0 sarebbero scartate, 0 con avvisi." << QString() << data
        << 0;
    QTest::newRow("celle unite e ripetute oltre int")
        << "unite_oltre_int.ods" << Numeri(1, 5) << QStringList{"A", "B", "C", "D"} << QString()
        << QString() << QString() << "unita" << 0;
    QTest::newRow("CSV di 60 MB")
        << "grande.csv" << Numeri(1, 50) << QStringList{"A", "B", "C", "D"} << QString()
        << "Prova: 60000 sarebbero importate, 0 sarebbero scartate, 60000 con avvisi." << QString()
        << QStringLiteral("citt\u00E0 ") + QString(493, u'n') + u'\u2026' << 0;
}

// The preview comes within two seconds, the whole run stays in bounded memory, the rows
// carry the file's numbers, and the controls are back at the end.
void TestImportaOstili::ostili()
{
    QFETCH(QString, tipo);
    QFETCH(QStringList, numeri);
    QFETCH(QStringList, lettere);
    QFETCH(QString, messaggio);
    QFETCH(QString, riepilogo);
    QFETCH(QString, erroreProva);
    QFETCH(QString, ultima);
    QFETCH(int, tralasciate);
    Ambiente env;
    env->fileDaAprire.enqueue(CreaFile(env.cartella(), tipo));
    TfrmAnagrafica a;
    qint64 ms = -1, picco = -1;
    QStringList mostrati, colonne, esito;
    int righeEsito = 0;
    bool pronti = false;
    QString dopoAnteprima, dopoProva, inFondo, detto;
    bool dettoVisibile = false;
    env->modale = [&](QDialog *d) {
        QVERIFY(AzzeraPicco());
        QElapsedTimer t;
        t.start();
        // The click returns once the preview is on the screen.
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        ms = t.elapsed();
        dopoAnteprima = env->UltimoMessaggio();
        auto *griglia = Controllo<QTableWidget>(d, "grdAnteprima");
        for (int r = 0; r < griglia->rowCount(); ++r)
            mostrati << griglia->verticalHeaderItem(r)->text();
        for (int c = 0; c < griglia->columnCount(); ++c)
            colonne << griglia->horizontalHeaderItem(c)->text();
        if (const QTableWidgetItem *v =
                griglia->item(griglia->rowCount() - 1, griglia->columnCount() - 1))
            inFondo = v->text();
        auto *etichetta = Controllo<QLabel>(d, "lblTralasciate");
        dettoVisibile = etichetta->isVisibleTo(d);
        detto = etichetta->text();
        if (!riepilogo.isEmpty()) {
            Controllo<QAbstractButton>(d, "cmdProva")->click();
            auto *lista = Controllo<QListWidget>(d, "lstEsito");
            righeEsito = lista->count();
            for (int i = 0; i < std::min(righeEsito, 3); ++i)
                esito << lista->item(i)->text();
            dopoProva = env->UltimoMessaggio();
        }
        picco = PiccoMB();
        pronti = Controllo<QAbstractButton>(d, "cmdScegli")->isEnabled() &&
                 Controllo<QAbstractButton>(d, "cmdEsci")->isEnabled() &&
                 !Controllo<QAbstractButton>(d, "cmdAnnulla")->isEnabled() &&
                 Controllo<QAbstractButton>(d, "cmdProva")->isEnabled() == !numeri.isEmpty();
    };
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
    QVERIFY2(ms >= 0 && ms < 2000 * Lentezza, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    QVERIFY2(picco > 0 && picco < PiccoMassimoMB, qPrintable(QStringLiteral("%1 MB").arg(picco)));
    QCOMPARE(dopoAnteprima, messaggio);
    QCOMPARE(mostrati, numeri);
    QCOMPARE(colonne, lettere);
    QCOMPARE(inFondo, ultima);
    QCOMPARE(dettoVisibile, tralasciate > 0);
    if (tralasciate > 0)
        QVERIFY2(detto.contains(QStringLiteral(": %1 colonne").arg(tralasciate)),
                 qPrintable(detto));
    QVERIFY(pronti);
    if (riepilogo.isEmpty())
        return;
    QCOMPARE(esito.value(0), riepilogo);
    QCOMPARE(dopoProva, erroreProva);
    // One line per row up to a thousand, then one that says how many more there are.
    QVERIFY2(righeEsito <= 1002, qPrintable(QString::number(righeEsito)));
    // A reason quotes at most a short part of a huge cell.
    for (const QString &linea : std::as_const(esito))
        QVERIFY2(linea.size() < 200, qPrintable(linea.left(200)));
}

// Escape while a long preview is read cancels it and gives the controls back; the next
// Escape closes the screen.
void TestImportaOstili::annullaConEsc()
{
    Ambiente env;
    // 200 MB of empty paragraphs: long to read, small to hold.
    const QString p = env.cartella() + QStringLiteral("/lento.ods");
    Ods(p, [](QIODevice &d) {
        d.write(RigaOds({"Cognome e nome", "Data rilascio", "Data scadenza"}));
        d.write("<table:table-row><table:table-cell>");
        Ripeti(d, "<text:p/>", (qint64(200) << 20) / 9);
        d.write("</table:table-cell></table:table-row>");
    });
    env->fileDaAprire.enqueue(p);
    TfrmAnagrafica a;
    bool annullabile = false, ripristinato = false, chiusa = false;
    qint64 ms = -1;
    env->modale = [&](QDialog *d) {
        auto *annulla = Controllo<QAbstractButton>(d, "cmdAnnulla");
        QElapsedTimer t;
        // Escape as soon as the reading runs, from within the screen's own wait.
        QTimer premi;
        connect(&premi, &QTimer::timeout, d, [&] {
            if (!annulla->isEnabled())
                return;
            annullabile = true;
            premi.stop();
            t.start();
            QTest::keyClick(d, Qt::Key_Escape);
        });
        premi.start(10);
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        ms = t.isValid() ? t.elapsed() : -1;
        ripristinato = Controllo<QAbstractButton>(d, "cmdScegli")->isEnabled() &&
                       Controllo<QAbstractButton>(d, "cmdEsci")->isEnabled() &&
                       !annulla->isEnabled() && d->isVisible();
        QTest::keyClick(d, Qt::Key_Escape);
        chiusa = !d->isVisible();
    };
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
    QVERIFY(annullabile);
    QVERIFY2(ms >= 0 && ms < 1000 * Lentezza, qPrintable(QString::number(ms)));
    QVERIFY(ripristinato);
    QVERIFY(chiusa);
    // Cancelled by the user: no message about it.
    QVERIFY(env->messaggi.isEmpty());
}

// Reasons quote at most 40 characters of a cell, and rows with the same reason share it.
void TestImportaOstili::motiviBrevi()
{
    Ambiente env;
    const QString p = env.cartella() + QStringLiteral("/soci.csv");
    const QByteArray lungo(5000, '8');
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Cognome e nome;Data rilascio;Data scadenza;Codice fiscale;Partita IVA;IBAN;"
            "Carta di credito n.;Giorni di preavviso\n");
    f.write("A;" + lungo + ";31/12/2025\n");
    f.write("B;01/01/2025;" + lungo + "\n");
    f.write("C;01/01/2025;31/12/2025;;;;;" + lungo + "\n");
    f.write("D;01/01/2025;31/12/2025;X" + lungo + ";" + lungo + ";IT" + lungo + ";Z" + lungo +
            "\n");
    f.write("E;" + lungo + ";31/12/2025\n");
    // A long name the archive cannot hold: quoted short, and the outcome's name is cut
    // where the record cuts it.
    f.write(QString(5000, QChar(0x4E2D)).toUtf8() + ";01/01/2025;31/12/2025\n");
    f.close();
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4, 21, 24, 25, 22, 13};
    const Esito e = Importa(env.cartella(), r, false);
    QCOMPARE(e.righe.size(), 6);
    const QString cella = QString(39, u'8') + u'\u2026';
    QCOMPARE(e.righe[0].motivo, QStringLiteral("la data di rilascio %1 non esiste").arg(cella));
    QCOMPARE(e.righe[1].motivo, QStringLiteral("la data di scadenza %1 non esiste").arg(cella));
    QCOMPARE(e.righe[2].motivo,
             QStringLiteral("i giorni di preavviso (%1) non sono un numero da 0 a 999").arg(cella));
    const QString avvisi =
        QStringLiteral("codice fiscale X%1 non valido; partita IVA %2 non "
                       "valida; IBAN IT%3 non valido; carta di credito Z%1 "
                       "non valida; ")
            .arg(QString(38, u'8') + u'\u2026', cella, QString(37, u'8') + u'\u2026');
    QVERIFY2(e.righe[3].motivo.startsWith(avvisi), qPrintable(e.righe[3].motivo));
    // The same reason on two rows is one text in memory.
    QCOMPARE(e.righe[4].motivo, e.righe[0].motivo);
    QCOMPARE(e.righe[4].motivo.constData(), e.righe[0].motivo.constData());
    QVERIFY2(e.righe[5].motivo.startsWith(
                 QStringLiteral("%1: caratteri che l'archivio non può contenere, scritti come "
                                "? (%2); ")
                     .arg(NomeDestinazione(0), QString(39, QChar(0x4E2D)) + u'\u2026')),
             qPrintable(e.righe[5].motivo.left(200)));
    QCOMPARE(e.righe[5].tesserato, QString(49, QChar(0x4E2D)) + u'\u2026');
}

// A title above the header and an empty column: the preview, read on the worker, finds
// the header and leaves the empty column out; the import maps the other columns to the
// file's own columns and skips the title.
void TestImportaOstili::intestazioneEColonneVuote()
{
    Ambiente env;
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Elenco soci 2025;;;\n;;;\nCognome e nome;;Data rilascio;Data scadenza\n"
            "ROSSI MARIO;;01/01/2025;31/12/2025\n");
    f.close();
    env->fileDaAprire.enqueue(p);
    TfrmAnagrafica a;
    QString riga, riepilogo;
    QStringList numeri, lettere, campi;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        riga = Controllo<QLineEdit>(d, "txtRigaIntestazione")->text();
        auto *griglia = Controllo<QTableWidget>(d, "grdAnteprima");
        for (int r = 0; r < griglia->rowCount(); ++r)
            numeri << griglia->verticalHeaderItem(r)->text();
        for (int c = 0; c < griglia->columnCount(); ++c)
            lettere << griglia->horizontalHeaderItem(c)->text();
        for (const char *nome : {"cboCampo1", "cboCampo2", "cboCampo3"})
            campi << Controllo<QComboBox>(d, nome)->currentText();
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
        riepilogo = Controllo<QListWidget>(d, "lstEsito")->item(0)->text();
    };
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
    QCOMPARE(riga, QStringLiteral("3"));
    QCOMPARE(numeri, (QStringList{"1", "3", "4"}));
    QCOMPARE(lettere, (QStringList{"A", "C", "D"}));
    QCOMPARE(campi, (QStringList{NomeDestinazione(0), NomeDestinazione(3), NomeDestinazione(4)}));
    QCOMPARE(riepilogo, QStringLiteral("Righe: 1 importate, 0 scartate, 0 con avvisi."));
    const QByteArray arch = Costruttore::LeggiFile(env.Percorso(QStringLiteral("Tesserati.pro")));
    QCOMPARE(arch.size(), DimensioneScheda);
    QCOMPARE(Costruttore::Campo(arch, "Tesserato"), QByteArray("ROSSI MARIO"));
    QCOMPARE(Costruttore::Campo(arch, "DataScade"), QByteArray("31/12/2025"));
}

// The list shows the first thousand rows of a long outcome; the saved outcome has every
// row, each with its member's name.
void TestImportaOstili::esitoLungoSalvato()
{
    Ambiente env;
    QByteArray csv = "Cognome e nome;Data rilascio;Data scadenza\n";
    for (int i = 0; i < 1200; ++i)
        csv += "SOCIO " + QByteArray::number(i) + ";31/02/2025;31/12/2025\n";
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(csv);
    f.close();
    env->fileDaAprire.enqueue(p);
    const QString esito = env.Percorso(QStringLiteral("esito.csv"));
    env->fileDaSalvare.enqueue(esito);
    TfrmAnagrafica a;
    int linee = 0;
    QString ultima;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        Controllo<QAbstractButton>(d, "cmdProva")->click();
        auto *lista = Controllo<QListWidget>(d, "lstEsito");
        linee = lista->count();
        ultima = lista->item(linee - 1)->text();
        Controllo<QAbstractButton>(d, "cmdSalvaEsito")->click();
    };
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
    QCOMPARE(linee, 1002);
    QVERIFY2(ultima.startsWith(QStringLiteral("... e altre 200 righe")), qPrintable(ultima));
    const QString salvato = QString::fromUtf8(Costruttore::LeggiFile(esito));
    QCOMPARE(salvato.count(QStringLiteral(";\"scartata\";")), 1200);
    QVERIFY(salvato.contains(QStringLiteral("\r\n1201;\"SOCIO 1199\";\"scartata\";\"la data di "
                                            "rilascio 31/02/2025 non esiste\"\r\n")));
}

// System calls that read (the "syscr" of /proc/self/io).
qint64 LettureDisco()
{
    std::ifstream f("/proc/self/io");
    std::string riga;
    while (std::getline(f, riga))
        if (riga.rfind("syscr:", 0) == 0)
            return std::stoll(riga.substr(6));
    return -1;
}

void TestImportaOstili::lettureDelDisco_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::newRow("XLSX") << "data_condivisa.xlsx";
    QTest::newRow("XLSX letto in un flusso") << "aperti.xlsx";
    QTest::newRow("ODS") << "riga_ripetuta.ods";
    QTest::newRow("CSV") << "grande.csv";
}

// The file is read from the disk in blocks, not a few bytes at a time.
void TestImportaOstili::lettureDelDisco()
{
    QFETCH(QString, tipo);
    Ambiente env;
    const QString p = CreaFile(env.cartella(), tipo);
    const qint64 prima = LettureDisco();
    try {
        auto f = ApriFoglio(p);
        f->Leggi(0, [](int, QStringList &) { return true; });
    } catch (const ErroreFile &) {
    }
    const qint64 letture = LettureDisco() - prima;
    // A few for the zip's directory and entries, then a few per 64 KB block of the file
    // (each entry may be read more than once).
    const qint64 massimo = 30 + 4 * ((QFileInfo(p).size() + 65535) / 65536);
    QVERIFY2(letture > 0 && letture <= massimo,
             qPrintable(QStringLiteral("%1 letture, al massimo %2").arg(letture).arg(massimo)));
}

void TestImportaOstili::discoPieno_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("file oltre il limite")
        << "limite" << QStringLiteral("il file supera la dimensione massima consentita");
    QTest::newRow("archivio che è un collegamento")
        << "collegamento"
        << QStringLiteral("non è un file regolare (è un collegamento, una cartella o un "
                          "dispositivo)");
    QTest::newRow("disco pieno") << "pieno"
                                 << QStringLiteral("il disco è pieno, liberare spazio e riprovare");
}

// A failed write says why in words, never "Unknown error".
void TestImportaOstili::discoPieno()
{
    QFETCH(QString, caso);
    QFETCH(QString, motivo);
    if (caso == u"pieno") {
        // No small disk to fill here: /dev/full fails every write with ENOSPC.
        QFile f(QStringLiteral("/dev/full"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(f.write(QByteArray(4096, 'x')) < 0);
        QCOMPARE(MotivoScrittura(f), motivo);
        return;
    }
    Ambiente env;
    const QString archivio = env.Percorso(QStringLiteral("Tesserati.pro"));
    QList<QByteArray> schede;
    for (int i = 0; i < 3; ++i)
        schede << Costruttore::Tesserato("SOCIO");
    if (caso == u"collegamento") {
        const QString vero = env.Percorso(QStringLiteral("vero.pro"));
        Costruttore::ScriviArchivio(vero, schede);
        QVERIFY(QFile::link(vero, archivio));
    } else {
        Costruttore::ScriviArchivio(archivio, schede);
    }
    QByteArray csv = "Cognome e nome;Data rilascio;Data scadenza\n";
    for (int i = 0; i < 400; ++i)
        csv += "SOCIO " + QByteArray::number(i) + ";01/01/2025;31/12/2025\n";
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(csv);
    f.close();
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4};
    QString testo;
    try {
        std::unique_ptr<DiscoCheCede> disco;
        if (caso == u"limite")
            disco = std::make_unique<DiscoCheCede>(rlim_t(4 * DimensioneScheda));
        Importa(env.cartella(), r, true);
    } catch (const ErroreFile &e) {
        testo = e.testo();
    }
    QVERIFY2(testo.endsWith(QStringLiteral(": ") + motivo), qPrintable(testo));
    QVERIFY(!testo.contains(QStringLiteral("Unknown error")));
}

QTEST_MAIN(TestImportaOstili)
#include "tst_importa_ostili.moc"
