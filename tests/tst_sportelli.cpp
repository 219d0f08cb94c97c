// Several desks on one archive: this program starts itself twice as two desks (anna and
// bruno) on the test server; positions stay 1..n with none lost or doubled, a stale save
// loses to the first one, and a save whose answer was lost is not appended twice.
#include "support/ServerProva.h"

#include "archive/Errori.h"
#include "storage/ConnessioneServer.h"
#include "storage/DepositoServer.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <cstring>

namespace {

const QString OpzioneSportello = QStringLiteral("--sportello");
constexpr int Accodamenti = 300;

TScheda Scheda(const QString &nome)
{
    TScheda s;
    s.Scrivi(Campo::Tesserato, nome);
    s.Scrivi(Campo::Annullata, AnnullataNo);
    return s;
}

// One desk: 300 appends, one per transaction, every fifth rolled back; then record 1 saved
// with the version read at the start. Prints "vinta", or "conflitto <who saved first>".
int Sportello(const QString &cartella, const QString &password, qint64 versione)
{
    QTextStream fuori(stdout);
    const TParametriServer p = ConnessioneServer::LeggiParametri(cartella);
    ConnessioneServer::Imposta(p, password);
    int esito = 0;
    try {
        const auto d = ApriDeposito(cartella);
        for (int i = 1; i <= Accodamenti; ++i) {
            const TScheda s = Scheda(QStringLiteral("%1 %2").arg(p.utente).arg(i));
            if (i % 5 == 0) {
                QSqlDatabase db = ConnessioneServer::PerQuestoThread();
                if (!db.transaction())
                    throw ErroreFile(QStringLiteral("BEGIN non riuscito"));
                d->AccodaScheda(s);
                db.rollback();
            } else {
                d->AccodaScheda(s);
            }
        }
        try {
            d->ScriviSchedaSeInvariata(1, versione,
                                       Scheda(QStringLiteral("Salvata da ") + p.utente));
            fuori << "vinta\n";
        } catch (const ErroreConflitto &e) {
            fuori << "conflitto " << e.da << "\n";
        }
    } catch (const ErroreFile &e) {
        QTextStream(stderr) << e.testo() << "\n";
        esito = 1;
    }
    ConnessioneServer::Dimentica();
    return esito;
}

// A program folder whose Quorvel.ini takes the desk to the test database as `utente`.
void PreparaSportello(const QTemporaryDir &cartella, const QString &db, const QString &utente)
{
    ConnessioneServer::ScriviParametri(cartella.path(), ServerProva::Parametri(db, utente), true);
}

// count(*), max(posizione) and the counter, as the superuser sees them.
QList<int> Conteggi()
{
    QSqlQuery q(ConnessioneServer::PerQuestoThread());
    if (!q.exec(QStringLiteral("SELECT count(*), coalesce(max(posizione), 0), (SELECT ultima "
                               "FROM contatore) FROM schede")) ||
        !q.next())
        return {};
    return {q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt()};
}

int PidServer()
{
    QSqlQuery q(ConnessioneServer::PerQuestoThread());
    return q.exec(QStringLiteral("SELECT pg_backend_pid()")) && q.next() ? q.value(0).toInt() : 0;
}

} // namespace

class TestSportelli : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void dueSportelliInsieme();
    void collegamentoInterrottoDuranteIlSalvataggio();
};

void TestSportelli::cleanup()
{
    ConnessioneServer::Dimentica();
}

