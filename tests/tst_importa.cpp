// Import of members from CSV, XLSX and ODS: the readers on files that LibreOffice
// writes, the row checks, the all-or-nothing append and the import screen.
#include "support/Supporto.h"

#include "archive/Errori.h"
#include "archive/Scheda.h"
#include "import/Importa.h"
#include "import/core/Foglio.h"
#include "import/core/Importazione.h"
#include "lists/core/Esportazione.h"
#include "registry/Anagrafica.h"
#include "storage/ImportazioneFile.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

using namespace Importazione;

namespace {

void ScriviFile(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(dati) != dati.size())
        throw std::runtime_error("cannot write fixture");
}

// The archive to export and bring back: Windows-1252 bytes, the hard cases of the export.
const QList<QMap<QByteArray, QByteArray>> &SchedeAndata()
{
    static const QList<QMap<QByteArray, QByteArray>> s = {
        {{"Tesserato", "D'ANGELO NICCOL\xD2"},
         {"Carica", "Socio \"onorario\""},
         {"NumTessera", "A-001"},
         {"DataRil", "01/02/2025"},
         {"DataScade", "31/12/2025"},
         {"DataNasc", "03/04/1980"},
         {"ComuneNasc", "Cant\xF9"},
         {"ProvNasc", "CO"},
         {"Sesso", "M"},
         {"ComuneRes", "Roma"},
         {"ProvRes", "RM"},
         {"CapRes", "00100"},
         {"IndirizzoRes", "Via  dei  Mille, 3"},
         {"Titoli", "Laurea in Lettere & Filosofia"},
         {"TelCasa", "06 1234567"},
         {"TelUff", "+39 02 555"},
         {"TelCel", "3331234567"},
         {"Recapito", "Casa"},
         {"Fax", "06 7654321"},
         {"Email", "n.dangelo@example.org"},
         {"CodFisc", "RSSMRA80A01H501U"},
         {"Carta", "378282246310005"}, // spreadsheets keep 15 digits of a number
         {"ScadeCarta", "dicembre 2027"},
         {"PartitaIva", "12345678903"},
         {"Iban", "IT60X0542811101000000123456"},
         {"Intestatario", "Niccol\xF2 D'Angelo"},
         {"Note", "a<b, c>d & \"e\"; prezzo 5 \x80"},
         {"Preavviso", "30"},
         {"Annullata", "S\xEC"}},
        {{"Tesserato", "BIANCHI ANNA MARIA"},
         {"Carica", "Presidente"},
         {"NumTessera", "2"},
         {"DataRil", "15/03/2024"},
         {"DataScade", "14/03/2026"},
         {"ComuneRes", "Milano"},
         {"CapRes", "20121"},
         {"ProvRes", "MI"},
         {"Note", "<b>non grassetto</b> &amp;"},
         {"Annullata", "No"}},
        {{"Tesserato", "VERDI LUCA"},
         {"NumTessera", "T-3"},
         {"DataRil", "10/05/2024"},
         {"DataScade", "10/05/2024"},
         {"ComuneNasc", "Bra"},
         {"ComuneRes", "San Don\xE0 di Piave"},
         {"ProvRes", "VE"},
         {"Sesso", "F"},
         {"Note", "\x8A\x9A \xAB virgolette \xBB"},
         {"Annullata", "No"}},
    };
    return s;
}

// A workbook of our own in flat ODS: two sheets, dates, a number, merged cells, a
// rich-text run, two equal rows and equal adjacent cells.
const char *const FodsSpeciale = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:date-style style:name="N1"><number:day number:style="long"/><number:text>/</number:text><number:month number:style="long"/><number:text>/</number:text><number:year number:style="long"/></number:date-style>
 <style:style style:name="D" style:family="table-cell" style:data-style-name="N1"/>
 <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
</office:automatic-styles>
<office:body><office:spreadsheet>
<table:table table:name="Note"><table:table-row><table:table-cell office:value-type="string"><text:p>nulla</text:p></table:table-cell></table:table-row></table:table>
<table:table table:name="Soci">
<table:table-row>
 <table:table-cell office:value-type="string"><text:p>Cognome</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Nome</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Data di rilascio</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Data di scadenza</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Carica</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Note</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Tessera n.</text:p></table:table-cell>
</table:table-row>
<table:table-row>
 <table:table-cell office:value-type="string"><text:p>Rossi</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Mario</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2024-03-15"><text:p>15/03/2024</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2025-03-14"><text:p>14/03/2025</text:p></table:table-cell>
 <table:table-cell office:value-type="string" table:number-rows-spanned="2" table:number-columns-spanned="1"><text:p>Consigliere</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>molto <text:span text:style-name="T1">bravo</text:span> davvero</text:p></table:table-cell>
 <table:table-cell office:value-type="float" office:value="1234"><text:p>1234</text:p></table:table-cell>
</table:table-row>
<table:table-row>
 <table:table-cell office:value-type="string"><text:p>Verdi</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Anna</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="1904-01-02"><text:p>02/01/1904</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2030-12-31"><text:p>31/12/2030</text:p></table:table-cell>
 <table:covered-table-cell/>
 <table:table-cell office:value-type="string"><text:p>x</text:p></table:table-cell>
 <table:table-cell office:value-type="float" office:value="7"><text:p>7</text:p></table:table-cell>
