// The statistics: the counts on a small archive as a table of cases on both backends (the
// folder counts in one pass, the server with GROUP BY), the fee register's figures, the
// fiscal code's date of birth, and the screen: charts drawn and saved, numbers exported,
// the page printed, a bar traced back to its members, every control inside 1280 x 720.
#include "support/ServerProva.h"
#include "support/Stampati.h"
#include "support/Supporto.h"

#include "archive/Testo.h"
#include "lists/PannelloElenco.h"
#include "lists/TrovaAnagrafica.h"
#include "shell/Avvio.h"
#include "stats/Statistiche.h"
#include "stats/core/TabelleStatistiche.h"
#include "storage/ConnessioneServer.h"
#include "storage/DepositoFile.h"
#include "storage/DepositoServer.h"
#include "widgets/Sottofondo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

using namespace Statistiche;

namespace {

const QString Password = QStringLiteral("segreta-stat");
const QString Utente = QStringLiteral("stat_ugo");

struct Socio {
    const char *nome, *sesso, *nascita, *codfisc, *scade, *comune, *prov, *carica;
    bool annullata = false;
};

// Each member makes a case tell something; today is 11/12/2026 unless a case says.
const QList<Socio> &Soci()
{
    static const QList<Socio> soci = {
        // born on a leap day: 17 on 28/02/2018, 18 on 01/03/2018; expiring within 30 days
        {"Rossi", "M", "29/02/2000", "", "31/12/2026", "San Donato", "mi", "Socio"},
        // expired yesterday; the town with two blanks inside
        {"Bianchi", "F", "15/06/1960", "", "10/12/2026", "san  donato", "MI", "socio"},
        // age and sex from the fiscal code (a woman born 15/05/1992); the town without blanks
        {"Verdi", "", "", "VRDLCU92E55H501K", "05/01/2027", "SANDONATO", "Mi", "Consigliere"},
        // a date of birth that does not exist, a code whose date does not exist either,
        // and an expiry that is no date
        {"Gialli", "M", "31/02/1990", "NRIPLA09B69L219U", "abc", "Roma", "RM", "Socio"},
        // born in the future: unknown age
        {"Blu", "F", "01/01/2030", "", "15/03/2027", "Roma", "RM", ""},
        // cancelled
        {"Neri", "M", "01/01/1950", "", "01/06/2027", "Roma", "RM", "Socio", true},
        // a code of the last century (30 cannot be 2030); expiring on day 31: not within 30
        {"Viola", "", "", "XXXYYY30R01A000G", "10/01/2027", "Milano", "MI", "Socio"},
        // a code in lower case with letters for digits... of a leap day (29/02/2008)
        {"Rosa", "", "", "nripla08b69l219t", "09/01/2027", "milano", "mi", "Socio"},
        // no sex given and no code: age known, sex unknown; no town; expiring today
        {"Grigi", "X", "10/10/1980", "", "11/12/2026", "", "", "Socio"},
        // expired earlier this year
        {"Marroni", "M", "10/10/1970", "", "31/01/2026", "Torino", "TO", "Socio"},
    };
    return soci;
}

TScheda Scheda(const Socio &s)
{
    TScheda r;
    r.Scrivi(Campo::Tesserato, QString::fromLatin1(s.nome));
    r.Scrivi(Campo::NumTessera, QStringLiteral("T-%1").arg(QString::fromLatin1(s.nome)));
    r.Scrivi(Campo::Sesso, QString::fromLatin1(s.sesso));
    r.Scrivi(Campo::DataNasc, QString::fromLatin1(s.nascita));
    r.Scrivi(Campo::CodFisc, QString::fromLatin1(s.codfisc));
    r.Scrivi(Campo::DataScade, QString::fromLatin1(s.scade));
    r.Scrivi(Campo::ComuneRes, QString::fromLatin1(s.comune));
    r.Scrivi(Campo::ProvRes, QString::fromLatin1(s.prov));
    r.Scrivi(Campo::Carica, QString::fromLatin1(s.carica));
    r.Scrivi(Campo::Annullata, s.annullata ? AnnullataSi : AnnullataNo);
    return r;
}

// The fixture in a new program folder's archive: the folder, or a new server database.
std::unique_ptr<TDeposito> Archivio(const Ambiente &env, bool server)
{
    if (server) {
        const QString db = ServerProva::NuovoDatabase();
        ServerProva::CreaUtente(Utente, Password);
        const TParametriServer p = ServerProva::Parametri(db, Utente);
        ConnessioneServer::ScriviParametri(env.cartella(), p, true);
        ConnessioneServer::Imposta(p, Password);
    }
    std::unique_ptr<TDeposito> d = ApriDeposito(env.cartella());
    for (const Socio &s : Soci())
        d->AccodaScheda(Scheda(s));
    return d;
}

QString Serie(const std::array<int, FasceEta> &a)
{
    QStringList r;
    for (int v : a)
        r << QString::number(v);
    return r.join(u',');
}

QString Voci(const std::vector<TVoce> &voci)
{
    QStringList r;
    for (const TVoce &v : voci)
        r << QStringLiteral("%1:%2").arg(v.nome).arg(v.quanti);
    return r.join(u',');
}

// Every figure of the records as "key=value", to compare with the case's keys.
QMap<QString, QString> Figure(const TStatistiche &s)
{
    const TConteggiSchede &c = s.schede;
    QMap<QString, QString> r = {
        {"schede", QString::number(c.schede)},
        {"attive", QString::number(c.attive)},
        {"annullate", QString::number(c.annullate)},
        {"scadute", QString::number(c.scadute)},
        {"inScadenza", QString::number(c.inScadenza)},
        {"scadenzeNonValide", QString::number(c.scadenzeNonValide)},
        {"nascitaNonValide", QString::number(c.nascitaNonValide)},
        {"etaIgnota", QString::number(c.etaIgnota)},
        {"sessoIgnoto", QString::number(c.sessoIgnoto)},
        {"M", Serie(c.maschi)},
        {"F", Serie(c.femmine)},
        {"comuni", Voci(s.comuni)},
        {"province", Voci(s.province)},
        {"cariche", Voci(s.cariche)},
    };
    QStringList mesi;
    for (size_t i = 0; i < s.scadenze.valori.size(); ++i)
        if (s.scadenze.valori[i] > 0)
            mesi << QStringLiteral("%1:%2")
                        .arg(NomeMese(s.scadenze.primo + int(i)))
                        .arg(s.scadenze.valori[i]);
    r.insert(QStringLiteral("mesi"), mesi.join(u','));
    return r;
}

const QDate Oggi(2026, 12, 11);

} // namespace

