// Import of an association's own spreadsheets: title rows above the header, postal codes
// formatted with leading zeros, names from all over Europe, missing dates, the mapping
// remembered for the next file, and the undo of the last import.
#include "support/Supporto.h"

#include "archive/Archivio.h"
#include "archive/Scheda.h"
#include "import/core/Foglio.h"
#include "import/core/Importazione.h"
#include "registry/Anagrafica.h"
#include "storage/CopieImportazione.h"
#include "storage/ImportazioneFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <functional>

using namespace Importazione;

namespace {

void ScriviFile(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(dati) != dati.size())
        throw std::runtime_error("cannot write fixture");
}

// A zip of the given entries, in order, as a spreadsheet program stores them.
void ScriviZip(const QString &percorso, const QList<std::pair<QString, QByteArray>> &voci)
{
    QuaZip zip(percorso);
    if (!zip.open(QuaZip::mdCreate))
        throw std::runtime_error("cannot write zip");
    for (const auto &[nome, dati] : voci) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(nome)) || f.write(dati) != dati.size())
            throw std::runtime_error("cannot write zip entry");
        f.close();
    }
    zip.close();
}

QList<QStringList> Righe(const QString &percorso)
{
    QList<QStringList> r;
    ApriFoglio(percorso)->Leggi(0, [&](int, QStringList &celle) {
        r.append(celle);
        return true;
    });
    return r;
}

QByteArray Archivio(const Ambiente &env)
{
    return Costruttore::LeggiFile(env.Percorso(NomeArchivio));
}

QByteArray Scheda(const QByteArray &archivio, int posizione)
{
    return archivio.mid((posizione - 1) * DimensioneScheda, DimensioneScheda);
}

// Opens the import screen from the archive screen and acts on it as the user would.
void SuSchermata(Ambiente &env, const std::function<void(QDialog *)> &azioni)
{
    TfrmAnagrafica a;
    env->modale = azioni;
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
}

QString CampoScelto(QDialog *d, int colonna)
{
    const QByteArray nome = "cboCampo" + QByteArray::number(colonna);
    return Controllo<QComboBox>(d, nome.constData())->currentText();
}

QStringList LineeEsito(QDialog *d)
{
    auto *lista = Controllo<QListWidget>(d, "lstEsito");
    QStringList r;
    for (int i = 0; i < lista->count(); ++i)
        r << lista->item(i)->text();
    return r;
}

// A secretary's list in flat ODS: two title rows, then the header; postal codes stored
// as numbers shown with five digits; no issue or expiry dates.
QByteArray Segreteria(const QList<QByteArrayList> &soci)
{
    QByteArray x = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:number-style style:name="N1"><number:number number:decimal-places="0" number:min-integer-digits="5"/></number:number-style>
 <style:style style:name="CAP" style:family="table-cell" style:data-style-name="N1"/>
 <number:date-style style:name="N2"><number:day number:style="long"/><number:text>/</number:text><number:month number:style="long"/><number:text>/</number:text><number:year number:style="long"/></number:date-style>
 <style:style style:name="D" style:family="table-cell" style:data-style-name="N2"/>
</office:automatic-styles>
<office:body><office:spreadsheet><table:table table:name="Soci">
)";
    auto testo = [](const QByteArray &t) {
        return "<table:table-cell office:value-type=\"string\"><text:p>" + t +
               "</text:p></table:table-cell>";
    };
    x += "<table:table-row>" + testo("Associazione Amici del Borgo") + "</table:table-row>\n";
    x += "<table:table-row>" + testo("Elenco dei soci al 10/01/2025") + "</table:table-row>\n";
    x += "<table:table-row>";
    for (const char *h : {"Cognome", "Nome", "Luogo di nascita", "Prov.", "Data di nascita",
                          "Indirizzo", "CAP", "Comune", "Provincia", "N. socio"})
        x += testo(h);
    x += "</table:table-row>\n";
    for (const QByteArrayList &s : soci) {
        x += "<table:table-row>";
        for (int c = 0; c < s.size(); ++c) {
            if (c == 4 && s[c].contains('-'))
                x += "<table:table-cell table:style-name=\"D\" office:value-type=\"date\" "
                     "office:date-value=\"" +
                     s[c] + "\"><text:p>" + s[c] + "</text:p></table:table-cell>";
            else if (c == 6 || c == 9)
                x += QByteArray("<table:table-cell") + (c == 6 ? " table:style-name=\"CAP\"" : "") +
                     " office:value-type=\"float\" office:value=\"" + s[c] + "\"><text:p>" + s[c] +
                     "</text:p></table:table-cell>";
            else
                x += testo(s[c]);
        }
        x += "</table:table-row>\n";
    }
    return x + "</table:table></office:spreadsheet></office:body></office:document>\n";
}