</table:table-row>
<table:table-row>
 <table:table-cell office:value-type="string"><text:p>Bianchi</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Luca</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2024-06-01"><text:p>01/06/2024</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2024-06-01"><text:p>01/06/2024</text:p></table:table-cell>
</table:table-row>
<table:table-row>
 <table:table-cell office:value-type="string"><text:p>Bianchi</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>Luca</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2024-06-01"><text:p>01/06/2024</text:p></table:table-cell>
 <table:table-cell table:style-name="D" office:value-type="date" office:date-value="2024-06-01"><text:p>01/06/2024</text:p></table:table-cell>
</table:table-row>
</table:table>
</office:spreadsheet></office:body></office:document>
)";

// A workbook that counts its dates from 1904, as old spreadsheets on the Mac do.
const char *const Fods1904 = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:date-style style:name="N1"><number:day/><number:text>/</number:text><number:month/><number:text>/</number:text><number:year/></number:date-style>
 <style:style style:name="D" style:family="table-cell" style:data-style-name="N1"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
<table:calculation-settings><table:null-date table:date-value="1904-01-01"/></table:calculation-settings>
<table:table table:name="Date">
<table:table-row><table:table-cell office:value-type="string"><text:p>Data</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell table:style-name="D" office:value-type="date" office:date-value="2024-03-15"><text:p>15/03/24</text:p></table:table-cell></table:table-row>
</table:table>
</office:spreadsheet></office:body></office:document>
)";

QList<QStringList> Righe(const QString &percorso, int foglio, QList<int> *numeri = nullptr)
{
    QList<QStringList> r;
    ApriFoglio(percorso)->Leggi(foglio, [&](int n, QStringList &celle) {
        r.append(celle);
        if (numeri)
            numeri->append(n);
        return true;
    });
    return r;
}

QByteArray Archivio(const Ambiente &env)
{
    return Costruttore::LeggiFile(env.Percorso(QStringLiteral("Tesserati.pro")));
}

// The same zip with one entry's content replaced, written by QuaZip.
void SostituisciVoce(const QString &da, const QString &a, const QString &voce,
                     const QByteArray &contenuto)
{
    QuaZip in(da), out(a);
    QVERIFY(in.open(QuaZip::mdUnzip));
    QVERIFY(out.open(QuaZip::mdCreate));
    for (bool ok = in.goToFirstFile(); ok; ok = in.goToNextFile()) {
        const QString nome = in.getCurrentFileName();
        QuaZipFile fi(&in);
        QVERIFY(fi.open(QIODevice::ReadOnly));
        QByteArray dati = fi.readAll();
        fi.close();
        if (nome == voce)
            dati = contenuto;
        QuaZipFile fo(&out);
        QVERIFY(fo.open(QIODevice::WriteOnly, QuaZipNewInfo(nome)));
        fo.write(dati);
        fo.close();
    }
    out.close();
}

// Sets the uncompressed size that the central directory declares for an entry.
QByteArray DichiaraDimensione(QByteArray zip, const QByteArray &voce, quint32 dimensione)
{
    qsizetype p = 0;
    while ((p = zip.indexOf("PK\x01\x02", p)) >= 0) {
        const auto u16 = [&](qsizetype o) {
            return quint16(uchar(zip[o])) | quint16(uchar(zip[o + 1])) << 8;
        };
        if (zip.mid(p + 46, u16(p + 28)) == voce)
            for (int i = 0; i < 4; ++i)
                zip[p + 24 + i] = char((dimensione >> (8 * i)) & 0xFF);
        p += 46;
    }
    return zip;
}

} // namespace

class TestImporta : public QObject {
    Q_OBJECT
    QTemporaryDir m_fixture;
    QString m_origine; // program folder of the exported archive
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
    void andataERitorno_data();
    void andataERitorno();
    void fogliSpeciali_data();
    void fogliSpeciali();
    void fogliInPezzi_data();
    void fogliInPezzi();
    void fileRifiutati_data();
    void fileRifiutati();
    void codifiche_data();
    void codifiche();
    void righeScartateEAvvisi();
    void discoPieno();
    void annullata();
    void fotoSoloDopoLaConferma_data();
    void fotoSoloDopoLaConferma();
    void schermata();
    void schermataAnnulla();
};

void TestImporta::Converti(const QString &soffice, const QString &filtro, const QStringList &file)
{
    QProcess lo;
    Soffice(lo, soffice, F(QStringLiteral("profilo")),
            QStringList{QStringLiteral("--convert-to"), filtro, QStringLiteral("--outdir"),
                        m_fixture.path()} +
                file);
}

