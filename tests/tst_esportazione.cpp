// The export screen: the grid filled from the archive, the "Tesserati.xls" file and
// its questions, the hints and the help, and the file as LibreOffice Calc reads it.
#include "support/Supporto.h"

#include "lists/ExpAnagrafica.h"
#include "registry/Anagrafica.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace Costruttore;

namespace {

const QString Domanda1 = QStringLiteral(
    "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di "
    "schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString Domanda2 = QStringLiteral(
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file "
    "di Excel?");

// The grid's columns as the screen must show them: header, width, editable.
struct Attesa {
    const char *titolo;
    int larghezza;
    bool modificabile;
};
const Attesa ColonneAttese[26] = {
    {"N.", 60, false},
    {"Cognome e nome", 200, false},
    {"Carica ricoperta", 200, false},
    {"Tessera n.", 200, false},
    {"Data di rilascio", 200, true},
    {"Data di scadenza", 200, true},
    {"Data di nascita", 150, false},
    {"Comune di nascita", 250, false},
    {"Sesso", 60, false},
    {"Comune di residenza", 250, false},
    {"Via e numero civico", 250, true},
    {"Titolo di studio e altre qualifiche", 250, false},
    {"Tel. casa", 200, false},
    {"Tel. ufficio", 200, false},
    {"Tel. cellulare", 200, true},
    {"Recapito preferenziale", 250, false},
    {"Fax", 200, false},
    {"E-mail", 250, false},
    {"Codice Fiscale", 200, true},
    {"Carta di credito n.", 250, true},
    {"Scadenza", 200, true},
    {"Partita IVA", 200, false},
    {"IBAN", 250, true},
    {"Intestatario C/C", 250, true},
    {"Note", 300, true},
    {"Tessera annullata", 120, true},
};

void Risposte(Ambiente &env, std::initializer_list<bool> risposte)
{
    for (bool r : risposte)
        env->risposte.enqueue(r);
}

QString FileEsportato(Ambiente &env)
{
    return env.Percorso(QStringLiteral("Tesserati.xls"));
}

// Rows of the exported table, each a list of the raw bytes inside its cells.
QList<QList<QByteArray>> Righe(const QByteArray &file)
{
    QList<QList<QByteArray>> righe;
    static const QRegularExpression tr(QStringLiteral("<tr>(.*?)</tr>"));
    static const QRegularExpression td(QStringLiteral("<td[^>]*>(.*?)</td>"));
    const QString testo = QString::fromLatin1(file);
    for (auto r = tr.globalMatch(testo); r.hasNext();) {
        QList<QByteArray> celle;
        const QString riga = r.next().captured(1);
        for (auto c = td.globalMatch(riga); c.hasNext();)
            celle.append(c.next().captured(1).toLatin1());
        righe.append(celle);
    }
    return righe;
}

// A record with the given fields filled; the usual name and dates otherwise.
QByteArray Scheda(QMap<QByteArray, QByteArray> campi)
{
    for (auto [k, v] : {std::pair<QByteArray, QByteArray>{"Tesserato", "ROSSI MARIO"},
                        {"DataRil", "01/01/2025"},
                        {"DataScade", "31/12/2025"},
                        {"Preavviso", "0"},
                        {"Annullata", "No"}})
        if (!campi.contains(k))
            campi.insert(k, v);
    return Record(campi);
}

class Schermata {
public:
    explicit Schermata(Ambiente &env, const QList<QByteArray> &schede)
    {
        ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")), schede);
        w.show();
    }
    QTableView *griglia() { return Controllo<QTableView>(&w, "grdRecords"); }
    QAbstractItemModel *modello() { return griglia()->model(); }
    QString cella(int r, int c) { return modello()->index(r, c).data().toString(); }
    void esporta() { Controllo<QToolButton>(&w, "cmdEsporta")->click(); }

    TfrmExpAnagrafica w;
};

} // namespace

class TestEsportazione : public QObject {
    Q_OBJECT

private slots:
    void grigliaColonne();
    void treSchede();
    void migliaiaDiSchede();
    void celleUnite_data();
    void celleUnite();
    void archivioVuoto();
    void fileScrittoAMano();
    void nessunaRigaNelFile();
    void domande_data();
    void domande();
    void erroreScrittura();
    void archivioIlleggibile();
    void modificheNellaGriglia();
    void modificaLontana();
    void suggerimenti_data();
    void suggerimenti();
    void guidaEUscita();
    void dallArchivio();
    void letturaConLibreOffice();
};

