// The renewal on the server: the fee register's numbers and voids, a record changed by
// another desk left out with its payment, the desks' privileges on the register, and two
// desks (this program started twice) renewing at once with receipt numbers that neither
// repeat nor leave a gap.
#include "support/ServerProva.h"
#include "support/Supporto.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "rinnovi/core/RegoleRinnovo.h"
#include "storage/ConnessioneServer.h"
#include "storage/DepositoServer.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTextStream>
#include <QtTest>

namespace {

const QString OpzioneSportello = QStringLiteral("--sportello-rinnovo");
constexpr int PerSportello = 60;

QDate D(const char *testo)
{
    return Testo::ConvertiData(QString::fromLatin1(testo));
}

TDatiRinnovo Dati(const QDate &oggi)
{
    TDatiRinnovo d;
    d.oggi = oggi;
    d.dataPagamento = oggi;
    d.centesimi = 2500;
    d.metodo = QStringLiteral("Bonifico");
    d.causale = CausaleProposta(oggi.year());
    d.inseritoDa = QStringLiteral("segreteria");
    return d;
}

// `n` members expiring 31/12/2026 appended on the desk's archive.
void Soci(TDeposito &dep, int n, const QList<int> &annullate = {})
{
    for (int i = 1; i <= n; ++i) {
        TScheda s;
        s.Scrivi(Campo::Tesserato, QStringLiteral("Socio %1").arg(i));
        s.Scrivi(Campo::NumTessera, QString::number(i));
        s.Scrivi(Campo::DataScade, QStringLiteral("31/12/2026"));
        s.Scrivi(Campo::Annullata, annullate.contains(i) ? AnnullataSi : AnnullataNo);
        dep.AccodaScheda(s);
    }
}

std::vector<TPagamento> Rinnova(TDeposito &dep, std::vector<int> posizioni, const QDate &oggi)
{
    std::vector<TPagamento> fatti;
    RinnovaTutti(dep, posizioni, Dati(oggi), [&](const TPagamento &p) { fatti.push_back(p); });
    return fatti;
}

// One desk: renews its own half of the members (odd or even positions) in chunks of 7,
// printing each receipt number.
int Sportello(const QString &cartella, const QString &password, int resto)
{
    QTextStream fuori(stdout);
    ConnessioneServer::Imposta(ConnessioneServer::LeggiParametri(cartella), password);
    int esito = 0;
    try {
        const auto dep = ApriDeposito(cartella);
        std::vector<int> mie;
        for (int p = 1; p <= 2 * PerSportello; ++p)
            if (p % 2 == resto)
                mie.push_back(p);
        RinnovaTutti(
            *dep, mie, Dati(D("10/12/2026")),
            [&](const TPagamento &p) { fuori << p.Ricevuta() << "\n"; }, {}, 7);
    } catch (const ErroreFile &e) {
        QTextStream(stderr) << e.testo() << "\n";
        esito = 1;
    }
    ConnessioneServer::Dimentica();
    return esito;
}

} // namespace

class TestRinnovoServer : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void NumeriPerAnnoEStorno();
    void SchedaCambiataAltrove();
    void RegistroSoloInAggiunta_data();
    void RegistroSoloInAggiunta();
    void DueSportelliInsieme();
};

void TestRinnovoServer::cleanup()
{
    ConnessioneServer::Dimentica();
}