class TestStatistiche : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void conteggi_data();
    void conteggi();
    void codiceFiscale_data();
    void codiceFiscale();
    void data_data();
    void data();
    void registro();
    void grafico();
    void barra();
    void esportaStampa();
    void filtri();
    void avvio();
};

void TestStatistiche::init()
{
    ConnessioneServer::Imposta(TParametriServer(), QString());
}

void TestStatistiche::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(Sottofondo::InCorso(), 0, 10000);
    ConnessioneServer::Imposta(TParametriServer(), QString());
}

void TestStatistiche::conteggi_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<QString>("periodo"); // "dal-al", or empty
    QTest::addColumn<bool>("annullate");
    QTest::addColumn<QString>("attese"); // key=value; ...
    struct Caso {
        const char *nome;
        QDate oggi;
        const char *periodo;
        bool annullate;
        const char *attese;
    };
    const Caso casi[] = {
        {"cancelled out", Oggi, "", false,
         "schede=9;attive=6;annullate=1;scadute=2;inScadenza=4;scadenzeNonValide=1;"
         "nascitaNonValide=2;etaIgnota=2;sessoIgnoto=1;M=0,1,0,1,0,1;F=0,1,1,0,1,0;"
         "comuni=SAN DONATO:3,MILANO:2,ROMA:2,TORINO:1;province=MI:5,RM:2,TO:1;"
         "cariche=SOCIO:7,:1,CONSIGLIERE:1;"
         "mesi=gen 2026:1,dic 2026:3,gen 2027:3,mar 2027:1"},
        {"cancelled in", Oggi, "", true,
         "schede=10;attive=6;annullate=1;scadute=2;scadenzeNonValide=1;M=0,1,0,1,0,2;"
         "comuni=ROMA:3,SAN DONATO:3,MILANO:2,TORINO:1;province=MI:5,RM:3,TO:1;"
         "cariche=SOCIO:8,:1,CONSIGLIERE:1;"
         "mesi=gen 2026:1,dic 2026:3,gen 2027:3,mar 2027:1,giu 2027:1"},
        {"period", Oggi, "01/12/2026-31/01/2027", false,
         "schede=6;attive=5;annullate=0;scadute=1;inScadenza=4;scadenzeNonValide=1;"
         "nascitaNonValide=0;etaIgnota=0;sessoIgnoto=1;M=0,1,0,0,0,1;F=0,1,1,0,1,0;"
         "comuni=SAN DONATO:3,MILANO:2;mesi=dic 2026:3,gen 2027:3"},
        {"period and cancelled", Oggi, "01/06/2027-30/06/2027", true,
         "schede=1;annullate=1;attive=0;M=0,0,0,0,0,1;comuni=ROMA:1"},
        // the day before the 18th birthday of one born on 29 February, and the day after
        {"leap day, 28 February", QDate(2018, 2, 28), "", false, "M=1,0,0,1,0,1"},
        {"leap day, 1 March", QDate(2018, 3, 1), "", false, "M=0,1,0,1,0,1"},
    };
    for (bool server : {false, true})
        for (const Caso &c : casi)
            QTest::addRow("%s %s", server ? "server" : "folder", c.nome)
                << server << c.oggi << QString::fromLatin1(c.periodo) << c.annullate
                << QString::fromLatin1(c.attese);
}