void TestEsportazione::grigliaColonne()
{
    Ambiente env;
    Schermata s(env, {Tesserato("ROSSI")});
    QCOMPARE(s.w.windowTitle(),
             QStringLiteral(" Esporta archivio anagrafico dei tesserati in Microsoft Excel"));
    QTableView *g = s.griglia();
    QCOMPARE(s.modello()->columnCount(), 26);
    QVERIFY(g->alternatingRowColors());
    QCOMPARE(g->rowHeight(0), 21);
    for (int c = 0; c < 26; ++c) {
        const Attesa &a = ColonneAttese[c];
        QCOMPARE(s.modello()->headerData(c, Qt::Horizontal).toString(),
                 QString::fromUtf8(a.titolo));
        QCOMPARE(g->columnWidth(c), a.larghezza);
        QCOMPARE(bool(s.modello()->flags(s.modello()->index(0, c)) & Qt::ItemIsEditable),
                 a.modificabile);
    }
}

void TestEsportazione::treSchede()
{
    Ambiente env;
    Schermata s(env,
                {Scheda({{"Tesserato", "BIANCHI ANNA"}, {"Carica", "Presidente"}}),
                 Scheda({{"Tesserato", "NICCOL\xD2 VERDI"},
                         {"Annullata", "S\xEC"},
                         {"Note", "  quota versata  "}}),
                 Scheda({{"Tesserato", "ROSSI LUCA"}, {"Iban", "IT60X0542811101000000123456"}})});
    QCOMPARE(s.modello()->rowCount(), 3);
    QCOMPARE(s.cella(0, 0), QStringLiteral("1"));
    QCOMPARE(s.cella(2, 0), QStringLiteral("3"));
    QCOMPARE(s.cella(0, 2), QStringLiteral("Presidente"));
    QCOMPARE(s.cella(1, 1), QStringLiteral("NICCOLÒ VERDI"));
    QCOMPARE(s.cella(1, 24), QStringLiteral("quota versata"));
    QCOMPARE(s.cella(1, 25), QStringLiteral("Sì"));
    QCOMPARE(s.cella(2, 22), QStringLiteral("IT60X0542811101000000123456"));

    Risposte(env, {true, false});
    s.esporta();
    const auto righe = Righe(LeggiFile(FileEsportato(env)));
    QCOMPARE(righe.size(), 4);
    for (const auto &r : righe)
        QCOMPARE(r.size(), 25);
    QCOMPARE(righe[0][0], QByteArray("Cognome e nome"));
    QCOMPARE(righe[1][0], QByteArray("BIANCHI ANNA"));
    QCOMPARE(righe[2][0], QByteArray("NICCOL\xD2 VERDI"));
    QCOMPARE(righe[2][24], QByteArray("S\xEC"));
    QCOMPARE(righe[1][24], QByteArray("No"));
    QCOMPARE(righe[3][21], QByteArray("IT60X0542811101000000123456"));
}

// Thousands of rows with long cells: the grid's texts span several of its blocks, and every
// row still shows and exports its own record's cells.
void TestEsportazione::migliaiaDiSchede()
{
    constexpr int N = 8000;
    auto nota = [](int i) {
        return QByteArray::number(i).rightJustified(6, 'x') + QByteArray(200, 'n') +
               QByteArray("  a<b ") + QByteArray::number(i);
    };
    QList<QByteArray> schede;
    for (int i = 0; i < N; ++i)
        schede.append(Scheda({{"Tesserato", "SOCIO " + QByteArray::number(i)}, {"Note", nota(i)}}));
    Ambiente env;
    Schermata s(env, schede);
    QCOMPARE(s.modello()->rowCount(), N);
    for (int i : {0, 1, 3000, 3500, 4000, 6999, 7000, N - 1}) {
        QCOMPARE(s.cella(i, 0), QString::number(i + 1));
        QCOMPARE(s.cella(i, 1), QStringLiteral("SOCIO %1").arg(i));
        QCOMPARE(s.cella(i, 24), QString::fromLatin1(nota(i)));
    }

    Risposte(env, {true, false});
    s.esporta();
    const auto righe = Righe(LeggiFile(FileEsportato(env)));
    QCOMPARE(righe.size(), N + 1);
    for (int i = 0; i < N; ++i) {
        QCOMPARE(righe[i + 1][0], "SOCIO " + QByteArray::number(i));
        QCOMPARE(righe[i + 1][23], QByteArray(nota(i)).replace("  a<b", " &#32;a&lt;b"));
    }
}