void TestRinnovoServer::NumeriPerAnnoEStorno()
{
    SERVER_RICHIESTO();
    Ambiente env;
    ServerProva::CreaUtente(QStringLiteral("rinn_anna"),
                            ServerProva::Password(QStringLiteral("rinn_anna")));
    ServerProva::Sportello(env.cartella(), ServerProva::NuovoDatabase(), "rinn_anna");
    const auto dep = ApriDeposito(env.cartella());
    Soci(*dep, 4, {4});
    std::vector<TPagamento> p = Rinnova(*dep, {1, 2}, D("30/12/2026"));
    const std::vector<TPagamento> p2 = Rinnova(*dep, {3, 4}, D("02/01/2027"));
    p.insert(p.end(), p2.begin(), p2.end());
    // The cancelled card 4 is not renewed.
    QCOMPARE(p.size(), size_t(3));
    QCOMPARE(p[0].Ricevuta(), QStringLiteral("1/2026"));
    QCOMPARE(p[1].Ricevuta(), QStringLiteral("2/2026"));
    QCOMPARE(p[2].Ricevuta(), QStringLiteral("1/2027"));
    QCOMPARE(dep->LeggiScheda(1).Leggi(Campo::DataScade), QStringLiteral("31/12/2027"));
    QCOMPARE(dep->LeggiScheda(4).Leggi(Campo::DataScade), QStringLiteral("31/12/2026"));

    const TPagamento storno =
        dep->StornaPagamentoIl(p[1].id, D("03/01/2027"), QStringLiteral("Errore"), "anna");
    QCOMPARE(storno.Ricevuta(), QStringLiteral("2/2027"));
    QCOMPARE(storno.annulla, p[1].id);
    QCOMPARE(storno.centesimi, qint64(-2500));
    QCOMPARE(Rinnova(*dep, {1}, D("04/01/2027")).at(0).Ricevuta(), QStringLiteral("3/2027"));
    for (qint64 id : {p[1].id, storno.id, qint64(999)})
        QVERIFY_THROWS_EXCEPTION(ErroreFile,
                                 dep->StornaPagamentoIl(id, D("05/01/2027"), "x", "anna"));

    const std::vector<TPagamento> storia = dep->PagamentiDi(2);
    QCOMPARE(storia.size(), size_t(2));
    QCOMPARE(storia[1].annulla, storia[0].id);
    QCOMPARE(storia[0].al, D("31/12/2027"));
    const std::vector<TTotalePagamenti> totali =
        dep->TotaliPagamenti(D("01/01/2027"), D("31/01/2027"));
    QCOMPARE(totali.size(), size_t(1));
    QCOMPARE(totali[0].centesimi, qint64(2500));
    QCOMPARE(totali[0].quanti, 3);
    QStringList scorse;
    dep->ScorriPagamenti(D("31/12/2026"), D("03/01/2027"), [&](const TPagamento &v) {
        scorse << v.Ricevuta();
        return true;
    });
    QCOMPARE(scorse, QStringList({"1/2027", "2/2027"}));
}

void TestRinnovoServer::SchedaCambiataAltrove()
{
    SERVER_RICHIESTO();
    Ambiente env;
    ServerProva::CreaUtente(QStringLiteral("rinn_anna"),
                            ServerProva::Password(QStringLiteral("rinn_anna")));
    ServerProva::Sportello(env.cartella(), ServerProva::NuovoDatabase(), "rinn_anna");
    const auto dep = ApriDeposito(env.cartella());
    Soci(*dep, 3);
    // Read for the renewal, then saved by another desk before the renewal is written.
    std::vector<TDeposito::TRinnovo> rinnovi;
    for (int p : {1, 2, 3})
        rinnovi.push_back(PreparaRinnovo(p, dep->LeggiSchedaConVersione(p), Dati(D("10/12/2026"))));
    TScheda altrove = dep->LeggiScheda(2);
    altrove.Scrivi(Campo::Note, QStringLiteral("cambiata"));
    dep->ScriviScheda(2, altrove);

    const std::vector<TDeposito::TEsitoRinnovo> esiti = dep->Rinnova(rinnovi);
    QCOMPARE(esiti.size(), size_t(3));
    QVERIFY(esiti[0].errore.isEmpty());
    QVERIFY2(esiti[1].errore.contains(QStringLiteral("modificata")), qPrintable(esiti[1].errore));
    QVERIFY(esiti[2].errore.isEmpty());
    // Member 2: neither the expiry nor a payment; the others' numbers leave no gap.
    QCOMPARE(dep->LeggiScheda(2).Leggi(Campo::DataScade), QStringLiteral("31/12/2026"));
    QCOMPARE(dep->LeggiScheda(2).Leggi(Campo::Note), QStringLiteral("cambiata"));
    QVERIFY(dep->PagamentiDi(2).empty());
    QCOMPARE(esiti[0].pagamento.numero, 1);
    QCOMPARE(esiti[2].pagamento.numero, 2);
    QCOMPARE(dep->LeggiScheda(3).Leggi(Campo::DataScade), QStringLiteral("31/12/2027"));
}