// Two desks append at once, each rolling back every fifth append: the positions are
// exactly 1..n, no number lost to a rollback. Both then save record 1 from the same
// version: one save goes through, the other is told who saved first.
void TestSportelli::dueSportelliInsieme()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    const QString password = QStringLiteral("segreta-sportelli");
    for (const char *utente : {"anna", "bruno", "carla"})
        ServerProva::CreaUtente(QString::fromLatin1(utente), password);
    ConnessioneServer::Imposta(ServerProva::Parametri(db, QStringLiteral("carla")), password);
    TDepositoServer carla(QString{});
    QCOMPARE(carla.AccodaScheda(Scheda(QStringLiteral("Prima scheda"))), 1);
    const qint64 versione = carla.LeggiSchedaConVersione(1).versione;

    QTemporaryDir cartellaAnna, cartellaBruno;
    PreparaSportello(cartellaAnna, db, QStringLiteral("anna"));
    PreparaSportello(cartellaBruno, db, QStringLiteral("bruno"));
    QProcess anna, bruno;
    for (auto [processo, cartella] : {std::pair{&anna, &cartellaAnna}, {&bruno, &cartellaBruno}})
        processo->start(QCoreApplication::applicationFilePath(),
                        {OpzioneSportello, cartella->path(), password, QString::number(versione)});
    QStringList esiti;
    for (QProcess *processo : {&anna, &bruno}) {
        QVERIFY(processo->waitForFinished(240000));
        QVERIFY2(processo->exitStatus() == QProcess::NormalExit && processo->exitCode() == 0,
                 processo->readAllStandardError().constData());
        esiti << QString::fromUtf8(processo->readAllStandardOutput()).trimmed();
    }

    const int n = 1 + 2 * (Accodamenti - Accodamenti / 5);
    QCOMPARE(carla.NumeroSchede(), n);
    QCOMPARE(Conteggi(), (QList<int>{n, n, n}));
    // Each desk's committed appends kept their order.
    QList<int> ultimoDi(2, 0);
    bool ordinate = true;
    const Campo campi[] = {Campo::Tesserato};
    carla.Scorri(campi, [&](int, const TScheda &s) {
        const QStringList parti = s.Leggi(Campo::Tesserato).split(u' ');
        const int chi = parti.value(0) == u"anna" ? 0 : parti.value(0) == u"bruno" ? 1 : -1;
        if (chi >= 0) {
            ordinate = ordinate && parti.value(1).toInt() > ultimoDi[chi];
            ultimoDi[chi] = parti.value(1).toInt();
        }
        return true;
    });
    QVERIFY(ordinate);
    QCOMPARE(ultimoDi, (QList<int>{Accodamenti - 1, Accodamenti - 1}));

    const int vincitore = esiti.indexOf(QStringLiteral("vinta"));
    QVERIFY2(vincitore >= 0, qPrintable(esiti.join(u'|')));
    const QString chi = vincitore == 0 ? QStringLiteral("anna") : QStringLiteral("bruno");
    QCOMPARE(esiti.value(1 - vincitore), QStringLiteral("conflitto ") + chi);
    QCOMPARE(carla.LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Salvata da ") + chi);
    QCOMPARE(carla.LeggiSchedaConVersione(1).versione, versione + 1);
}

// The connection dies after the server stored an append but before its answer arrived:
// the save, retried with its own request id, finds its record instead of appending it
// again; an append cut before it reached the server is made once the connection is back.
void TestSportelli::collegamentoInterrottoDuranteIlSalvataggio()
{
    SERVER_RICHIESTO();
    const QString db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(QStringLiteral("anna"), QStringLiteral("segreta-anna"));
    ConnessioneServer::Imposta(ServerProva::Parametri(db, QStringLiteral("anna")),
                               QStringLiteral("segreta-anna"));
    TDepositoServer d(QString{});
    auto taglia = [&] {
        const int pid = PidServer();
        QVERIFY(pid > 0);
        QVERIFY(ServerProva::Amministra(
            db, QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid)));
    };
    const QUuid richiesta = QUuid::createUuid();
    QCOMPARE(d.AccodaRichiesta(Scheda(QStringLiteral("Anna")), QByteArray(), richiesta), 1);
    taglia();
    QCOMPARE(d.AccodaRichiesta(Scheda(QStringLiteral("Anna")), QByteArray(), richiesta), 1);
    QCOMPARE(d.NumeroSchede(), 1);
    taglia();
    QCOMPARE(d.AccodaScheda(Scheda(QStringLiteral("Bruno"))), 2);
    QCOMPARE(Conteggi(), (QList<int>{2, 2, 2}));
    QCOMPARE(d.LeggiScheda(2).Leggi(Campo::Tesserato), QStringLiteral("Bruno"));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && OpzioneSportello == QString::fromLocal8Bit(argv[1]))
        return Sportello(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         QString::fromLocal8Bit(argv[4]).toLongLong());
    TestSportelli prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_sportelli.moc"