void TestEsportazione::celleUnite_data()
{
    QTest::addColumn<QByteArray>("comuneNasc");
    QTest::addColumn<QByteArray>("provNasc");
    QTest::addColumn<QByteArray>("cap");
    QTest::addColumn<QByteArray>("comuneRes");
    QTest::addColumn<QByteArray>("provRes");
    QTest::addColumn<QString>("grigliaNasc");
    QTest::addColumn<QString>("grigliaRes");
    QTest::addColumn<QByteArray>("fileNasc");
    QTest::addColumn<QByteArray>("fileRes");

    QTest::newRow("complete") << QByteArray("Cant\xF9") << QByteArray("CO") << QByteArray("00100")
                              << QByteArray("Roma") << QByteArray("RM") << "Cantù CO"
                              << "00100 Roma RM" << QByteArray("Cant\xF9 CO")
                              << QByteArray("00100 Roma RM");
    QTest::newRow("empty provinces")
        << QByteArray("Roma") << QByteArray() << QByteArray("00100") << QByteArray("Roma")
        << QByteArray() << "Roma "
        << "00100 Roma " << QByteArray("Roma") << QByteArray("00100 Roma");
    QTest::newRow("no cap") << QByteArray() << QByteArray("RM") << QByteArray()
                            << QByteArray("Roma") << QByteArray("RM") << " RM"
                            << " Roma RM" << QByteArray("RM") << QByteArray("Roma RM");
    // Two blanks in a row survive the reader as a blank and a reference to one.
    QTest::newRow("no town") << QByteArray() << QByteArray() << QByteArray("00100") << QByteArray()
                             << QByteArray("RM") << " "
                             << "00100  RM" << QByteArray() << QByteArray("00100 &#32;RM");
    QTest::newRow("padded parts") << QByteArray("  Roma ") << QByteArray("RM")
                                  << QByteArray("00100") << QByteArray(" Milano  ")
                                  << QByteArray("MI") << "Roma RM"
                                  << "00100 Milano MI" << QByteArray("Roma RM")
                                  << QByteArray("00100 Milano MI");
}

void TestEsportazione::celleUnite()
{
    QFETCH(QByteArray, comuneNasc);
    QFETCH(QByteArray, provNasc);
    QFETCH(QByteArray, cap);
    QFETCH(QByteArray, comuneRes);
    QFETCH(QByteArray, provRes);
    Ambiente env;
    Schermata s(env, {Scheda({{"ComuneNasc", comuneNasc},
                              {"ProvNasc", provNasc},
                              {"CapRes", cap},
                              {"ComuneRes", comuneRes},
                              {"ProvRes", provRes}})});
    QTEST(s.cella(0, 7), "grigliaNasc");
    QTEST(s.cella(0, 9), "grigliaRes");
    Risposte(env, {true, false});
    s.esporta();
    const auto righe = Righe(LeggiFile(FileEsportato(env)));
    QCOMPARE(righe.size(), 2);
    QTEST(righe[1][6], "fileNasc");
    QTEST(righe[1][8], "fileRes");
}

void TestEsportazione::archivioVuoto()
{
    Ambiente env;
    Schermata s(env, {});
    QCOMPARE(s.modello()->rowCount(), 10);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 26; ++c)
            QVERIFY(s.cella(r, c).isEmpty());
    Risposte(env, {true, false});
    s.esporta();
    const auto righe = Righe(LeggiFile(FileEsportato(env)));
    QCOMPARE(righe.size(), 11);
    QCOMPARE(righe[0][24], QByteArray("Tessera annullata"));
    for (int r = 1; r < 11; ++r)
        QCOMPARE(righe[r], QList<QByteArray>(25));
}