// An XLSX as openpyxl writes it: shared strings, and the postal codes in a cell style
// whose number format is "00000".
QList<std::pair<QString, QByteArray>> XlsxAMano()
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return {
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"xl/workbook.xml", "<workbook " + ns + " xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"Sheet\" sheetId=\"1\" "
                                "r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             rel + "/styles\" Target=\"styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/styles.xml",
         "<styleSheet " + ns +
             "><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"00000\"/></numFmts>"
             "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
             "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
             "applyNumberFormat=\"1\"/><xf numFmtId=\"3\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\" applyNumberFormat=\"1\"/></cellXfs></styleSheet>"},
        {"xl/sharedStrings.xml", "<sst " + ns +
                                     " count=\"2\" uniqueCount=\"2\"><si><t>CAP</t></si><si><t>"
                                     "Quota</t></si></sst>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet " + ns +
             "><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\">"
             "<v>1</v></c></row><row r=\"2\"><c r=\"A2\" s=\"1\"><v>184</v></c><c r=\"B2\" "
             "s=\"2\"><v>15</v></c></row><row r=\"3\"><c r=\"A3\" s=\"1\"><v>9100</v></c>"
             "<c r=\"B3\" s=\"2\"><v>20</v></c></row><row r=\"4\"><c r=\"A4\" s=\"1\"><v>20121"
             "</v></c><c r=\"B4\" s=\"2\"><v>1500</v></c></row></sheetData></worksheet>"},
    };
}

// An ODS as LibreOffice writes a column formatted as a whole: the cells carry no style,
// the column's default cell style names the number format.
QList<std::pair<QString, QByteArray>> OdsAMano()
{
    QByteArray c = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" office:version="1.3">
<office:automatic-styles>
 <style:style style:name="co1" style:family="table-column"/>
 <number:number-style style:name="N2"><number:number number:min-integer-digits="5"/></number:number-style>
 <style:style style:name="ce1" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="N2"/>
</office:automatic-styles>
<office:body><office:spreadsheet><table:table table:name="Foglio1">
<table:table-column table:style-name="co1" table:default-cell-style-name="ce1"/>
<table:table-column table:style-name="co1" table:number-columns-repeated="2" table:default-cell-style-name="Default"/>
<table:table-row><table:table-cell office:value-type="string"><text:p>CAP</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>Quota</text:p></table:table-cell></table:table-row>
)";
    for (const auto &[cap, quota] : {std::pair{"184", "15"}, {"9100", "20"}, {"20121", "1500"}})
        c += QByteArray("<table:table-row><table:table-cell office:value-type=\"float\" "
                        "office:value=\"") +
             cap + "\"><text:p>" + QByteArray(cap).rightJustified(5, '0') +
             "</text:p></table:table-cell><table:table-cell office:value-type=\"float\" "
             "office:value=\"" +
             quota + "\"><text:p>" + quota + "</text:p></table:table-cell></table:table-row>\n";
    c += "</table:table></office:spreadsheet></office:body></office:document-content>\n";
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", c}};
}

} // namespace

class TestImportaFogli : public QObject {
    Q_OBJECT
    QTemporaryDir m_fixture;
    bool m_libreoffice = false;
    QString F(const QString &nome) const { return m_fixture.filePath(nome); }
    void RichiediLibreOffice()
    {
        if (!m_libreoffice)
            QSKIP("LibreOffice Calc (soffice) is not installed: run scripts/prepara.sh");
    }
    void Converti(const QString &soffice, const QString &filtro, const QStringList &file);

private slots:
    void initTestCase();
    void zeriIniziali_data();
    void zeriIniziali();
    void righeCorrette_data();
    void righeCorrette();
    void provinciaVicina_data();
    void provinciaVicina();
    void rigaIntestazione();
    void datePredefinite();
    void fileXls();
    void annullaImportazione();
    void segreteria();
};