void TestStatistiche::conteggi()
{
    QFETCH(bool, server);
    QFETCH(QDate, oggi);
    QFETCH(QString, periodo);
    QFETCH(bool, annullate);
    QFETCH(QString, attese);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const std::unique_ptr<TDeposito> d = Archivio(env, server);
    QCOMPARE(server, dynamic_cast<TDepositoServer *>(d.get()) != nullptr);
    TFiltroStatistiche f;
    f.oggi = oggi;
    f.annullate = annullate;
    if (!periodo.isEmpty()) {
        f.periodo = true;
        f.dal = Testo::ConvertiData(periodo.section(u'-', 0, 0));
        f.al = Testo::ConvertiData(periodo.section(u'-', 1, 1));
    }
    QMap<QString, QString> figure;
    try {
        figure = Figure(Calcola(*d, f));
    } catch (const ErroreFile &e) {
        QFAIL(qPrintable(e.testo()));
    }
    for (const QString &coppia : attese.split(u';')) {
        const QString chiave = coppia.section(u'=', 0, 0);
        QVERIFY2(figure.contains(chiave), qPrintable(chiave));
        QCOMPARE(chiave + u'=' + figure.value(chiave), coppia);
    }
}

void TestStatistiche::codiceFiscale_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QDate>("nascita"); // invalid: not a valid code
    QTest::addColumn<bool>("femmina");
    QTest::newRow("man") << "RSSMRA85T10A562S" << QDate(1985, 12, 10) << false;
    QTest::newRow("woman, day + 40") << "VRDLCU92E55H501K" << QDate(1992, 5, 15) << true;
    QTest::newRow("lower case, letters for digits, leap day")
        << "nripla08b69l219t" << QDate(2008, 2, 29) << true;
    QTest::newRow("letters for the year's digits")
        << "BNCGNN0LA41F205T" << QDate(2000, 1, 1) << true;
    QTest::newRow("a year later than today: last century")
        << "XXXYYY30R01A000G" << QDate(1930, 10, 1) << false;
    QTest::newRow("29 February of no leap year") << "NRIPLA09B69L219U" << QDate() << false;
    QTest::newRow("wrong check character") << "RSSMRA85T10A562T" << QDate() << false;
    QTest::newRow("15 characters") << "RSSMRA85T10A562" << QDate() << false;
    QTest::newRow("not a month letter") << "RSSMRA85Z10A562J" << QDate() << false;
}