// The whole file for one record, written out here from the file format.
void TestEsportazione::fileScrittoAMano()
{
    Ambiente env;
    Schermata s(env, {Record({{"Tesserato", "D'ANGELO NICCOL\xD2"},
                              {"Carica", "Socio \"onorario\""},
                              {"NumTessera", "A-17"},
                              {"DataRil", "01/02/2025"},
                              {"DataScade", "31/12/2025"},
                              {"DataNasc", "05/06/1970"},
                              {"ComuneNasc", "Forl\xEC"},
                              {"ProvNasc", "FC"},
                              {"Sesso", "M"},
                              {"ComuneRes", "Roma"},
                              {"ProvRes", "RM"},
                              {"CapRes", "00100"},
                              {"IndirizzoRes", "Via Po 1"},
                              {"Preavviso", "30"},
                              {"Email", "n@example.org"},
                              {"Note", "Tom & Jerry <soci> \x80 5"},
                              {"Annullata", "S\xEC"}})});
    Risposte(env, {true, false});
    s.esporta();

    QByteArray atteso =
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
        "xmlns=\"http://www.w3.org/TR/REC-html40\">"
        "<head>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
        "<style>.t{mso-number-format:\"\\@\";}</style>"
        "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
        "<x:Name>Riepilogo Anagrafica Tesserati</x:Name><x:WorksheetOptions><x:Selected/>"
        "<x:Panes><x:Pane><x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow></x:Pane>"
        "</x:Panes><x:ProtectContents>False</x:ProtectContents>"
        "<x:ProtectObjects>False</x:ProtectObjects>"
        "<x:ProtectScenarios>False</x:ProtectScenarios></x:WorksheetOptions>"
        "</x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook>"
        "</xml><![endif]--></head><body><table x:str><tr>";
    const std::pair<const char *, int> intestazioni[25] = {
        {"Cognome e nome", 250},
        {"Carica ricoperta", 250},
        {"Tessera n.", 250},
        {"Data di rilascio", 200},
        {"Data di scadenza", 200},
        {"Data di nascita", 200},
        {"Comune di nascita", 250},
        {"Sesso", 100},
        {"Comune di residenza", 250},
        {"Via e numero civico", 300},
        {"Titoli di studio e altre qualifiche", 300},
        {"Tel. casa", 200},
        {"Tel. ufficio", 200},
        {"Tel. cellulare", 200},
        {"Recapito preferenziale", 250},
        {"Fax", 200},
        {"E-mail", 250},
        {"Codice fiscale", 250},
        {"Carta di credito n.", 250},
        {"Scadenza", 200},
        {"Partita IVA", 250},
        {"IBAN", 280},
        {"Intestatario C/C", 250},
        {"Note", 350},
        {"Tessera annullata", 150}};
    for (const auto &[titolo, larghezza] : intestazioni)
        atteso += "<td style=\"text-align: left; font-weight: bold;\" width=" +
                  QByteArray::number(larghezza) + ">" + titolo + "</td>";
    atteso += "</tr><tr>";
    const QByteArray celle[25] = {"D'ANGELO NICCOL\xD2",
                                  "Socio \"onorario\"",
                                  "A-17",
                                  "01/02/2025",
                                  "31/12/2025",
                                  "05/06/1970",
                                  "Forl\xEC FC",
                                  "M",
                                  "00100 Roma RM",
                                  "Via Po 1",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "n@example.org",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "",
                                  "Tom &amp; Jerry &lt;soci&gt; \x80 5",
                                  "S\xEC"};
    // The card number and the dates would be read as values: they are marked as text.
    for (int i = 0; i < 25; ++i)
        atteso += QByteArray(i >= 2 && i <= 5 ? "<td style=\"text-align: left;\" class=t "
                                                "sdnum=\"1040;0;@\">"
                                              : "<td style=\"text-align: left;\">") +
                  celle[i] + "</td>";
    atteso += "</tr></table></body></html>";

    QCOMPARE(LeggiFile(FileEsportato(env)), atteso);
}

void TestEsportazione::nessunaRigaNelFile()
{
    Ambiente env;
    Schermata s(env, {Scheda({{"Note", "prima riga\r\nseconda\triga"}}), Tesserato("BIANCHI")});
    Risposte(env, {true, false});
    s.esporta();
    const QByteArray file = LeggiFile(FileEsportato(env));
    QVERIFY(!file.isEmpty());
    QVERIFY(!file.contains('\r'));
    QVERIFY(!file.contains('\n'));
    QVERIFY(!file.endsWith('\n'));
    QCOMPARE(Righe(file)[1][23], QByteArray("prima riga&#13;&#10;seconda&#9;riga"));
}

