// The server storage when things go wrong between desks: a connection dropped by the
// server, a long scan while others write, a record or the counter held by another desk.
// Each action is done, or said not done in plain Italian; never lost, doubled or frozen.
#include "support/ServerProva.h"
#include "support/Supporto.h"

#include "archive/Errori.h"
#include "mail/core/RegistroAvvisi.h"
#include "storage/ConnessioneServer.h"
#include "storage/DepositoServer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString Utente = QStringLiteral("guasti_gino");
const QString Password = QStringLiteral("segreta-gino");

// A new database chosen as the desk's archive in the folder's Quorvel.ini.
std::unique_ptr<TDeposito> NuovoDeposito(const Ambiente &env, QString *db)
{
    *db = ServerProva::NuovoDatabase();
    ServerProva::CreaUtente(Utente, Password, true);
    const TParametriServer p = ServerProva::Parametri(*db, Utente);
    ConnessioneServer::ScriviParametri(env.cartella(), p, true);
    ConnessioneServer::Imposta(p, Password);
    return ApriDeposito(env.cartella());
}

TScheda Scheda(const QString &tesserato)
{
    TScheda s;
    s.Scrivi(Campo::Annullata, AnnullataNo);
    s.Scrivi(Campo::Tesserato, tesserato);
    return s;
}

QByteArray Jpeg()
{
    QImage foto(40, 50, QImage::Format_RGB32);
    foto.fill(Qt::red);
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QImageWriter(&b, "jpg").write(foto);
    return b.data();
}

// The server ends the desk's connection (as pg_terminate_backend or a restart would) and
// waits until it is gone; false when there was none to end.
bool Interrompi(const QString &db)
{
    return ServerProva::Amministra(
        db, QStringLiteral("SELECT 1 / count(*) FROM (SELECT pg_terminate_backend(pid, 5000) "
                           "FROM pg_stat_activity WHERE datname = current_database() AND "
                           "usename = '%1') t")
                .arg(Utente));
}

// Another session with a transaction left open on `db` after `sql`, until destroyed.
class Occupante {
public:
    Occupante(const QString &db, const QString &sql)
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), Nome);
        c.setHostName(qEnvironmentVariable("QUORVEL_PG_DIR"));
        c.setPort(qEnvironmentVariableIntValue("PGPORT"));
        c.setUserName(QStringLiteral("postgres"));
        c.setDatabaseName(db);
        QSqlQuery q(c.open() ? c : QSqlDatabase());
        pronto = q.exec(QStringLiteral("BEGIN")) && q.exec(sql);
    }
    ~Occupante()
    {
        {
            QSqlDatabase c = QSqlDatabase::database(Nome, false);
            QSqlQuery(c).exec(QStringLiteral("ROLLBACK"));
            c.close();
        }
        QSqlDatabase::removeDatabase(Nome);
    }
    bool pronto = false;

private:
    const QString Nome = QStringLiteral("occupante-prova");
};

} // namespace

class TestDepositoGuasti : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ConnessioneServer::Dimentica(); }
    void collegamentoPerso_data();
    void collegamentoPerso();
    void importazioneInterrotta();
    void dueDepositiSullaStessaConnessione();
    void unaFotografiaPerScansione_data();
    void unaFotografiaPerScansione();
    void occupataDaUnAltroSportello_data();
    void occupataDaUnAltroSportello();
};

void TestDepositoGuasti::collegamentoPerso_data()
{
    QTest::addColumn<QString>("azione");
    QTest::addColumn<QStringList>("esiti"); // before the connection drops, then after
    QTest::newRow("lettura") << "lettura" << QStringList{"Anna", "Anna"};
    QTest::newRow("ricerca") << "ricerca" << QStringList{"1", "1"};
    QTest::newRow("elenco di tutte") << "tutte" << QStringList{"1", "1"};
    QTest::newRow("aggiunta") << "aggiunta" << QStringList{"2", "3"};
    QTest::newRow("salvataggio con versione") << "salvataggio" << QStringList{"2", "3"};
    QTest::newRow("foto") << "foto" << QStringList{"scritta", "scritta"};
    QTest::newRow("impostazioni") << "impostazioni" << QStringList{"Circolo 1", "Circolo 2"};
    QTest::newRow("importazione") << "importazione" << QStringList{"2", "3"};
    // A line of the reminder log is not sent twice: it is reported as not written.
    QTest::newRow("registro avvisi") << "registro" << QStringList{"scritta", "non scritta"};
}