void TestImporta::initTestCase()
{
    QVERIFY(m_fixture.isValid());
    m_origine = F(QStringLiteral("origine"));
    QVERIFY(QDir().mkpath(m_origine));
    QList<QByteArray> record;
    for (const auto &s : SchedeAndata())
        record.append(Costruttore::Record(s));
    Costruttore::ScriviArchivio(QDir(m_origine).filePath(QStringLiteral("Tesserati.pro")), record);
    // Our own export, as the export screen writes it.
    TModelloRecords griglia;
    griglia.Riempi(m_origine);
    ScriviEsportazione(F(QStringLiteral("Tesserati.xls")), griglia);
    ScriviFile(F(QStringLiteral("speciale.fods")), FodsSpeciale);
    ScriviFile(F(QStringLiteral("data1904.fods")), Fods1904);
    // Large enough that each sheet entry is read in many pieces.
    QByteArray grande = "Cognome e nome,Data rilascio,Data scadenza,Note\n";
    for (int i = 1; i <= 3000; ++i)
        grande += "SOCIO " + QByteArray::number(i) + ",01/01/2025,31/12/2025,nota " +
                  QByteArray::number(i * 7) + "\n";
    ScriviFile(F(QStringLiteral("grande.csv")), grande);

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return;
    const QStringList file = {F(QStringLiteral("Tesserati.xls")),
                              F(QStringLiteral("speciale.fods")),
                              F(QStringLiteral("data1904.fods")), F(QStringLiteral("grande.csv"))};
    Converti(soffice, QStringLiteral("xlsx"), file);
    Converti(soffice, QStringLiteral("ods"), file);
    Converti(soffice, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
             {F(QStringLiteral("Tesserati.xls"))});
    for (const char *n : {"Tesserati.xlsx", "Tesserati.ods", "Tesserati.csv", "speciale.xlsx",
                          "speciale.ods", "data1904.xlsx", "grande.xlsx", "grande.ods"})
        QVERIFY2(QFile::exists(F(QString::fromLatin1(n))), n);
    m_libreoffice = true;
}

void TestImporta::andataERitorno_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << QStringLiteral("Tesserati.xlsx");
    QTest::newRow("ods") << QStringLiteral("Tesserati.ods");
    QTest::newRow("csv") << QStringLiteral("Tesserati.csv");
}

// Our export, through LibreOffice, back into an empty archive: every exported cell equal.
void TestImporta::andataERitorno()
{
    RichiediLibreOffice();
    QFETCH(QString, file);
    Ambiente env;
    Richiesta r;
    r.percorso = F(file);
    r.colonne = Abbina(Righe(r.percorso, 0).value(0));
    const Esito e = Importa(env.cartella(), r, true);
    QCOMPARE(e.importate, SchedeAndata().size());
    QCOMPARE(e.scartate, 0);

    TModelloRecords prima, dopo;
    prima.Riempi(m_origine);
    dopo.Riempi(env.cartella());
    QCOMPARE(dopo.rowCount(), prima.rowCount());
    for (int riga = 0; riga < prima.rowCount(); ++riga)
        for (int c = 1; c <= ColonneFile; ++c)
            QCOMPARE(dopo.Cella(riga, c), prima.Cella(riga, c));
    // Fields the export joins come back one by one.
    const QByteArray rec = Archivio(env).left(DimensioneScheda);
    QCOMPARE(Costruttore::Campo(rec, "ComuneNasc"), QByteArray("Cant\xF9"));
    QCOMPARE(Costruttore::Campo(rec, "ProvNasc"), QByteArray("CO"));
    QCOMPARE(Costruttore::Campo(rec, "CapRes"), QByteArray("00100"));
    QCOMPARE(Costruttore::Campo(rec, "ComuneRes"), QByteArray("Roma"));
    QCOMPARE(Costruttore::Campo(rec, "ProvRes"), QByteArray("RM"));
    QCOMPARE(Costruttore::Campo(rec, "Preavviso"), QByteArray("0"));
    QCOMPARE(Costruttore::LeggiFile(env.Percorso(NomeCopiaArchivio)), QByteArray());
}

void TestImporta::fogliSpeciali_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << QStringLiteral("speciale.xlsx");
    QTest::newRow("ods") << QStringLiteral("speciale.ods");
}