void TestEsportazione::domande_data()
{
    QTest::addColumn<QList<bool>>("risposte");
    QTest::addColumn<bool>("scritto");
    QTest::addColumn<bool>("aperto");
    QTest::newRow("no to export") << QList<bool>{false} << false << false;
    QTest::newRow("no to open") << QList<bool>{true, false} << true << false;
    QTest::newRow("yes to open") << QList<bool>{true, true} << true << true;
}

void TestEsportazione::domande()
{
    QFETCH(QList<bool>, risposte);
    QFETCH(bool, scritto);
    QFETCH(bool, aperto);
    Ambiente env;
    Schermata s(env, {Tesserato("ROSSI")});
    for (bool r : risposte)
        env->risposte.enqueue(r);
    s.esporta();

    QCOMPARE(QFile::exists(FileEsportato(env)), scritto);
    QCOMPARE(env->messaggi.size(), risposte.size());
    QCOMPARE(env->messaggi[0].forma, Piattaforma::Forma::Domanda);
    QCOMPARE(env->messaggi[0].testo, Domanda1);
    if (scritto) {
        QCOMPARE(env->messaggi[1].forma, Piattaforma::Forma::Domanda);
        QCOMPARE(env->messaggi[1].testo, Domanda2);
    }
    const QStringList attesi{u'"' + QDir::toNativeSeparators(FileEsportato(env)) + u'"'};
    QCOMPARE(env->aperti, aperto ? attesi : QStringList());
}

void TestEsportazione::erroreScrittura()
{
    Ambiente env;
    Schermata s(env, {Tesserato("ROSSI")});
    QVERIFY(QDir().mkdir(FileEsportato(env)));
    Risposte(env, {true, true});
    s.esporta();
    QCOMPARE(env->messaggi.size(), 2);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                            "Accertarsi che il file di Excel non sia già aperto."));
    QVERIFY(env->aperti.isEmpty());
    QVERIFY(QFileInfo(FileEsportato(env)).isDir());
}

void TestEsportazione::archivioIlleggibile()
{
    // The grid reads its rows when shown and the file is written from the archive: an
    // archive that can no longer be read gives the export's message and keeps the earlier
    // file, never a file of empty rows reported as exported.
    Ambiente env;
    Schermata s(env, {Tesserato("ROSSI"), Tesserato("BIANCHI")});
    QFile vecchio(FileEsportato(env));
    QVERIFY(vecchio.open(QIODevice::WriteOnly));
    vecchio.write("esportazione precedente");
    vecchio.close();
    QVERIFY(QFile::remove(env.Percorso(QStringLiteral("Tesserati.pro"))));
    QVERIFY(QDir().mkdir(env.Percorso(QStringLiteral("Tesserati.pro"))));
    Risposte(env, {true, true});
    s.esporta();
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Messaggio);
    QVERIFY(env->UltimoMessaggio().startsWith(
        QStringLiteral("Attenzione: il sistema non permette di esportare")));
    QVERIFY(env->aperti.isEmpty());
    QCOMPARE(LeggiFile(FileEsportato(env)), QByteArray("esportazione precedente"));
}

void TestEsportazione::modificheNellaGriglia()
{
    Ambiente env;
    Schermata s(env, {Scheda({{"Note", "vecchia"}})});
    QTableView *g = s.griglia();

    // An edited note, confirmed with Enter.
    g->setCurrentIndex(s.modello()->index(0, 24));
    QTest::keyClick(g, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(g->indexWidget(g->currentIndex()));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("  nuova & "));
    editor->insert(QStringLiteral("più lunga ")); // an accented letter from the input method
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!g->indexWidget(s.modello()->index(0, 24)));
    QCOMPARE(s.cella(0, 24), QStringLiteral("  nuova & più lunga "));

    // A read-only cell opens no editor.
    g->setCurrentIndex(s.modello()->index(0, 1));
    QTest::keyClick(g, Qt::Key_F2);
    QVERIFY(!g->indexWidget(g->currentIndex()));

    // A cell still being typed into when the export starts.
    g->setCurrentIndex(s.modello()->index(0, 14));
    QTest::keyClick(g, Qt::Key_F2);
    editor = qobject_cast<QLineEdit *>(g->indexWidget(g->currentIndex()));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("333 1234567"));

    Risposte(env, {true, false});
    s.esporta();
    const auto righe = Righe(LeggiFile(FileEsportato(env)));
    QCOMPARE(righe[1][23], QByteArray("nuova &amp; pi\xF9 lunga"));
    QCOMPARE(righe[1][13], QByteArray("333 1234567"));
    QCOMPARE(righe[1][0], QByteArray("ROSSI MARIO"));
    // Nothing goes back to the archive.
    const QByteArray archivio = LeggiFile(env.Percorso(QStringLiteral("Tesserati.pro")));
    QCOMPARE(Costruttore::Campo(archivio.left(2764), "Note"), QByteArray("vecchia"));
}