void TestRinnovoServer::RegistroSoloInAggiunta_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("cambiare") << "UPDATE pagamenti SET centesimi = 1";
    QTest::newRow("cancellare") << "DELETE FROM pagamenti";
    QTest::newRow("svuotare") << "TRUNCATE pagamenti";
    QTest::newRow("scegliere il numero") << "UPDATE numeri_ricevute SET ultimo = 0";
}

void TestRinnovoServer::RegistroSoloInAggiunta()
{
    SERVER_RICHIESTO();
    QFETCH(QString, sql);
    Ambiente env;
    // Even the responsible volunteer's desk only appends to the register.
    ServerProva::CreaUtente(QStringLiteral("rinn_capo"),
                            ServerProva::Password(QStringLiteral("rinn_capo")), true);
    ServerProva::Sportello(env.cartella(), ServerProva::NuovoDatabase(), "rinn_capo");
    const auto dep = ApriDeposito(env.cartella());
    Soci(*dep, 1);
    QCOMPARE(Rinnova(*dep, {1}, D("10/12/2026")).size(), size_t(1));
    {
        QSqlQuery q(ConnessioneServer::PerQuestoThread());
        QVERIFY(!q.exec(sql));
    }
    const std::vector<TPagamento> voci = dep->PagamentiDi(1);
    QCOMPARE(voci.size(), size_t(1));
    QCOMPARE(voci[0].centesimi, qint64(2500));
    QCOMPARE(voci[0].Ricevuta(), QStringLiteral("1/2026"));
}

void TestRinnovoServer::DueSportelliInsieme()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    QTemporaryDir cartellaAnna, cartellaBruno;
    for (const char *u : {"rinn_anna", "rinn_bruno"})
        ServerProva::CreaUtente(QString::fromLatin1(u), ServerProva::Password(u));
    ServerProva::Sportello(cartellaBruno.path(), db, QStringLiteral("rinn_bruno"));
    ServerProva::Sportello(cartellaAnna.path(), db, QStringLiteral("rinn_anna"));
    {
        const auto dep = ApriDeposito(cartellaAnna.path());
        Soci(*dep, 2 * PerSportello);
    }
    ConnessioneServer::Dimentica();

    QProcess anna, bruno;
    int resto = 0;
    for (auto [processo, cartella, utente] :
         {std::tuple{&anna, &cartellaAnna, "rinn_anna"}, {&bruno, &cartellaBruno, "rinn_bruno"}})
        processo->start(QCoreApplication::applicationFilePath(),
                        {OpzioneSportello, cartella->path(), ServerProva::Password(utente),
                         QString::number(resto++)});
    QStringList numeri;
    for (QProcess *processo : {&anna, &bruno}) {
        QVERIFY(processo->waitForFinished(240000));
        QVERIFY2(processo->exitStatus() == QProcess::NormalExit && processo->exitCode() == 0,
                 processo->readAllStandardError().constData());
        const QStringList suoi =
            QString::fromUtf8(processo->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(suoi.size(), PerSportello);
        numeri << suoi;
    }
    // 1..120 of 2026, each once: no number given twice, none skipped.
    QStringList attesi;
    for (int i = 1; i <= 2 * PerSportello; ++i)
        attesi << QStringLiteral("%1/2026").arg(i);
    std::sort(numeri.begin(), numeri.end(), [](const QString &a, const QString &b) {
        return a.section(u'/', 0, 0).toInt() < b.section(u'/', 0, 0).toInt();
    });
    QCOMPARE(numeri, attesi);
    // And every member renewed with exactly its own payment.
    ServerProva::Sportello(cartellaAnna.path(), db, QStringLiteral("rinn_anna"));
    const auto dep = ApriDeposito(cartellaAnna.path());
    for (int p : {1, 2, 2 * PerSportello}) {
        QCOMPARE(dep->LeggiScheda(p).Leggi(Campo::DataScade), QStringLiteral("31/12/2027"));
        QCOMPARE(dep->PagamentiDi(p).size(), size_t(1));
    }
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && OpzioneSportello == QString::fromLocal8Bit(argv[1]))
        return Sportello(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         QString::fromLocal8Bit(argv[4]).toInt());
    TestRinnovoServer prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_rinnovoserver.moc"