void TestImportaFogli::Converti(const QString &soffice, const QString &filtro,
                                const QStringList &file)
{
    QProcess lo;
    Soffice(lo, soffice, F(QStringLiteral("profilo")),
            QStringList{QStringLiteral("--convert-to"), filtro, QStringLiteral("--outdir"),
                        m_fixture.path()} +
                file);
}

void TestImportaFogli::initTestCase()
{
    QVERIFY(m_fixture.isValid());
    ScriviFile(F(QStringLiteral("segreteria.fods")),
               Segreteria({{"Popescu", "\xC8\x98tefan", "Cluj-Napoca", "", "1980-05-12",
                            "Via Roma 1", "184", "Roma", "RM", "101"},
                           {"Kowalski", "\xC5\x81ukasz", "Krak\xC3\xB3w", "", "1975-11-03",
                            "Via Dante 2", "20121", "Milano", "MI", "102"},
                           {"Erd\xC5\x91s", "Zolt\xC3\xA1n", "Cagliari", "CA", "31/02/1990",
                            "Via Sardegna 3", "9100", "Cagliari", "CA", "103"}}));
    // The next list, with the same headers.
    ScriviFile(F(QStringLiteral("segreteria2.fods")),
               Segreteria({{"Nov\xC3\xA1k", "Ji\xC5\x99\xC3\xAD", "Praha", "", "1990-01-20",
                            "Via Po 4", "10121", "Torino", "TO", "104"}}));
    ScriviZip(F(QStringLiteral("openpyxl.xlsx")), XlsxAMano());
    ScriviZip(F(QStringLiteral("colonna.ods")), OdsAMano());

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return;
    const QStringList file = {F(QStringLiteral("segreteria.fods")),
                              F(QStringLiteral("segreteria2.fods"))};
    Converti(soffice, QStringLiteral("xlsx"), file);
    Converti(soffice, QStringLiteral("ods"), {F(QStringLiteral("segreteria.fods"))});
    for (const char *n : {"segreteria.xlsx", "segreteria2.xlsx", "segreteria.ods"})
        QVERIFY2(QFile::exists(F(QString::fromLatin1(n))), n);
    m_libreoffice = true;
}

void TestImportaFogli::zeriIniziali_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("colonna");
    QTest::addColumn<int>("prima"); // index of the first data row
    QTest::addColumn<QStringList>("attesi");
    const QStringList segreteria = {"00184", "20121", "09100"}, aMano = {"00184", "09100", "20121"};
    QTest::newRow("xlsx di LibreOffice") << "segreteria.xlsx" << 6 << 3 << segreteria;
    QTest::newRow("ods di LibreOffice") << "segreteria.ods" << 6 << 3 << segreteria;
    QTest::newRow("xlsx come openpyxl") << "openpyxl.xlsx" << 0 << 1 << aMano;
    QTest::newRow("ods, formato della colonna") << "colonna.ods" << 0 << 1 << aMano;
}

// A postal code stored as a number is read as its format shows it: 184 as "00184".
void TestImportaFogli::zeriIniziali()
{
    QFETCH(QString, file);
    QFETCH(int, colonna);
    QFETCH(int, prima);
    QFETCH(QStringList, attesi);
    if (file.startsWith(u"segreteria"))
        RichiediLibreOffice();
    const QList<QStringList> righe = Righe(F(file));
    QCOMPARE(righe.size(), prima + 3);
    QStringList cap;
    for (int r = prima; r < righe.size(); ++r)
        cap << righe[r].value(colonna);
    QCOMPARE(cap, attesi);
    // Numbers in other formats are left as they are.
    if (prima == 1)
        QCOMPARE(righe[3].value(1), QStringLiteral("1500"));
}