void TestStatistiche::codiceFiscale()
{
    QFETCH(QString, codice);
    QFETCH(QDate, nascita);
    QFETCH(bool, femmina);
    const auto cf = DaCodFisc(codice, Oggi);
    QCOMPARE(cf.has_value(), nascita.isValid());
    if (cf) {
        QCOMPARE(cf->nascita, nascita);
        QCOMPARE(cf->femmina, femmina);
    }
}

// The count reads an expiry from the record's bytes as the program reads a date's text.
void TestStatistiche::data_data()
{
    QTest::addColumn<QString>("testo");
    for (const char *t :
         {"11/12/2026", "1/2/2026", " 01/02/2026", "29/02/2024", "29/02/2025", "31/04/2026",
          "01/13/2026", "00/01/2026", "01/01/0000", "01/01/26", "001/01/2026", "1//2026",
          "01/01/2026/", "01-01-2026", "", "abc", "1/1/99999", "à/01/2026"})
        QTest::newRow(t) << QString::fromLatin1(t);
}

void TestStatistiche::data()
{
    QFETCH(QString, testo);
    TScheda s;
    s.Scrivi(Campo::Annullata, AnnullataNo);
    s.Scrivi(Campo::DataScade, testo);
    TFiltroStatistiche f;
    f.oggi = Oggi;
    const TClassi k = Classifica(s, f);
    QCOMPARE(k.scadenza, Testo::ConvertiData(s.Leggi(Campo::DataScade)));
    QCOMPARE(k.scadenzaValida, Testo::DataValida(s.Leggi(Campo::DataScade)));
}

namespace {
// The folder with a fee register given by the test.
class TDepositoConRegistro : public TDepositoFile {
public:
    using TDepositoFile::TDepositoFile;
    std::vector<TPagamento> pagamenti;
    void ScorriPagamenti(const QDate &dal, const QDate &al,
                         const std::function<bool(const TPagamento &)> &visita) override
    {
        for (const TPagamento &p : pagamenti)
            if (p.data >= dal && p.data <= al && !visita(p))
                return;
    }
    std::vector<TTotalePagamenti> TotaliPagamenti(const QDate &dal, const QDate &al) override
    {
        std::vector<TTotalePagamenti> r;
        for (const TPagamento &p : pagamenti)
            if (p.data >= dal && p.data <= al)
                r.push_back({p.data.year(), p.data.month(), p.metodo,
                             p.annulla ? -p.centesimi : p.centesimi, 1});
        return r;
    }
};
} // namespace