// An edit far down the grid, scrolled away from through thousands of rows and back: the
// grid still shows it and the file holds it in its row, the rows around as the archive.
void TestEsportazione::modificaLontana()
{
    constexpr int N = 6000, Riga = 5000;
    QList<QByteArray> schede;
    for (int i = 0; i < N; ++i)
        schede.append(Scheda({{"Tesserato", "SOCIO " + QByteArray::number(i)},
                              {"Note", "nota " + QByteArray::number(i)}}));
    Ambiente env;
    Schermata s(env, schede);
    QTableView *g = s.griglia();
    const QModelIndex nota = s.modello()->index(Riga, 24);
    QVERIFY(ScriviCella(g, nota, QStringLiteral("cambiata")));

    for (int r = 0; r < N; r += 97) {
        g->scrollTo(s.modello()->index(r, 1));
        QCOMPARE(s.cella(r, 0), QString::number(r + 1));
        QCOMPARE(s.cella(r, 1), QStringLiteral("SOCIO %1").arg(r));
    }
    g->scrollTo(nota);
    QCOMPARE(s.cella(Riga, 24), QStringLiteral("cambiata"));
    QCOMPARE(s.cella(Riga, 1), QStringLiteral("SOCIO %1").arg(Riga));
    QCOMPARE(s.cella(Riga + 1, 24), QStringLiteral("nota %1").arg(Riga + 1));

    Risposte(env, {true, false});
    s.esporta();
    const auto righe = Righe(LeggiFile(FileEsportato(env)));
    QCOMPARE(righe.size(), N + 1);
    for (int r = 0; r < N; ++r) {
        QCOMPARE(righe[r + 1][0], "SOCIO " + QByteArray::number(r));
        QCOMPARE(righe[r + 1][23],
                 r == Riga ? QByteArray("cambiata") : "nota " + QByteArray::number(r));
    }
}

void TestEsportazione::suggerimenti_data()
{
    QTest::addColumn<QString>("controllo");
    QTest::addColumn<QString>("testo");
    QTest::newRow("export") << "cmdEsporta"
                            << QStringLiteral("Esporta l'archivio in formato Microsoft Excel.");
    QTest::newRow("help") << "cmdGuida"
                          << QStringLiteral("Visualizza la pagina della guida sensibile al "
                                            "contesto.");
    QTest::newRow("exit") << "cmdEsci" << QStringLiteral("Esci da questo ambiente di lavoro.");
}

void TestEsportazione::suggerimenti()
{
    QFETCH(QString, controllo);
    QFETCH(QString, testo);
    Ambiente env;
    Schermata s(env, {});
    QVERIFY(QTest::qWaitForWindowExposed(&s.w));
    auto *info = Controllo<QLabel>(&s.w, "panInfo");
    QCOMPARE(info->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));

    auto *pulsante = s.w.findChild<QWidget *>(controllo);
    QVERIFY(pulsante);
    QTest::mouseMove(pulsante);
    QTRY_COMPARE(info->text(), testo);
    // Back over the background, and over the grid, the line empties.
    for (const char *sfondo : {"shpSfondo", "grdRecords"}) {
        QTest::mouseMove(pulsante);
        QTRY_COMPARE(info->text(), testo);
        QWidget *area = Controllo<QWidget>(&s.w, sfondo);
        if (auto *g = qobject_cast<QTableView *>(area))
            area = g->viewport();
        QTest::mouseMove(area, {3, 3});
        QTRY_VERIFY(info->text().isEmpty());
    }
}