// Sheets, dates, numbers, merged cells, rich text and repeated rows as LibreOffice wrote them.
void TestImporta::fogliSpeciali()
{
    RichiediLibreOffice();
    QFETCH(QString, file);
    const QString percorso = F(file);
    QCOMPARE(ApriFoglio(percorso)->Fogli(), (QStringList{"Note", "Soci"}));
    QList<int> numeri;
    const QList<QStringList> righe = Righe(percorso, 1, &numeri);
    QCOMPARE(numeri, (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(righe[1].mid(0, 7), (QStringList{"Rossi", "Mario", "15/03/2024", "14/03/2025",
                                              "Consigliere", "molto bravo davvero", "1234"}));
    QCOMPARE(righe[2].mid(0, 7),
             (QStringList{"Verdi", "Anna", "02/01/1904", "31/12/2030", "Consigliere", "x", "7"}));
    QCOMPARE(righe[3].mid(0, 4), (QStringList{"Bianchi", "Luca", "01/06/2024", "01/06/2024"}));
    QCOMPARE(righe[4].mid(0, 4), righe[3].mid(0, 4));
    // Every row of a sheet read in many pieces.
    const QList<QStringList> grande =
        Righe(QString(percorso).replace(QStringLiteral("speciale"), QStringLiteral("grande")), 0);
    QCOMPARE(grande.size(), 3001);
    QCOMPARE(grande.last().value(3), QStringLiteral("nota 21000"));
    if (file.endsWith(u"xlsx")) // serial numbers counted from the workbook's own origin
        QCOMPARE(Righe(F(QStringLiteral("data1904.xlsx")), 0).value(1),
                 QStringList{QStringLiteral("15/03/2024")});

    // The repeated row is the same member twice: the second is skipped.
    Ambiente env;
    Richiesta r;
    r.percorso = percorso;
    r.foglio = 1;
    r.colonne = Abbina(righe[0]);
    const Esito e = Importa(env.cartella(), r, true);
    QCOMPARE(e.importate, 3);
    QCOMPARE(e.scartate, 1);
    QCOMPARE(e.righe.value(0).numero, 5);
    QVERIFY2(e.righe.value(0).motivo.contains(QStringLiteral("scheda 3")),
             qPrintable(e.righe.value(0).motivo));
    const QByteArray a = Archivio(env);
    QCOMPARE(Costruttore::Campo(a.mid(0, DimensioneScheda), "Tesserato"),
             QByteArray("Rossi Mario"));
    QCOMPARE(Costruttore::Campo(a.mid(DimensioneScheda, DimensioneScheda), "Carica"),
             QByteArray("Consigliere"));
}

void TestImporta::fogliInPezzi_data()
{
    QTest::addColumn<QByteArray>("caso");
    QTest::newRow("prefissi") << QByteArray("prefissi");
    QTest::newRow("cdata all'inizio") << QByteArray("cdata inizio");
    QTest::newRow("cdata a metà") << QByteArray("cdata meta");
    QTest::newRow("commento all'inizio") << QByteArray("commento");
    QTest::newRow("entità del DTD") << QByteArray("entita");
    QTest::newRow("stringhe condivise") << QByteArray("condivise");
}

// A sheet far larger than the pieces it is read in, written as other programs may write
// it: every element with a prefix, or texts that look like a row's end (in CDATA or a
// comment) where a piece would be cut, or an entity of the document type; the shared
// strings too. Every row comes back once, in order, with its text.
void TestImporta::fogliInPezzi()
{
    RichiediLibreOffice();
    QFETCH(QByteArray, caso);
    const bool prefissi = caso == "prefissi";
    const QByteArray p = prefissi ? "x:" : "";
    constexpr int Quante = 6000, Speciale = 2500;
    const QByteArray lungo(300 * 1024, 'y'); // longer than a piece
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    if (caso == "entita")
        xml += "<!DOCTYPE worksheet [<!ENTITY soc \"Societ\xC3\xA0\">]>";
    xml += "<" + p + "worksheet xmlns" + (prefissi ? ":x" : "") +
           "=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><" + p + "sheetData>";
    QByteArray condivise = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://"
                           "schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    auto cella = [&](const char *col, int r, const QByteArray &testo) {
        const QByteArray n = QByteArray::number(r);
        if (caso == "condivise" && *col == 'A') {
            // Now and then a string in runs, with a phonetic guide that is no part of it.
            condivise += r % 1000 == 3 ? "<si><r><rPr><b/></rPr><t>" + testo.left(3) +
                                             "</t></r><r><t>" + testo.mid(3) +
                                             "</t></r><rPh sb=\"0\" eb=\"1\"><t>no</t></rPh></si>"
                                       : "<si><t>" + testo + "</t></si>";
            return "<c r=\"A" + n + "\" t=\"s\"><v>" + QByteArray::number(r - 1) + "</v></c>";
        }
        return "<" + p + "c r=\"" + col + n + "\" t=\"inlineStr\"><" + p + "is><" + p + "t>" +
               testo + "</" + p + "t></" + p + "is></" + p + "c>";
    };
    QStringList attesi;
    for (int r = 1; r <= Quante; ++r) {
        QByteArray testo = "socio " + QByteArray::number(r);
        QString atteso = QString::fromLatin1(testo);
        if (caso == "entita" && r > Speciale) {
            testo += " &soc;";
            atteso += QStringLiteral(" Società");
        }
        const bool speciale = r == (caso == "cdata inizio" ? 2 : Speciale);
        if (speciale && caso.startsWith("cdata")) {
            testo += "<![CDATA[</" + p + "row>" + lungo + "]]>";
            atteso += QStringLiteral("</row>") + QString::fromLatin1(lungo);
        } else if (r == 2 && caso == "condivise") {
            testo += "<![CDATA[</si>" + lungo + "]]>";
            atteso += QStringLiteral("</si>") + QString::fromLatin1(lungo);
        }
        xml += "<" + p + "row r=\"" + QByteArray::number(r) + "\">" + cella("A", r, testo) +
               cella("B", r, QByteArray::number(r * 7)) + "</" + p + "row>";
        if (r == 2 && caso == "commento") // a row put aside in a comment
            xml +=
                "<!-- </row>" + lungo + "<row r=\"77\">" + cella("A", 77, "finta") + "</row> -->";
        attesi << atteso;
    }
    xml += "</" + p + "sheetData></" + p + "worksheet>";
    const QString file = F(QStringLiteral("pezzi-") + QString::fromLatin1(caso) + ".xlsx");
    SostituisciVoce(F(QStringLiteral("Tesserati.xlsx")), file + ".tmp",
                    QStringLiteral("xl/worksheets/sheet1.xml"), xml);
    SostituisciVoce(file + ".tmp", file, QStringLiteral("xl/sharedStrings.xml"),
                    condivise + "</sst>");

    QList<int> numeri;
    const QList<QStringList> righe = Righe(file, 0, &numeri);
    QCOMPARE(righe.size(), Quante);
    for (int i = 0; i < Quante; ++i) {
        QCOMPARE(numeri[i], i + 1);
        QCOMPARE(righe[i].value(0), attesi[i]);
        QCOMPARE(righe[i].value(1), QString::number((i + 1) * 7));
    }
    // Stopping part way hands over nothing after the stop.
    int date = 0;
    ApriFoglio(file)->Leggi(0, [&](int, QStringList &) { return ++date < 3000; });
    QCOMPARE(date, 3000);
}

void TestImporta::fileRifiutati_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("vuoto") << "vuoto.csv" << Foglio::MessaggioVuoto();
    QTest::newRow("immagine") << "foto.xlsx" << Foglio::MessaggioNonFoglio();
    QTest::newRow("solo intestazione") << "intestazione.csv" << Foglio::MessaggioSoloIntestazione();
    QTest::newRow("protetto") << "protetto.xlsx" << Foglio::MessaggioProtetto();
    QTest::newRow("zip danneggiato") << "tagliato.xlsx" << Foglio::MessaggioDanneggiato();
    QTest::newRow("xml malformato") << "malformato.xlsx" << Foglio::MessaggioXml();
    QTest::newRow("xml malformato ods") << "malformato.ods" << Foglio::MessaggioXml();
    QTest::newRow("voce enorme") << "enorme.xlsx" << Foglio::MessaggioTroppoGrande();
}