void TestImportaFogli::righeCorrette_data()
{
    QTest::addColumn<QString>("intestazione");
    QTest::addColumn<QString>("valore");
    QTest::addColumn<QByteArray>("campo");
    QTest::addColumn<QByteArray>("scritto"); // Windows-1252 bytes
    QTest::addColumn<QString>("avviso");     // empty: none
    const QString nome = QStringLiteral("Cognome e nome");
    QTest::newRow("CAP senza zeri") << "CAP"
                                    << "184" << QByteArray("CapRes") << QByteArray("00184")
                                    << "CAP 184 completato con gli zeri iniziali: 00184";
    QTest::newRow("CAP intero") << "CAP"
                                << "00184" << QByteArray("CapRes") << QByteArray("00184") << "";
    QTest::newRow("romeno") << nome << QStringLiteral("Popescu \u0218tefan")
                            << QByteArray("Tesserato") << QByteArray("Popescu Stefan") << "";
    QTest::newRow("segno staccato dalla lettera")
        << nome << QStringLiteral("Popescu S\u0326tefan") << QByteArray("Tesserato")
        << QByteArray("Popescu Stefan") << "";
    QTest::newRow("accento staccato dalla lettera")
        << nome << QStringLiteral("Niccolo\u0300 Rossi") << QByteArray("Tesserato")
        << QByteArray("Niccol\xF2 Rossi") << "";
    QTest::newRow("polacco") << nome << QStringLiteral("Kowalski \u0141ukasz")
                             << QByteArray("Tesserato") << QByteArray("Kowalski Lukasz") << "";
    QTest::newRow("ungherese") << nome << QStringLiteral("Erd\u0151s Gy\u00F6ngyv\u00E9r")
                               << QByteArray("Tesserato") << QByteArray("Erdos Gy\xF6ngyv\xE9r")
                               << "";
    QTest::newRow("serbo") << nome << QStringLiteral("\u0110or\u0111evi\u0107 Du\u0161an")
                           << QByteArray("Tesserato")
                           << QByteArray("Dordevic Du\x9A"
                                         "an")
                           << "";
    QTest::newRow("tedesco e danese")
        << nome << QStringLiteral("Wei\u00DF \u00D8rsted") << QByteArray("Tesserato")
        << QByteArray("Wei\xDF \xD8rsted") << "";
    QTest::newRow("cirillico") << nome << QStringLiteral("\u0418\u0432\u0430\u043D Ada")
                               << QByteArray("Tesserato") << QByteArray("???? Ada")
                               << QStringLiteral("Cognome e nome: caratteri che l'archivio non "
                                                 "può contenere, scritti come ? "
                                                 "(\u0418\u0432\u0430\u043D Ada)");
    QTest::newRow("nascita impossibile")
        << "Data di nascita"
        << "31/02/1990" << QByteArray("DataNasc") << QByteArray("31/02/1990")
        << "la data di nascita 31/02/1990 non esiste";
    QTest::newRow("nascita a parole")
        << "Data di nascita"
        << "circa 1950" << QByteArray("DataNasc") << QByteArray("circa 1950") << "";
}

// What the archive cannot hold as written is made right where it can be, and said where
// it cannot: the row and the field are named.
void TestImportaFogli::righeCorrette()
{
    QFETCH(QString, intestazione);
    QFETCH(QString, valore);
    QFETCH(QByteArray, campo);
    QFETCH(QByteArray, scritto);
    QFETCH(QString, avviso);
    Ambiente env;
    const bool nome = intestazione == u"Cognome e nome";
    const QString csv = QStringLiteral("Cognome e nome;Data rilascio;Data scadenza") +
                        (nome ? QString() : u';' + intestazione) + QStringLiteral("\n") +
                        (nome ? valore : QStringLiteral("ROSSI MARIO")) +
                        QStringLiteral(";01/01/2025;31/12/2025") +
                        (nome ? QString() : u';' + valore) + QStringLiteral("\n");
    Richiesta r;
    r.percorso = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(r.percorso, csv.toUtf8());
    r.colonne = Abbina(Righe(r.percorso).value(0));
    const Importazione::Esito e = Importa(env.cartella(), r, true);
    QCOMPARE(e.importate, 1);
    QCOMPARE(Costruttore::Campo(Archivio(env), campo), scritto);
    if (avviso.isEmpty()) {
        QCOMPARE(e.avvisate, 0);
    } else {
        QCOMPARE(e.righe.size(), 1);
        QCOMPARE(Importazione::Esito::Linea(e.righe[0]),
                 QStringLiteral("Riga 2: avviso - ") + avviso);
        QCOMPARE(e.righe[0].tesserato, nome ? valore : QStringLiteral("ROSSI MARIO"));
    }
}