// Renewed this year: members with a payment not voided, counted once, cancelled cards
// out; fees by month against the year before; the share of cards renewed within 60 days.
void TestStatistiche::registro()
{
    Ambiente env;
    TDepositoConRegistro d(env.cartella());
    for (const Socio &s : Soci())
        d.AccodaScheda(Scheda(s));
    const auto pagamento = [](qint64 id, QDate data, int posizione, qint64 centesimi, QDate dal,
                              qint64 annulla = 0) {
        TPagamento p;
        p.id = id;
        p.data = data;
        p.posizione = posizione;
        p.centesimi = centesimi;
        p.metodo = QStringLiteral("Contanti");
        p.dal = dal;
        p.al = dal.addYears(1).addDays(-1);
        p.annulla = annulla;
        return p;
    };
    d.pagamenti = {
        // Verdi (3) renews twice in March: one member; paid 20 days after the old expiry
        pagamento(1, QDate(2026, 3, 21), 3, 3000, QDate(2026, 3, 2)),
        pagamento(2, QDate(2026, 3, 25), 3, 1000, QDate(2026, 3, 2)),
        // Rosa (8): 90 days late
        pagamento(3, QDate(2026, 5, 30), 8, 3000, QDate(2026, 3, 2)),
        // Viola (7): a receipt voided, so not renewed
        pagamento(4, QDate(2026, 4, 10), 7, 3000, QDate(2026, 4, 1)),
        pagamento(5, QDate(2026, 4, 11), 7, 3000, QDate(), 4),
        // Neri (6) is cancelled: not counted as renewed
        pagamento(6, QDate(2026, 6, 1), 6, 3000, QDate(2026, 6, 2)),
        // last year, same month as Verdi's
        pagamento(7, QDate(2025, 3, 10), 1, 2500, QDate(2025, 3, 11)),
    };
    TFiltroStatistiche f;
    f.oggi = Oggi;
    const TStatistiche s = Calcola(d, f);
    QCOMPARE(s.rinnovate, 2); // Verdi and Rosa
    QCOMPARE(s.quote, 3000 + 1000 + 3000 + 3000 - 3000 + 3000);
    QCOMPARE(s.quotePerMese.primo, Mese(QDate(2026, 1, 1)));
    QCOMPARE(s.quotePerMese.valori[2], 4000.0);   // March
    QCOMPARE(s.quoteAnnoPrima.valori[2], 2500.0); // March 2025
    QCOMPARE(s.quotePerMese.valori[3], 0.0);      // April: paid and voided
    // Old expiries in March 2026 (Verdi in time, Rosa late) and January (Marroni, still
    // expired): 1 of 2, and 0 of 1.
    QCOMPARE(s.rinnoviInTempo.primo, Mese(QDate(2026, 1, 1)));
    QCOMPARE(s.scaduteNelMese.valori[2], 2.0);
    QCOMPARE(s.rinnoviInTempo.valori[2], 0.5);
    QCOMPARE(s.scaduteNelMese.valori[0], 1.0);
    QCOMPARE(s.rinnoviInTempo.valori[0], 0.0);
    // December: Bianchi expired yesterday, not renewed.
    QCOMPARE(s.scaduteNelMese.valori[11], 1.0);
}

namespace {

std::unique_ptr<TfrmStatistiche> Schermata(Ambiente &env)
{
    env->oggi = Oggi;
    {
        TDepositoFile d(env.cartella());
        for (const Socio &s : Soci())
            d.AccodaScheda(Scheda(s));
    }
    auto frm = std::make_unique<TfrmStatistiche>();
    frm->show();
    return frm;
}

// The rows of the bar colour's pixels in each column band: the bars' lengths, in pixels,
// of a chart of horizontal bars in `colore`, top to bottom.
QList<int> Barre(const QImage &img, QRgb colore)
{
    QList<int> barre;
    int corrente = 0;
    for (int y = 0; y < img.height(); ++y) {
        int lunghezza = 0;
        for (int x = 0; x < img.width(); ++x)
            if (qAbs(qRed(img.pixel(x, y)) - qRed(colore)) < 8 &&
                qAbs(qGreen(img.pixel(x, y)) - qGreen(colore)) < 8 &&
                qAbs(qBlue(img.pixel(x, y)) - qBlue(colore)) < 8)
                ++lunghezza;
        if (lunghezza > 0) {
            corrente = std::max(corrente, lunghezza);
        } else if (corrente > 0) {
            barre << corrente;
            corrente = 0;
        }
    }
    return barre;
}

} // namespace