void TestEsportazione::guidaEUscita()
{
    Ambiente env;
    Schermata s(env, {});
    QString titolo, testo;
    env->modale = [&](QDialog *d) {
        titolo = Controllo<QLabel>(d, "lblTitolo")->text();
        testo = Controllo<QPlainTextEdit>(d, "txtGuida")->toPlainText();
    };
    Controllo<QToolButton>(&s.w, "cmdGuida")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmGuida")});
    QCOMPARE(titolo,
             QStringLiteral("Esportazione archivio anagrafico dei tesserati in Microsoft Excel."));
    QStringList paragrafi;
    for (const QString &r : testo.split(QRegularExpression(QStringLiteral("[\r\n\u2029]+"))))
        if (!r.trimmed().isEmpty())
            paragrafi.append(r);
    QCOMPARE(paragrafi.size(), 3);
    QVERIFY(paragrafi[0].contains(QStringLiteral("Excel")));

    QVERIFY(s.w.isVisible());
    Controllo<QToolButton>(&s.w, "cmdEsci")->click();
    QVERIFY(!s.w.isVisible());
}

// The way users get there: the archive screen's Excel button opens the screen modally.
void TestEsportazione::dallArchivio()
{
    Ambiente env;
    ScriviArchivio(env.Percorso(QStringLiteral("Tesserati.pro")),
                   {Tesserato("ROSSI"), Tesserato("VERDI")});
    TfrmAnagrafica anagrafica;
    anagrafica.show();
    int righe = -1;
    env->modale = [&](QDialog *d) {
        QCOMPARE(d->parentWidget(), &anagrafica);
        righe = Controllo<QTableView>(d, "grdRecords")->model()->rowCount();
        Controllo<QToolButton>(d, "cmdEsporta")->click();
        Controllo<QToolButton>(d, "cmdEsci")->click();
    };
    Risposte(env, {true, true});
    Controllo<QAbstractButton>(&anagrafica, "cmdExcel")->click();
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmExpAnagrafica")});
    QCOMPARE(righe, 2);
    QCOMPARE(Righe(LeggiFile(FileEsportato(env))).size(), 3);
    QCOMPARE(env->aperti.size(), 1);
}

namespace {
// Cells of a CSV text written by LibreOffice: comma-separated, double-quoted texts.
QList<QStringList> LeggiCsv(const QString &csv)
{
    QList<QStringList> righe;
    QStringList riga;
    QString cella;
    bool virgolette = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv.at(i);
        if (virgolette) {
            if (c == u'"' && i + 1 < csv.size() && csv.at(i + 1) == u'"')
                cella += csv.at(++i);
            else if (c == u'"')
                virgolette = false;
            else
                cella += c;
        } else if (c == u'"') {
            virgolette = true;
        } else if (c == u',') {
            riga.append(cella);
            cella.clear();
        } else if (c == u'\n') {
            riga.append(cella);
            righe.append(riga);
            riga.clear();
            cella.clear();
        } else if (c != u'\r') {
            cella += c;
        }
    }
    if (!cella.isEmpty() || !riga.isEmpty()) {
        riga.append(cella);
        righe.append(riga);
    }
    return righe;
}
} // namespace