void TestImportaFogli::provinciaVicina_data()
{
    QTest::addColumn<QStringList>("intestazioni");
    QTest::addColumn<QList<int>>("attese");
    const int comuneNasc = int(Campo::ComuneNasc), provNasc = int(Campo::ProvNasc),
              comuneRes = int(Campo::ComuneRes), provRes = int(Campo::ProvRes);
    QTest::newRow("dopo il luogo di nascita")
        << QStringList{"Luogo di nascita", "Prov."} << QList<int>{comuneNasc, provNasc};
    QTest::newRow("dopo il comune")
        << QStringList{"Comune", "Prov."} << QList<int>{comuneRes, provRes};
    QTest::newRow("l'una e l'altra")
        << QStringList{"Luogo di nascita", "Provincia", "Comune", "Provincia"}
        << QList<int>{comuneNasc, provNasc, comuneRes, provRes};
}

// A bare "Prov." belongs to the town just before it.
void TestImportaFogli::provinciaVicina()
{
    QFETCH(QStringList, intestazioni);
    QFETCH(QList<int>, attese);
    QCOMPARE(Abbina(intestazioni), attese);
}

// Two title rows above the header: the header is found, shown, and can be chosen.
void TestImportaFogli::rigaIntestazione()
{
    Ambiente env;
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, "Elenco soci;;\n"
                  "Anno 2025;;\n"
                  "Cognome e nome;Data rilascio;Data scadenza\n"
                  "ROSSI MARIO;01/01/2025;31/12/2025\n"
                  "VERDI ANNA;01/01/2025;31/12/2025\n");
    env->fileDaAprire.enqueue(p);
    QString riga, campoTrovato, campoTitolo, riepilogo;
    SuSchermata(env, [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        auto *txt = Controllo<QLineEdit>(d, "txtRigaIntestazione");
        riga = txt->text();
        campoTrovato = CampoScelto(d, 1);
        // The user picks the first row: its title names no field.
        txt->setText(QStringLiteral("1"));
        emit txt->editingFinished();
        campoTitolo = CampoScelto(d, 1);
        txt->setText(QStringLiteral("3"));
        emit txt->editingFinished();
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
        riepilogo = LineeEsito(d).value(0);
    });
    QCOMPARE(riga, QStringLiteral("3"));
    QCOMPARE(campoTrovato, QStringLiteral("Cognome e nome"));
    QCOMPARE(campoTitolo, QStringLiteral("(nessuno)"));
    QCOMPARE(riepilogo, QStringLiteral("Righe: 2 importate, 0 scartate, 0 con avvisi."));
    QCOMPARE(Costruttore::Campo(Archivio(env), "Tesserato"), QByteArray("ROSSI MARIO"));
}

// Rows without dates get the defaults of the screen, and the outcome says so; with the
// defaults emptied they are skipped as before.
void TestImportaFogli::datePredefinite()
{
    Ambiente env;
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, "Cognome e nome;Data rilascio\n"
                  "ROSSI MARIO;01/03/2025\n"
                  "VERDI ANNA;\n");
    QStringList prova, avvio, vuote;
    QString rilascio, scadenza;
    env->fileDaAprire.enqueue(p);
    SuSchermata(env, [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        auto *ril = Controllo<QLineEdit>(d, "txtRilascioPredefinito");
        auto *scade = Controllo<QLineEdit>(d, "txtScadenzaPredefinita");
        rilascio = ril->text();
        scadenza = scade->text();
        ril->clear();
        scade->clear();
        Controllo<QAbstractButton>(d, "cmdProva")->click();
        vuote = LineeEsito(d);
        ril->setText(rilascio);
        scade->setText(QStringLiteral("31/02/2026"));
        Controllo<QAbstractButton>(d, "cmdProva")->click();
        prova = LineeEsito(d);
        scade->setText(scadenza);
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
        avvio = LineeEsito(d);
    });
    QCOMPARE(rilascio, QStringLiteral("15/06/2025")); // the platform's today
    QCOMPARE(scadenza, QStringLiteral("15/06/2026"));
    QCOMPARE(vuote.value(0),
             QStringLiteral("Prova: 0 sarebbero importate, 2 sarebbero scartate, 0 con avvisi."));
    QCOMPARE(vuote.value(2), QStringLiteral("Riga 3: scartata - manca la data di rilascio"));
    QCOMPARE(env->messaggi.value(0).testo,
             QStringLiteral("Attenzione: la data 31/02/2026 non esiste."));
    QVERIFY(prova.isEmpty());
    QCOMPARE(avvio.value(0),
             QStringLiteral("Righe: 2 importate, 0 scartate, 0 con avvisi. Data di rilascio "
                            "15/06/2025 data alle 1 righe che non l'avevano. Data di scadenza "
                            "15/06/2026 data alle 2 righe che non l'avevano."));
    const QByteArray a = Archivio(env);
    QCOMPARE(Costruttore::Campo(Scheda(a, 1), "DataRil"), QByteArray("01/03/2025"));
    QCOMPARE(Costruttore::Campo(Scheda(a, 2), "DataRil"), QByteArray("15/06/2025"));
    QCOMPARE(Costruttore::Campo(Scheda(a, 2), "DataScade"), QByteArray("15/06/2026"));
}