// The towns' chart saved as PNG shows one bar per town, as long as its members; saved as
// SVG it names the towns; as PDF it is a page of A4.
void TestStatistiche::grafico()
{
    Ambiente env;
    const auto frm = Schermata(env);
    QTRY_VERIFY(frm->Pronta());
    QCOMPARE(Controllo<QLabel>(frm.get(), "lblAttivi")->text(),
             QStringLiteral("Tessere attive: 6"));
    Controllo<QTabWidget>(frm.get(), "tabGrafici")->setCurrentIndex(int(Grafico::Comuni));

    env->fileDaSalvare.enqueue(env.Percorso(QStringLiteral("comuni.png")));
    Clic(frm.get(), "cmdSalva");
    QImage png(env.Percorso(QStringLiteral("comuni.png")));
    QVERIFY(!png.isNull());
    const QList<int> barre = Barre(png, qRgb(0x1F, 0x4E, 0x8C));
    QCOMPARE(barre.size(), 4); // SAN DONATO 3, MILANO 2, ROMA 2, TORINO 1
    QVERIFY2(qAbs(barre[0] * 2 - barre[1] * 3) <= 6, qPrintable(QString::number(barre[0])));
    QVERIFY(qAbs(barre[1] - barre[2]) <= 2);
    QVERIFY(qAbs(barre[2] - barre[3] * 2) <= 4);

    env->fileDaSalvare.enqueue(env.Percorso(QStringLiteral("comuni.svg")));
    Clic(frm.get(), "cmdSalva");
    const QByteArray svg = Costruttore::LeggiFile(env.Percorso(QStringLiteral("comuni.svg")));
    for (const char *nome : {"SAN DONATO", "MILANO", "ROMA", "TORINO", "Comuni di residenza"})
        QVERIFY2(svg.contains(nome), nome);

    env->fileDaSalvare.enqueue(env.Percorso(QStringLiteral("comuni.pdf")));
    Clic(frm.get(), "cmdSalva");
    const QSizeF pagina = PaginaPdf(env.Percorso(QStringLiteral("comuni.pdf")));
    QVERIFY(qAbs(pagina.width() - 297) < 1 && qAbs(pagina.height() - 210) < 1);
    QVERIFY(Esegui(QStringLiteral("pdftotext"),
                   {env.Percorso(QStringLiteral("comuni.pdf")), QStringLiteral("-")})
                .contains(QStringLiteral("SAN DONATO")));
}

// A click on a town's bar lists its members in the search result screen.
void TestStatistiche::barra()
{
    Ambiente env;
    const auto frm = Schermata(env);
    QTRY_VERIFY(frm->Pronta());
    auto *tab = Controllo<QTabWidget>(frm.get(), "tabGrafici");
    tab->setCurrentIndex(int(Grafico::Comuni));
    auto *vista = Controllo<QChartView>(frm.get(), "grfComuni");
    QCoreApplication::processEvents();
    QStringList righe;
    env->modale = [&](QDialog *d) {
        auto *pannello = Controllo<TPannelloElenco>(d, "panContainer");
        righe = pannello->Righe();
        d->reject();
    };
    // The top bar (SAN DONATO, 3 members) at half its length.
    QChart *c = vista->chart();
    auto *serie = c->series().constFirst();
    const QPointF punto = c->mapToPosition(QPointF(1.5, 3), serie);
    QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, vista->mapFromScene(punto));
    QTRY_COMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmTrovaAnagrafica")});
    QCOMPARE(righe.size(), 3);
    for (const char *nome : {"Rossi", "Bianchi", "Verdi"})
        QVERIFY2(righe.filter(QString::fromLatin1(nome)).size() == 1, nome);
}