// The file as our users open it: LibreOffice Calc converts it to CSV and every cell
// must read as the archive holds it.
void TestEsportazione::letturaConLibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice Calc (soffice) is not installed: run scripts/prepara.sh");

    Ambiente env;
    const QList<QMap<QByteArray, QByteArray>> schede = {
        {{"Tesserato", "D'ANGELO NICCOL\xD2"},
         {"Carica", "Socio \"onorario\""},
         {"DataRil", "01/02/2025"},
         {"DataScade", "31/12/2025"},
         {"ComuneNasc", "Cant\xF9"},
         {"ProvNasc", "CO"},
         {"IndirizzoRes", "Via  dei  Mille, 3"},
         {"Titoli", "Laurea in Lettere & Filosofia"},
         {"Email", "n.dangelo@example.org"},
         {"Note", "a<b, c>d & \"e\"; prezzo 5 \x80"},
         {"Annullata", "S\xEC"}},
        {{"Tesserato", "BIANCHI ANNA MARIA"},
         {"Carica", "Presidente"},
         {"DataRil", "15/03/2024"},
         {"DataScade", "14/03/2026"},
         {"ComuneRes", "Roma"},
         {"CapRes", "00100"},
         {"Note", "<b>non grassetto</b> &amp;"},
         {"Annullata", "No"}},
        // Texts that a spreadsheet would take for numbers, dates, formulas or truth values.
        {{"Tesserato", "VERDI LUCA"},
         {"Carica", "+39"},
         {"NumTessera", "00184"},
         {"DataRil", "01/02/2025"},
         {"DataScade", "31/12/2025"},
         {"DataNasc", "05/06/1970"},
         {"CapRes", "00184"},
         {"IndirizzoRes", "-5"},
         {"Titoli", "@casa"},
         {"TelCasa", "0612345678"},
         {"TelUff", "1.000"},
         {"TelCel", "1,5"},
         {"Recapito", "12:30"},
         {"Fax", "1e5"},
         {"Email", "12%"},
         {"CodFisc", "VERO"},
         {"Carta", "4111111111111111"},
         {"ScadeCarta", "12/27"},
         {"PartitaIva", "01234567890"},
         {"Iban", "=SOMMA(1;2)"},
         {"Intestatario", "TRUE"},
         {"Note", "=1+1"},
         {"Annullata", "No"}},
        {{"Tesserato", "-"},       {"Carica", "5 gen 2025"},
         {"NumTessera", "1/2"},    {"DataRil", "2025-01-02"},
         {"DataScade", "Jan 5"},   {"Titoli", "3 1/2"},
         {"TelCasa", "(5)"},       {"TelUff", "1 000"},
         {"TelCel", "$5"},         {"Recapito", "10:30 PM"},
         {"Fax", "1.5E-3"},        {"Email", "+"},
         {"CodFisc", "FALSE"},     {"Carta", "4111 1111 1111 1111"},
         {"ScadeCarta", "Jan-25"}, {"PartitaIva", "1E5"},
         {"Iban", "12.5.2020"},    {"Intestatario", "=A1"},
         {"Note", "\x80 5"},       {"Annullata", "S\xEC"}},
    };
    QList<QByteArray> record;
    for (const auto &s : schede)
        record.append(Scheda(s));
    Schermata s(env, record);
    Risposte(env, {true, false});
    s.esporta();
    QVERIFY(QFile::exists(FileEsportato(env)));

    const QString uscita = env.Percorso(QStringLiteral("csv"));
    QProcess lo;
    Soffice(lo, soffice, env.Percorso(QStringLiteral("profilo")),
            {QStringLiteral("--convert-to"),
             QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
             QStringLiteral("--outdir"), uscita, FileEsportato(env)});
    if (QTest::currentTestFailed())
        return;
    QFile csv(QDir(uscita).filePath(QStringLiteral("Tesserati.csv")));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(QString::fromLocal8Bit(lo.readAll())));
    const QList<QStringList> righe = LeggiCsv(QString::fromUtf8(csv.readAll()));

    QCOMPARE(righe.size(), 1 + schede.size());
    QCOMPARE(righe[0].value(0), QStringLiteral("Cognome e nome"));
    QCOMPARE(righe[0].value(24), QStringLiteral("Tessera annullata"));
    // Expected cells straight from the archive's fields.
    const char *campi[25] = {"Tesserato",  "Carica",  "NumTessera",   "DataRil", "DataScade",
                             "DataNasc",   nullptr,   "Sesso",        nullptr,   "IndirizzoRes",
                             "Titoli",     "TelCasa", "TelUff",       "TelCel",  "Recapito",
                             "Fax",        "Email",   "CodFisc",      "Carta",   "ScadeCarta",
                             "PartitaIva", "Iban",    "Intestatario", "Note",    "Annullata"};
    auto testo = [](const QMap<QByteArray, QByteArray> &m, const char *k) {
        const QByteArray b = m.value(k);
        return QString::fromLatin1(b).replace(QChar(0x80), QChar(0x20AC));
    };
    for (int r = 0; r < schede.size(); ++r) {
        const auto &m = schede[r];
        for (int c = 0; c < 25; ++c) {
            QString atteso;
            if (c == 6)
                atteso = (testo(m, "ComuneNasc") + u' ' + testo(m, "ProvNasc")).trimmed();
            else if (c == 8)
                atteso =
                    (testo(m, "CapRes") + u' ' + testo(m, "ComuneRes") + u' ' + testo(m, "ProvRes"))
                        .trimmed();
            else
                atteso = testo(m, campi[c]);
            QCOMPARE(righe[r + 1].value(c), atteso);
        }
    }
}

QTEST_MAIN(TestEsportazione)
#include "tst_esportazione.moc"