// An .xls file is offered, and refused with what to do about it.
void TestImportaFogli::fileXls()
{
    Ambiente env;
    const QString p = env.Percorso(QStringLiteral("soci.xls"));
    QByteArray b("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    b.append(QByteArray(1024, '\0'));
    ScriviFile(p, b);
    env->fileDaAprire.enqueue(p);
    int colonne = -1;
    SuSchermata(env, [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        colonne = Controllo<QTableWidget>(d, "grdColonne")->rowCount();
    });
    QCOMPARE(env->UltimoMessaggio(), Foglio::MessaggioXls());
    QVERIFY(Foglio::MessaggioXls().contains(QStringLiteral(".xlsx o .ods")));
    QCOMPARE(colonne, 0);
}

// The last import is undone from its dated copy, photos included, while the archive is
// as the import left it; after a change it is refused. The last five copies are kept.
void TestImportaFogli::annullaImportazione()
{
    Ambiente env;
    const QByteArray rossi = Costruttore::Tesserato("ROSSI MARIO");
    Costruttore::ScriviArchivio(env.Percorso(NomeArchivio), {rossi});
    // A photo left from an earlier record at the position the import will fill.
    QVERIFY(Immagine(10, 10, Qt::red).save(env.Percorso(QStringLiteral("2.jpg")), "JPG"));
    const QByteArray fotoPrima = Costruttore::LeggiFile(env.Percorso(QStringLiteral("2.jpg")));
    QVERIFY(Immagine(40, 50, Qt::blue).save(env.Percorso(QStringLiteral("volto.png")), "PNG"));
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, "Cognome e nome;Data rilascio;Data scadenza;Foto\n"
                  "BIANCHI ANNA;01/01/2025;31/12/2025;volto.png\n"
                  "VERDI LUCA;01/01/2025;31/12/2025;\n");
    auto importa = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
    };
    auto annulla = [&](QDialog *d) {
        env->risposte.enqueue(true);
        Controllo<QAbstractButton>(d, "cmdAnnullaImportazione")->click();
    };
    env->fileDaAprire.enqueue(p);
    SuSchermata(env, importa);
    QCOMPARE(Archivio(env).size(), 3 * DimensioneScheda);
    QVERIFY(Costruttore::LeggiFile(env.Percorso(QStringLiteral("2.jpg"))) != fotoPrima);
    SuSchermata(env, annulla);
    QVERIFY2(env->UltimoMessaggio().endsWith(
                 QStringLiteral("annullata: l'archivio è tornato com'era prima.")),
             qPrintable(env->UltimoMessaggio()));
    QCOMPARE(Archivio(env), rossi);
    QCOMPARE(Costruttore::LeggiFile(env.Percorso(QStringLiteral("2.jpg"))), fotoPrima);
    QVERIFY(!QFile::exists(env.Percorso(QStringLiteral("3.jpg"))));
    SuSchermata(env, annulla);
    QCOMPARE(env->UltimoMessaggio(), QStringLiteral("Non c'è nessuna importazione da annullare."));

    // A record saved after the import: the undo would lose it, so it is refused.
    env->fileDaAprire.enqueue(p);
    SuSchermata(env, importa);
    {
        TArchivio a(env.cartella());
        TScheda s = a.LeggiScheda(1);
        s.Scrivi(Campo::Carica, QStringLiteral("Presidente"));
        a.ScriviScheda(1, s);
    }
    QFile archivio(env.Percorso(NomeArchivio));
    QVERIFY(archivio.open(QIODevice::ReadWrite));
    QVERIFY(archivio.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime)); // saved a minute later
    archivio.close();
    const QByteArray salvato = Archivio(env);
    SuSchermata(env, annulla);
    QVERIFY2(env->UltimoMessaggio().contains(
                 QStringLiteral("l'archivio è stato modificato dopo l'importazione")),
             qPrintable(env->UltimoMessaggio()));
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Avviso);
    QCOMPARE(Archivio(env), salvato);

    // Six more imports: the last five copies stay.
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4};
    r.doppi = true;
    for (int i = 0; i < 6; ++i)
        Importa(env.cartella(), r, true);
    QCOMPARE(QDir(env.Percorso(CopieImportazione::NomeCartella))
                 .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                 .size(),
             CopieImportazione::Tenute);
    // The old single copy is still written beside the archive.
    QCOMPARE(Costruttore::LeggiFile(env.Percorso(NomeCopiaArchivio)).size(),
             Archivio(env).size() - 2 * DimensioneScheda);
}