// Bad files are refused with their message and leave the archive as it was.
void TestImporta::fileRifiutati()
{
    QFETCH(QString, nome);
    QFETCH(QString, messaggio);
    const QString p = F(QStringLiteral("rifiutati/") + nome);
    QDir().mkpath(F(QStringLiteral("rifiutati")));
    if (nome == u"vuoto.csv") {
        ScriviFile(p, QByteArray());
    } else if (nome == u"foto.xlsx") {
        QVERIFY(Immagine(8, 8, Qt::red).save(p, "PNG"));
    } else if (nome == u"intestazione.csv") {
        ScriviFile(p, "Cognome;Nome;Data di rilascio\r\n\r\n");
    } else if (nome == u"protetto.xlsx") {
        // What Excel writes for a workbook saved with a password: a compound file
        // holding the stream "EncryptionInfo".
        QByteArray b("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        b.append(QByteArray(504, '\0'));
        b.append(QByteArray("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28));
        ScriviFile(p, b);
    } else {
        RichiediLibreOffice();
        const QByteArray xlsx = Costruttore::LeggiFile(F(QStringLiteral("Tesserati.xlsx")));
        if (nome == u"tagliato.xlsx")
            ScriviFile(p, xlsx.left(xlsx.size() / 2));
        else if (nome == u"malformato.xlsx")
            SostituisciVoce(
                F(QStringLiteral("Tesserati.xlsx")), p, QStringLiteral("xl/worksheets/sheet1.xml"),
                "<worksheet><sheetData><row r=\"1\"><c t=\"s\"><v>0</v></c></sheetData>");
        else if (nome == u"malformato.ods")
            SostituisciVoce(F(QStringLiteral("Tesserati.ods")), p, QStringLiteral("content.xml"),
                            "<office:document-content><table:table>");
        else if (nome == u"enorme.xlsx")
            ScriviFile(p, DichiaraDimensione(xlsx, "xl/worksheets/sheet1.xml", 0x7FFFFFFF));
    }

    Ambiente env;
    const QByteArray prima = Costruttore::Tesserato("ROSSI MARIO");
    Costruttore::ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")), {prima});
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4};
    try {
        Importa(env.cartella(), r, true);
        QFAIL("the file was not refused");
    } catch (const ErroreFile &e) {
        QCOMPARE(e.testo(), messaggio);
    }
    QCOMPARE(Archivio(env), prima);
    QVERIFY(!QFile::exists(env.Percorso(NomeCopiaArchivio)));
}

void TestImporta::codifiche_data()
{
    QTest::addColumn<QByteArray>("byte");
    const QByteArray nota = "\"dice \"\"ciao\"\"; poi, a capo\nva\"";
    QTest::newRow("utf-8 con BOM, punto e virgola")
        << QByteArray("\xEF\xBB\xBF"
                      "Cognome e nome;Data rilascio;Data scadenza;Note\r\n"
                      "NICCOL\xC3\x92 D'ANGELO;01/02/2025;31/12/2025;" +
                      nota + "\r\n");
    QTest::newRow("utf-8 senza BOM, virgola")
        << QByteArray("Cognome e nome,Data rilascio,Data scadenza,Note\n"
                      "NICCOL\xC3\x92 D'ANGELO,01/02/2025,31/12/2025," +
                      nota + "\n");
    QTest::newRow("windows-1252, tabulazione")
        << QByteArray("Cognome e nome\tData rilascio\tData scadenza\tNote\r\n"
                      "NICCOL\xD2 D'ANGELO\t1/2/25\t2025-12-31\t" +
                      nota);
}

// Encodings and separators are recognised; quotes keep separators and line breaks.
void TestImporta::codifiche()
{
    QFETCH(QByteArray, byte);
    Ambiente env;
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, byte);
    Richiesta r;
    r.percorso = p;
    r.colonne = Abbina(Righe(p, 0).value(0));
    QCOMPARE(r.colonne, (QList<int>{0, 3, 4, 27}));
    const Esito e = Importa(env.cartella(), r, true);
    QCOMPARE(e.importate, 1);
    TScheda s;
    const QByteArray a = Archivio(env);
    QCOMPARE(a.size(), DimensioneScheda);
    std::memcpy(s.byte.data(), a.constData(), DimensioneScheda);
    QCOMPARE(s.Leggi(Campo::Tesserato), QStringLiteral("NICCOL\u00D2 D'ANGELO"));
    QCOMPARE(s.Leggi(Campo::DataRil), QStringLiteral("01/02/2025"));
    QCOMPARE(s.Leggi(Campo::DataScade), QStringLiteral("31/12/2025"));
    QCOMPARE(s.Leggi(Campo::Note), QStringLiteral("dice \"ciao\"; poi, a capo\nva"));
}

// Each rule on its own row: skipped rows and warnings carry their row number and reason.
void TestImporta::righeScartateEAvvisi()
{
    Ambiente env;
    const QByteArray esistente = Costruttore::Record({{"Tesserato", "ESISTENTE SOCIO"},
                                                      {"NumTessera", "E1"},
                                                      {"DataRil", "01/01/2025"},
                                                      {"DataScade", "31/12/2025"},
                                                      {"Preavviso", "0"},
                                                      {"Annullata", "No"}});
    Costruttore::ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")), {esistente});
    QVERIFY(Immagine(40, 50, Qt::blue).save(env.Percorso(QStringLiteral("volto.png")), "PNG"));
    const QByteArray lunga(300, 'n');
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, "Cognome;Nome;Tessera n.;Data rilascio;Data scadenza;Codice fiscale;Note;Foto;"
                  "Giorni di preavviso\n"
                  "Rossi;Mario;T1;15/03/2024;14/03/2025;RSSMRA80A01H501U;ok;volto.png;15\n"
                  "Verdi;Anna;T2;15/03/2025;14/03/2024;;;;\n"
                  "Neri;Luca;T3;1/2/24;2025-02-01;XXXXXX;" +
                      lunga +
                      ";manca.jpg;\n"
                      "Esistente;Socio;E1;01/01/2025;31/12/2025;;;;\n"
                      ";;T5;01/01/2025;31/12/2025;;;;\n"
                      "Gialli;Rita;T6;31/02/2025;31/12/2025;;;;\n"
                      "Blu;Ada;T7;01/01/2025;31/12/2025;;;;mille\n");
    Richiesta r;
    r.percorso = p;
    r.colonne = Abbina(Righe(p, 0).value(0));
    QCOMPARE(r.colonne.value(7), int(Foto));

    // The check writes nothing.
    const Esito prova = Importa(env.cartella(), r, false);
    QCOMPARE(Archivio(env), esistente);
    QVERIFY(!QFile::exists(env.Percorso(NomeCopiaArchivio)));

    const Esito e = Importa(env.cartella(), r, true);
    QCOMPARE(e.importate, 2);
    QCOMPARE(e.scartate, 5);
    QCOMPARE(e.avvisate, 1);
    QCOMPARE(prova.Riepilogo(),
             QStringLiteral("Prova: 2 sarebbero importate, 5 sarebbero scartate, 1 con avvisi."));
    QCOMPARE(e.Riepilogo(), QStringLiteral("Righe: 2 importate, 5 scartate, 1 con avvisi."));
    QStringList linee;
    for (const Riga &riga : e.righe)
        linee << Esito::Linea(riga);
    QCOMPARE(linee.size(), 6);
    QVERIFY2(
        linee[0].startsWith(QStringLiteral("Riga 3: scartata - la data di scadenza (14/03/2024)")),
        qPrintable(linee[0]));
    QVERIFY(linee[1].startsWith(QStringLiteral("Riga 4: avviso - codice fiscale XXXXXX non valido; "
                                               "Note troppo lungo, tagliato a 250 caratteri")));
    QVERIFY(linee[1].contains(QStringLiteral("foto manca.jpg mancante")));
    QVERIFY(
        linee[2].startsWith(QStringLiteral("Riga 5: scartata - tessera n. E1 già presente nella "
                                           "scheda 1")));
    QCOMPARE(linee[3], QStringLiteral("Riga 6: scartata - manca il nome del tesserato"));
    QCOMPARE(linee[4],
             QStringLiteral("Riga 7: scartata - la data di rilascio 31/02/2025 non esiste"));
    QVERIFY(
        linee[5].startsWith(QStringLiteral("Riga 8: scartata - i giorni di preavviso (mille)")));

    const QByteArray a = Archivio(env);
    QCOMPARE(a.size(), 3 * DimensioneScheda);
    QCOMPARE(a.left(DimensioneScheda), esistente);
    QCOMPARE(Costruttore::LeggiFile(env.Percorso(NomeCopiaArchivio)), esistente);
    const QByteArray rossi = a.mid(DimensioneScheda, DimensioneScheda);
    const QByteArray neri = a.mid(2 * DimensioneScheda, DimensioneScheda);
    QCOMPARE(Costruttore::Campo(rossi, "Tesserato"), QByteArray("Rossi Mario"));
    QCOMPARE(Costruttore::Campo(rossi, "Preavviso"), QByteArray("15"));
    QCOMPARE(Costruttore::Campo(neri, "DataRil"), QByteArray("01/02/2024"));
    QCOMPARE(Costruttore::Campo(neri, "DataScade"), QByteArray("01/02/2025"));
    QCOMPARE(Costruttore::Campo(neri, "CodFisc"), QByteArray("XXXXXX"));
    QCOMPARE(Costruttore::Campo(neri, "Note"), lunga.left(250));
    // The photo of the new position, read as the photo load reads it.
    const QImage foto(env.Percorso(QStringLiteral("2.jpg")));
    QCOMPARE(foto.size(), QSize(40, 50));
    QVERIFY(qBlue(foto.pixel(20, 25)) > 200);
    QVERIFY(!QFile::exists(env.Percorso(QStringLiteral("3.jpg"))));

    // Ticked, the row already in the archive comes in too.
    Ambiente env2;
    Costruttore::ScriviArchivio(env2.Percorso(QStringLiteral("Tesserati.pro")), {esistente});
    QFile::copy(p, env2.Percorso(QStringLiteral("soci.csv")));
    r.percorso = env2.Percorso(QStringLiteral("soci.csv"));
    r.doppi = true;
    QCOMPARE(Importa(env2.cartella(), r, true).importate, 3);
}