// The numbers behind the pyramid go to a spreadsheet that LibreOffice-free readers see as
// a table; the whole page prints on A4 landscape with the association's name and the date.
void TestStatistiche::esportaStampa()
{
    Ambiente env;
    const auto frm = Schermata(env);
    QTRY_VERIFY(frm->Pronta());
    TDatiEnte ente;
    ente.Denominazione = QStringLiteral("Circolo Tennis Ardea");
    TDepositoFile(env.cartella()).ScriviDatiEnte(ente);

    Controllo<QTabWidget>(frm.get(), "tabGrafici")->setCurrentIndex(int(Grafico::Piramide));
    env->fileDaSalvare.enqueue(env.Percorso(QStringLiteral("piramide.xls")));
    Clic(frm.get(), "cmdEsporta");
    const QByteArray xls = Costruttore::LeggiFile(env.Percorso(QStringLiteral("piramide.xls")));
    QVERIFY(xls.startsWith("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""));
    QVERIFY(xls.contains("<tr><td class=t>18-29</td><td>1</td><td>1</td></tr>"));
    QVERIFY(xls.contains("<td class=t>Et\xE0 non nota</td><td>2</td>"));

    env->stampaSuPdf = env.Percorso(QStringLiteral("statistiche.pdf"));
    Clic(frm.get(), "cmdStampa");
    QCOMPARE(env->dialoghiStampa, 1);
    const QSizeF pagina = PaginaPdf(env->stampaSuPdf);
    QVERIFY(qAbs(pagina.width() - 297) < 1 && qAbs(pagina.height() - 210) < 1);
    const QString testo =
        Esegui(QStringLiteral("pdftotext"), {env->stampaSuPdf, QStringLiteral("-")});
    QVERIFY2(testo.contains(QStringLiteral("Circolo Tennis Ardea - Statistiche al 11/12/2026")),
             qPrintable(testo));
    QVERIFY(testo.contains(QStringLiteral("Tessere attive: 6")));
}

// The filters: cancelled cards counted, a period, and a period that is no period.
void TestStatistiche::filtri()
{
    Ambiente env;
    const auto frm = Schermata(env);
    QTRY_VERIFY(frm->Pronta());
    auto *etichetta = Controllo<QLabel>(frm.get(), "lblNonValide");
    QVERIFY(etichetta->text().startsWith(QStringLiteral("Schede contate: 9.")));
    QVERIFY(etichetta->text().contains(QStringLiteral("scadenza 1, nascita 2")));
    Controllo<QCheckBox>(frm.get(), "chkAnnullate")->setChecked(true);
    Clic(frm.get(), "cmdAggiorna");
    QTRY_VERIFY(frm->Pronta());
    QVERIFY(etichetta->text().startsWith(QStringLiteral("Schede contate: 10.")));

    Controllo<QCheckBox>(frm.get(), "chkPeriodo")->setChecked(true);
    Controllo<QLineEdit>(frm.get(), "txtDal")->setText(QStringLiteral("01/12/2026"));
    Controllo<QLineEdit>(frm.get(), "txtAl")->setText(QStringLiteral("31/01/2027"));
    Clic(frm.get(), "cmdAggiorna");
    QTRY_VERIFY(frm->Pronta());
    QVERIFY(etichetta->text().startsWith(QStringLiteral("Schede contate: 6.")));
    QCOMPARE(Controllo<QLabel>(frm.get(), "lblInScadenza")->text(),
             QStringLiteral("In scadenza (30 giorni): 4"));
    QCOMPARE(frm->Figure().scadenze.valori.size(), size_t(2));

    Controllo<QLineEdit>(frm.get(), "txtAl")->setText(QStringLiteral("31/02/2027"));
    Clic(frm.get(), "cmdAggiorna");
    QVERIFY(env->UltimoMessaggio().startsWith(QStringLiteral("Indicare un periodo valido")));
    QVERIFY(etichetta->text().startsWith(QStringLiteral("Schede contate: 6.")));
}

// The start screen's button opens the statistics, which fit a 1280 x 720 screen with
// every control inside the window.
void TestStatistiche::avvio()
{
    Ambiente env;
    env->oggi = Oggi;
    TfrmAvvio avvio;
    QStringList fuori;
    QSize dimensione;
    env->modale = [&](QDialog *d) {
        dimensione = d->size();
        QTRY_VERIFY(static_cast<TfrmStatistiche *>(d)->Pronta());
        for (QWidget *w : d->findChildren<QWidget *>()) {
            if (w->objectName().isEmpty() || !w->isVisibleTo(d) ||
                !(w->objectName().startsWith(u"cmd") || w->objectName().startsWith(u"chk") ||
                  w->objectName().startsWith(u"txt") || w->objectName().startsWith(u"lbl") ||
                  w->objectName().startsWith(u"grf") || w->objectName().startsWith(u"tab")))
                continue;
            const QRect r(w->mapTo(d, QPoint(0, 0)), w->size());
            if (!QRect(QPoint(0, 0), d->size()).contains(r))
                fuori << w->objectName();
        }
        d->reject();
    };
    Clic(&avvio, "cmdStatistiche");
    QCOMPARE(env->modaliMostrati, QStringList{QStringLiteral("TfrmStatistiche")});
    QVERIFY(dimensione.width() <= 1280 && dimensione.height() <= 720);
    QVERIFY2(fuori.isEmpty(), qPrintable(fuori.join(u',')));
}

QTEST_MAIN(TestStatistiche)
#include "tst_statistiche.moc"