// A secretary's spreadsheet with title rows, postal codes shown with leading zeros, names
// from all over Europe and no dates imports right at the first try; the next list with
// the same headers imports without matching the columns again.
void TestImportaFogli::segreteria()
{
    RichiediLibreOffice();
    Ambiente env;
    QString riga, provNasc, socio;
    QStringList prova, avvio;
    env->fileDaAprire.enqueue(F(QStringLiteral("segreteria.xlsx")));
    SuSchermata(env, [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        riga = Controllo<QLineEdit>(d, "txtRigaIntestazione")->text();
        provNasc = CampoScelto(d, 4);
        socio = CampoScelto(d, 10);
        // "N. socio" is the card number here: matched once by hand.
        auto *numero = Controllo<QComboBox>(d, "cboCampo10");
        numero->setCurrentIndex(numero->findText(QStringLiteral("Tessera n.")));
        Controllo<QAbstractButton>(d, "cmdProva")->click();
        prova = LineeEsito(d);
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
        avvio = LineeEsito(d);
    });
    QCOMPARE(riga, QStringLiteral("3"));
    QCOMPARE(provNasc, QStringLiteral("Provincia di nascita"));
    QCOMPARE(socio, QStringLiteral("(nessuno)"));
    const QString date = QStringLiteral(" Data di rilascio 15/06/2025 data alle 3 righe che non "
                                        "l'avevano. Data di scadenza 15/06/2026 data alle 3 righe "
                                        "che non l'avevano.");
    QCOMPARE(prova.value(0),
             QStringLiteral("Prova: 3 sarebbero importate, 0 sarebbero scartate, 1 con avvisi.") +
                 date);
    QCOMPARE(avvio,
             (QStringList{QStringLiteral("Righe: 3 importate, 0 scartate, 1 con avvisi.") + date,
                          "Riga 6: avviso - la data di nascita 31/02/1990 non esiste"}));
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Importazione completata: 3 schede aggiunte all'archivio."));
    const QByteArray a = Archivio(env);
    QCOMPARE(a.size(), 3 * DimensioneScheda);
    const QList<QMap<QByteArray, QByteArray>> attese = {
        {{"Tesserato", "Popescu Stefan"},
         {"CapRes", "00184"},
         {"ComuneRes", "Roma"},
         {"DataNasc", "12/05/1980"},
         {"NumTessera", "101"}},
        {{"Tesserato", "Kowalski Lukasz"}, {"ComuneNasc", "Krak\xF3w"}, {"CapRes", "20121"}},
        {{"Tesserato", "Erdos Zolt\xE1n"},
         {"ProvNasc", "CA"},
         {"CapRes", "09100"},
         {"DataNasc", "31/02/1990"},
         {"DataRil", "15/06/2025"},
         {"DataScade", "15/06/2026"},
         {"NumTessera", "103"}}};
    for (int i = 0; i < attese.size(); ++i)
        for (auto c = attese[i].cbegin(); c != attese[i].cend(); ++c)
            QCOMPARE(Costruttore::Campo(Scheda(a, i + 1), c.key()), c.value());

    // The next list: the columns come matched as last time.
    env->fileDaAprire.enqueue(F(QStringLiteral("segreteria2.xlsx")));
    SuSchermata(env, [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        socio = CampoScelto(d, 10);
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
    });
    QCOMPARE(socio, QStringLiteral("Tessera n."));
    const QByteArray novak = Scheda(Archivio(env), 4);
    QCOMPARE(Costruttore::Campo(novak, "Tesserato"), QByteArray("Nov\xE1k Jir\xED"));
    QCOMPARE(Costruttore::Campo(novak, "NumTessera"), QByteArray("104"));
}

QTEST_MAIN(TestImportaFogli)
#include "tst_importa_fogli.moc"