// A disk that fills up part way leaves the archive exactly as it was.
void TestImporta::discoPieno()
{
    Ambiente env;
    QList<QByteArray> tre;
    for (const char *n : {"UNO", "DUE", "TRE"})
        tre.append(Costruttore::Tesserato(n));
    Costruttore::ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")), tre);
    const QByteArray prima = Archivio(env);
    QByteArray csv = "Cognome e nome;Data rilascio;Data scadenza\n";
    for (int i = 0; i < 400; ++i)
        csv += "SOCIO " + QByteArray::number(i) + ";01/01/2025;31/12/2025\n";
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, csv);
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4};
    {
        DiscoCheCede disco(rlim_t(prima.size()) + 20 * DimensioneScheda);
        QVERIFY_THROWS_EXCEPTION(ErroreFile, Importa(env.cartella(), r, true));
    }
    QCOMPARE(Archivio(env), prima);
    // Nothing half written is left beside it.
    QStringList file = QDir(env.cartella()).entryList(QDir::Files | QDir::Hidden);
    file.sort();
    QCOMPARE(file, (QStringList{"Tesserati.pro", "soci.csv"}));
}

// Cancelled part way: nothing written, nothing left behind.
void TestImporta::annullata()
{
    Ambiente env;
    QByteArray csv = "Cognome e nome;Data rilascio;Data scadenza\n";
    for (int i = 0; i < 1200; ++i)
        csv += "SOCIO " + QByteArray::number(i) + ";01/01/2025;31/12/2025\n";
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, csv);
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4};
    int chiamate = 0;
    const Esito e = Importa(env.cartella(), r, true, [&](qint64 righe, qint64) {
        ++chiamate;
        return righe < 1000;
    });
    QVERIFY(e.annullata);
    QCOMPARE(e.importate, 0); // nothing was written, so nothing counts as imported
    QCOMPARE(chiamate, 2);
    QCOMPARE(Archivio(env), QByteArray());
}