// The server drops the desk's connection right before an action (its statements were
// prepared on it already): the action opens a new one and completes, once; a write that
// cannot be repeated safely says it was not done, and the next one goes through.
void TestDepositoGuasti::collegamentoPerso()
{
    SERVER_RICHIESTO();
    QFETCH(QString, azione);
    QFETCH(QStringList, esiti);
    Ambiente env;
    QString db;
    const auto d = NuovoDeposito(env, &db);
    d->AccodaScheda(Scheda(QStringLiteral("Anna")));
    qint64 versione = 1;
    int schede = 1;
    const auto registro = d->ApriRegistroAvvisi();
    QVERIFY(registro);
    const auto esegui = [&](int volta) -> QString {
        if (azione == QLatin1String("lettura"))
            return d->LeggiScheda(1).Leggi(Campo::Tesserato);
        if (azione == QLatin1String("ricerca") || azione == QLatin1String("tutte")) {
            QStringList trovate;
            const TChiaveRicerca chiave[] = {{Campo::Tesserato, QStringLiteral("ann")}};
            const Campo campi[] = {Campo::Tesserato};
            const std::span<const TChiaveRicerca> chiavi =
                azione == QLatin1String("tutte") ? std::span<const TChiaveRicerca>() : chiave;
            d->Cerca(chiavi, campi, [&](int p, const TScheda &) {
                trovate << QString::number(p);
                return true;
            });
            return trovate.join(u',');
        }
        if (azione == QLatin1String("aggiunta"))
            return QString::number(d->AccodaScheda(Scheda(QStringLiteral("Nuova"))));
        if (azione == QLatin1String("salvataggio")) {
            versione = d->ScriviSchedaSeInvariata(1, versione,
                                                  Scheda(QStringLiteral("Anna %1").arg(volta)));
            return QString::number(versione);
        }
        if (azione == QLatin1String("foto"))
            return d->ScriviFotoJpeg(1, Jpeg()) ? QStringLiteral("scritta") : QString();
        if (azione == QLatin1String("importazione")) {
            auto importazione = d->IniziaImportazione(schede);
            importazione->Accoda(Scheda(QStringLiteral("Importata %1").arg(volta)));
            importazione->Conferma({});
            return QString::number(++schede);
        }
        if (azione == QLatin1String("impostazioni")) {
            d->ScriviDatiEnte({QStringLiteral("Circolo %1").arg(volta), {}, {}, {}});
            return d->LeggiDatiEnte().Denominazione;
        }
        const RegistroAvvisi::TRigaAvviso riga{QDate(2026, 1, volta),
                                               QTime(9, 0),
                                               1,
                                               QStringLiteral("Anna"),
                                               QStringLiteral("a@b.it"),
                                               QDate(),
                                               RegistroAvvisi::Inviato};
        return registro->Scrivi(riga) ? QStringLiteral("scritta") : QStringLiteral("non scritta");
    };
    QCOMPARE(esegui(1), esiti[0]);
    QVERIFY(Interrompi(db));
    QCOMPARE(esegui(2), esiti[1]);
    // Nothing doubled: one record per append, one version per save, and the log goes on.
    QCOMPARE(d->NumeroSchede(),
             azione == QLatin1String("aggiunta") || azione == QLatin1String("importazione") ? 3
                                                                                            : 1);
    if (azione == QLatin1String("salvataggio")) {
        QCOMPARE(d->LeggiSchedaConVersione(1).versione, qint64(3));
        QCOMPARE(d->LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Anna 2"));
    }
    if (azione == QLatin1String("foto"))
        QVERIFY(!d->LeggiFoto(1).isNull());
    if (azione == QLatin1String("registro")) {
        QCOMPARE(esegui(3), QStringLiteral("scritta"));
        QCOMPARE(d->UltimiInvii().value(RegistroAvvisi::Chiave(1, QStringLiteral("Anna"))),
                 QDate(2026, 1, 3));
        QVERIFY(ServerProva::Amministra(
            db, QStringLiteral("SELECT 1 / (count(*) = 2)::int FROM quorvel.avvisi")));
    }
}

// The connection drops while an import's rows wait on the server: the import says it was
// not done, nothing of it is there, and the next import goes through.
void TestDepositoGuasti::importazioneInterrotta()
{
    SERVER_RICHIESTO();
    Ambiente env;
    QString db;
    const auto d = NuovoDeposito(env, &db);
    d->AccodaScheda(Scheda(QStringLiteral("Anna")));
    {
        auto importazione = d->IniziaImportazione(1);
        importazione->Accoda(Scheda(QStringLiteral("Persa")));
        QVERIFY(Interrompi(db));
        try {
            importazione->Conferma({});
            QFAIL("importazione confermata senza le sue righe");
        } catch (const ErroreFile &e) {
            QCOMPARE(e.testo(), QStringLiteral("Importazione non riuscita: il collegamento al "
                                               "server dell'archivio si è interrotto. L'archivio "
                                               "non è stato modificato; ripetere l'importazione."));
        }
    }
    QCOMPARE(d->NumeroSchede(), 1);
    auto importazione = d->IniziaImportazione(1);
    importazione->Accoda(Scheda(QStringLiteral("Ripetuta")));
    QVERIFY(importazione->Conferma({}));
    QCOMPARE(d->LeggiScheda(2).Leggi(Campo::Tesserato), QStringLiteral("Ripetuta"));
}

// Two deposits of one thread share its connection: when one opens it anew, the other's
// statements, prepared on the old one, are prepared again.
void TestDepositoGuasti::dueDepositiSullaStessaConnessione()
{
    SERVER_RICHIESTO();
    Ambiente env;
    QString db;
    const auto primo = NuovoDeposito(env, &db);
    primo->AccodaScheda(Scheda(QStringLiteral("Anna")));
    const auto secondo = ApriDeposito(env.cartella());
    QCOMPARE(secondo->LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Anna"));
    QVERIFY(Interrompi(db));
    QCOMPARE(primo->LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Anna"));
    QCOMPARE(secondo->LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Anna"));
    QCOMPARE(secondo->AccodaScheda(Scheda(QStringLiteral("Bruno"))), 2);
}

void TestDepositoGuasti::unaFotografiaPerScansione_data()
{
    QTest::addColumn<bool>("ricerca");
    QTest::addColumn<QString>("chiave");
    QTest::addColumn<int>("schede");
    QTest::newRow("scorri") << false << QString() << 2500;
    QTest::newRow("cerca") << true << "socio" << 2500;
    QTest::newRow("cerca tutte") << true << QString() << 20500;
}

// A scan longer than a page (of 2,000 rows; of 20,000 for the list of every record) sees
// the archive as it was when it began: another desk's append and edit, committed while the
// first page is visited, are not seen by the later pages, nor by the visit's own reads.
void TestDepositoGuasti::unaFotografiaPerScansione()
{
    SERVER_RICHIESTO();
    QFETCH(bool, ricerca);
    QFETCH(QString, chiave);
    QFETCH(int, schede);
    Ambiente env;
    QString db;
    const auto d = NuovoDeposito(env, &db);
    QVERIFY(ServerProva::Amministra(
        db, QStringLiteral("INSERT INTO quorvel.schede (tesserato, annullata) SELECT 'Socio ' || "
                           "g, 'No' FROM generate_series(1, %1) g")
                .arg(schede)));
    QCOMPARE(d->NumeroSchede(), schede);
    int visitate = 0;
    QString vista, letta;
    const Campo campi[] = {Campo::Tesserato};
    const auto visita = [&](int p, const TScheda &s) {
        ++visitate;
        if (p == 1)
            return ServerProva::Amministra(
                db, QStringLiteral("INSERT INTO quorvel.schede (tesserato, annullata) VALUES "
                                   "('Socio nuovo', 'No'); UPDATE quorvel.schede SET tesserato = "
                                   "'Cambiato' WHERE posizione = 2400"));
        if (p == 2400) {
            vista = s.Leggi(Campo::Tesserato);
            letta = d->LeggiScheda(2400).Leggi(Campo::Tesserato);
        }
        return true;
    };
    if (ricerca) {
        const TChiaveRicerca chiavi[] = {{Campo::Tesserato, chiave}};
        d->Cerca(chiavi, campi, visita);
    } else {
        d->Scorri(campi, visita);
    }
    QCOMPARE(visitate, schede);
    QCOMPARE(vista, QStringLiteral("Socio 2400"));
    QCOMPARE(letta, QStringLiteral("Socio 2400"));
    // The scan over, this desk sees the other's changes.
    QCOMPARE(d->NumeroSchede(), schede + 1);
    QCOMPARE(d->LeggiScheda(2400).Leggi(Campo::Tesserato), QStringLiteral("Cambiato"));
}

void TestDepositoGuasti::occupataDaUnAltroSportello_data()
{
    QTest::addColumn<QString>("azione");
    QTest::addColumn<QString>("blocco");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("scheda in modifica")
        << "salvataggio"
        << "SELECT * FROM quorvel.schede WHERE posizione = 1 FOR UPDATE"
        << "La scheda n. 1 è in uso su un'altra postazione: non è stata salvata. Riprovare tra "
           "poco.";
    QTest::newRow("scheda cambiata senza conferma")
        << "salvataggio"
        << "UPDATE quorvel.schede SET note = 'x' WHERE posizione = 1"
        << "La scheda n. 1 è in uso su un'altra postazione: non è stata salvata. Riprovare tra "
           "poco.";
    QTest::newRow("aggiunta in corso altrove")
        << "aggiunta"
        << "UPDATE quorvel.contatore SET ultima = ultima"
        << "Un'altra postazione sta aggiungendo una scheda e tiene occupato l'archivio: questa "
           "scheda non è stata salvata. Riprovare tra poco.";
}

// A record or the counter held by another desk's open transaction: the save ends within
// the lock timeout with a plain message, and nothing was written.
void TestDepositoGuasti::occupataDaUnAltroSportello()
{
    SERVER_RICHIESTO();
    QFETCH(QString, azione);
    QFETCH(QString, blocco);
    QFETCH(QString, messaggio);
    Ambiente env;
    QString db;
    const auto d = NuovoDeposito(env, &db);
    d->AccodaScheda(Scheda(QStringLiteral("Anna")));
    {
        Occupante altro(db, blocco);
        QVERIFY(altro.pronto);
        QElapsedTimer orologio;
        orologio.start();
        try {
            if (azione == QLatin1String("salvataggio"))
                d->ScriviSchedaSeInvariata(1, 1, Scheda(QStringLiteral("Anna Maria")));
            else
                d->AccodaScheda(Scheda(QStringLiteral("Bruno")));
            QFAIL("salvata mentre un'altra postazione la teneva");
        } catch (const ErroreConflitto &) {
            QFAIL("un blocco non è un conflitto");
        } catch (const ErroreFile &e) {
            QCOMPARE(e.testo(), messaggio);
        }
        QVERIFY2(orologio.elapsed() < 15000, qPrintable(QString::number(orologio.elapsed())));
    }
    // Once the other desk is done, the desk goes on: nothing of the refused save is there.
    const TDeposito::TSchedaLetta letta = d->LeggiSchedaConVersione(1);
    QCOMPARE(letta.versione, qint64(1));
    QCOMPARE(letta.scheda.Leggi(Campo::Tesserato), QStringLiteral("Anna"));
    QCOMPARE(d->NumeroSchede(), 1);
    QCOMPARE(d->AccodaScheda(Scheda(QStringLiteral("Bruno"))), 2);
}

QTEST_GUILESS_MAIN(TestDepositoGuasti)
#include "tst_depositoguasti.moc"