void TestImporta::fotoSoloDopoLaConferma_data()
{
    QTest::addColumn<bool>("discoPieno");
    QTest::newRow("annullata all'ultima chiamata") << false;
    QTest::newRow("disco pieno alla conferma") << true;
}

// Photos are written only once their records are in the archive: an import stopped at the
// last moment leaves no photo for a position without a record.
void TestImporta::fotoSoloDopoLaConferma()
{
    QFETCH(bool, discoPieno);
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")),
                                {Costruttore::Tesserato("UNO"), Costruttore::Tesserato("DUE")});
    const QByteArray prima = Archivio(env);
    QVERIFY(Immagine(40, 50, Qt::blue).save(env.Percorso(QStringLiteral("volto.png")), "PNG"));
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, "Cognome e nome;Data rilascio;Data scadenza;Foto\n"
                  "TRE;01/01/2025;31/12/2025;volto.png\n"
                  "QUATTRO;01/01/2025;31/12/2025;volto.png\n"
                  "CINQUE;01/01/2025;31/12/2025;volto.png\n");
    Richiesta r;
    r.percorso = p;
    r.colonne = {0, 3, 4, int(Foto)};
    int chiamate = 0;
    if (discoPieno) {
        // Room for a photo, none for the archive with the new records.
        DiscoCheCede disco(rlim_t(prima.size()) + DimensioneScheda);
        QVERIFY_THROWS_EXCEPTION(ErroreFile, Importa(env.cartella(), r, true));
    } else {
        const Esito e = Importa(env.cartella(), r, true, [&](qint64 righe, qint64) {
            ++chiamate;
            return righe < 3; // the last call, after every row was read
        });
        QVERIFY(e.annullata);
        QCOMPARE(chiamate, 1);
    }
    QCOMPARE(Archivio(env), prima);
    for (const char *foto : {"3.jpg", "4.jpg", "5.jpg"})
        QVERIFY2(!QFile::exists(env.Percorso(QString::fromLatin1(foto))), foto);
    QCOMPARE(QDir(env.cartella()).entryList({QStringLiteral("*.jpg")}, QDir::Files), QStringList());
}

// The user's way: the archive screen's button, the file dialog, the sheet, a changed
// match, the check, the import and the saved outcome.
void TestImporta::schermata()
{
    RichiediLibreOffice();
    Ambiente env;
    TfrmAnagrafica a;
    env->fileDaAprire.enqueue(F(QStringLiteral("speciale.xlsx")));
    const QString esito = env.Percorso(QStringLiteral("esito.csv"));
    env->fileDaSalvare.enqueue(esito);
    QStringList prova, avvio;
    int righeAnteprima = 0;
    QString campoCarica;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        auto *foglio = Controllo<QComboBox>(d, "cboFoglio");
        QCOMPARE(foglio->count(), 2);
        foglio->setCurrentIndex(1);
        righeAnteprima = Controllo<QTableWidget>(d, "grdAnteprima")->rowCount();
        auto *colonne = Controllo<QTableWidget>(d, "grdColonne");
        QCOMPARE(colonne->rowCount(), 7);
        auto *carica = qobject_cast<QComboBox *>(colonne->cellWidget(4, 1));
        QVERIFY(carica);
        campoCarica = carica->currentText();
        carica->setCurrentIndex(0); // "(nessuno)": the role is not imported
        auto *lista = Controllo<QListWidget>(d, "lstEsito");
        Controllo<QAbstractButton>(d, "cmdProva")->click();
        for (int i = 0; i < lista->count(); ++i)
            prova << lista->item(i)->text();
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
        for (int i = 0; i < lista->count(); ++i)
            avvio << lista->item(i)->text();
        Controllo<QAbstractButton>(d, "cmdSalvaEsito")->click();
        Controllo<QAbstractButton>(d, "cmdEsci")->click();
    };
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
    QCOMPARE(righeAnteprima, 5);
    QCOMPARE(campoCarica, QStringLiteral("Carica ricoperta"));
    QCOMPARE(prova.value(0),
             QStringLiteral("Prova: 3 sarebbero importate, 1 sarebbero scartate, 0 con avvisi."));
    QCOMPARE(avvio.value(0), QStringLiteral("Righe: 3 importate, 1 scartate, 0 con avvisi."));
    QCOMPARE(prova.mid(1), avvio.mid(1));
    QCOMPARE(avvio.size(), 2);
    QVERIFY(avvio[1].startsWith(QStringLiteral("Riga 5: scartata")));
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Importazione completata: 3 schede aggiunte all'archivio."));
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio); // OK alone
    const QByteArray arch = Archivio(env);
    QCOMPARE(arch.size(), 3 * DimensioneScheda);
    QCOMPARE(Costruttore::Campo(arch, "Carica"), QByteArray());
    QCOMPARE(Costruttore::Campo(arch, "NumTessera"), QByteArray("1234"));
    const QString salvato = QString::fromUtf8(Costruttore::LeggiFile(esito));
    QVERIFY2(salvato.contains(QStringLiteral("\"Righe: 3 importate, 1 scartate, 0 con avvisi.\"")),
             qPrintable(salvato));
    QVERIFY(salvato.contains(QStringLiteral("\r\n5;\"Bianchi Luca\";\"scartata\";")));
}

// cmdAnnulla while the rows are read: the archive stays as it was.
void TestImporta::schermataAnnulla()
{
    Ambiente env;
    QByteArray csv = "Cognome e nome;Data rilascio;Data scadenza\n";
    for (int i = 0; i < 1200; ++i)
        csv += "SOCIO " + QByteArray::number(i) + ";01/01/2025;31/12/2025\n";
    const QString p = env.Percorso(QStringLiteral("soci.csv"));
    ScriviFile(p, csv);
    env->fileDaAprire.enqueue(p);
    TfrmAnagrafica a;
    QString riepilogo;
    env->modale = [&](QDialog *d) {
        Controllo<QAbstractButton>(d, "cmdScegli")->click();
        auto *annulla = Controllo<QAbstractButton>(d, "cmdAnnulla");
        QVERIFY(!annulla->isEnabled());
        // Pressed while the import runs: the press waits in the event queue.
        QTimer::singleShot(0, annulla, [annulla] { annulla->click(); });
        Controllo<QAbstractButton>(d, "cmdAvvia")->click();
        riepilogo = Controllo<QListWidget>(d, "lstEsito")->item(0)->text();
    };
    Controllo<QAbstractButton>(&a, "cmdImporta")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmImporta")});
    // Nothing was imported, and the outcome says just that.
    QCOMPARE(riepilogo, QStringLiteral("Importazione annullata: nessuna riga importata, "
                                       "l'archivio non è stato modificato."));
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Importazione annullata: l'archivio non è stato modificato."));
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QCOMPARE(Archivio(env), QByteArray());
}

QTEST_MAIN(TestImporta)
#include "tst_importa.moc"
