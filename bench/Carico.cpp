// Load on the archive server: N desks, each a process of this program with a login of its
// own (a desk holds one server login per process, as ConnessioneServer keeps it), run for
// T seconds a mix of searches, record opens, versioned edits and appends, each action
// timed and written down as done or not done. Then the checks: every edit that was done
// is one version step of its record (none lost without its question, the conflicts
// counted), every append done is there, and positions are exactly 1..n. With --riavvia
// the server is restarted halfway and every desk must go on by itself.
//   quorvel_carico [--sportelli 20] [--secondi 60] [--riavvia] [--schede 100000]
// Against the cluster of scripts/pg_prova.sh (QUORVEL_PG_DIR) it makes the logins and a
// copy of an archive of --schede synthetic members; otherwise it takes --server, --porta,
// --ca, --database and --utenti (comma-separated), the password in QUORVEL_CARICO_PASSWORD.
#include "bench/Carico.h"
#include "bench/Server.h"
#include "storage/ConnessioneServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <cstdio>
#include <map>

#include <unistd.h>

namespace {

struct Opzioni {
    int sportelli = 20;
    int secondi = 60;
    int schede = 100000;
    int calde = 40; // the records the edits fall on, so that desks meet
    bool riavvia = false;
    TParametriServer server;
    QStringList utenti;
    QString password;
};

using Carico::Conteggio;

// The count, the highest position and the counter, read by a desk's connection.
Conteggio Conta()
{
    QSqlQuery q(ConnessioneServer::PerQuestoThread());
    Conteggio c;
    if (q.exec(QStringLiteral("SELECT (SELECT count(*) FROM schede), (SELECT coalesce(max("
                              "posizione), 0) FROM schede), (SELECT ultima FROM contatore)")) &&
        q.next())
        c = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong()};
    return c;
}

// Version and Note of the records 1..calde.
Carico::Versioni Versioni(int calde)
{
    QSqlQuery q(ConnessioneServer::PerQuestoThread());
    Carico::Versioni v;
    q.prepare(QStringLiteral("SELECT posizione, versione, note FROM schede WHERE posizione <= :c"));
    q.bindValue(QStringLiteral(":c"), calde);
    if (q.exec())
        while (q.next())
            v[q.value(0).toInt()] = {q.value(1).toLongLong(), q.value(2).toString()};
    return v;
}

bool Riavvia(QString *esito)
{
    const QString dati = qEnvironmentVariable("QUORVEL_PG_DIR") + QStringLiteral("/dati");
    // pg_ctl restart reuses the options the server was started with (postmaster.opts).
    QStringList comando{QStringLiteral("/usr/lib/postgresql/15/bin/pg_ctl"),
                        QStringLiteral("-D"),
                        dati,
                        QStringLiteral("-m"),
                        QStringLiteral("fast"),
                        QStringLiteral("-w"),
                        QStringLiteral("-l"),
                        qEnvironmentVariable("QUORVEL_PG_DIR") + QStringLiteral("/server.log"),
                        QStringLiteral("restart")};
    // The server's own user runs it: the cluster belongs to "postgres" when we are root.
    QString programma = QStringLiteral("runuser");
    if (getuid() == 0)
        comando =
            QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} +
            comando;
    else
        programma = comando.takeFirst();
    QProcess p;
    p.setWorkingDirectory(QStringLiteral("/"));
    QElapsedTimer t;
    t.start();
    p.start(programma, comando);
    const bool riuscito = p.waitForFinished(60000) && p.exitCode() == 0;
    *esito = QStringLiteral("riavvio del server in %1 ms%2")
                 .arg(t.elapsed())
                 .arg(riuscito ? QString()
                               : QStringLiteral(" NON RIUSCITO: ") +
                                     QString::fromLocal8Bit(p.readAllStandardError()));
    return riuscito;
}

int Coordina(const Opzioni &o, const QString &programma)
{
    const TParametriServer &p = o.server;
    ConnessioneServer::Imposta(
        [&] {
            TParametriServer q = p;
            q.utente = o.utenti.first();
            return q;
        }(),
        o.password);
    const Conteggio prima = Conta();
    const auto versioniPrima = Versioni(o.calde);
    ConnessioneServer::Dimentica();
    std::printf("%d sportelli per %d s su %s (%lld schede)%s\n", o.sportelli, o.secondi,
                qPrintable(p.database), prima.righe,
                o.riavvia ? " con riavvio del server a metà" : "");
    std::fflush(stdout);

    QTemporaryDir uscite;
    const qint64 fine = QDateTime::currentMSecsSinceEpoch() + qint64(o.secondi) * 1000;
    std::vector<std::unique_ptr<QProcess>> figli;
    for (int k = 0; k < o.sportelli; ++k) {
        auto f = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEL_CARICO_PASSWORD"), o.password);
        f->setProcessEnvironment(env);
        f->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        f->setStandardOutputFile(uscite.filePath(QString::number(k)));
        f->start(programma,
                 {QStringLiteral("--sportello"), QString::number(k), QStringLiteral("--fine"),
                  QString::number(fine), QStringLiteral("--server"), p.server,
                  QStringLiteral("--porta"), QString::number(p.porta), QStringLiteral("--ca"),
                  p.certificatoCA, QStringLiteral("--database"), p.database,
                  QStringLiteral("--utenti"), o.utenti.at(k % o.utenti.size()),
                  QStringLiteral("--schede"), QString::number(prima.righe),
                  QStringLiteral("--calde"), QString::number(o.calde)});
        figli.push_back(std::move(f));
    }
    qint64 riavviato = 0;
    bool riavvioRiuscito = true;
    if (o.riavvia) {
        QThread::msleep(static_cast<unsigned long>(o.secondi) * 500);
        QString riavvio;
        riavvioRiuscito = Riavvia(&riavvio);
        riavviato = QDateTime::currentMSecsSinceEpoch();
        std::printf("%s\n", qPrintable(riavvio));
        std::fflush(stdout);
    }
    for (auto &f : figli)
        f->waitForFinished(int(qMax<qint64>(fine - QDateTime::currentMSecsSinceEpoch(), 0)) +
                           120000);

    Carico::Raccolta r;
    if (!riavvioRiuscito)
        r.problemi << QStringLiteral("il server non si è riavviato");
    for (int k = 0; k < o.sportelli; ++k) {
        QFile f(uscite.filePath(QString::number(k)));
        if (f.open(QIODevice::ReadOnly))
            r.Leggi(QString::fromUtf8(f.readAll()), riavviato);
        if (figli[size_t(k)]->exitStatus() != QProcess::NormalExit ||
            figli[size_t(k)]->exitCode() != 0)
            r.problemi << QStringLiteral("lo sportello %1 non è terminato bene").arg(k);
    }
    // A fresh connection for the checks: the server may have restarted under the old one.
    ConnessioneServer::Imposta(
        [&] {
            TParametriServer q = p;
            q.utente = o.utenti.first();
            return q;
        }(),
        o.password);
    const Conteggio dopo = Conta();
    const auto versioniDopo = Versioni(o.calde);
    ConnessioneServer::Dimentica();
    r.Verifica(prima.righe, dopo, versioniPrima, versioniDopo);
    std::printf("%s", qPrintable(r.Rapporto(o.secondi)));
    return r.problemi.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser cl;
    auto opzione = [&cl](const char *nome, const char *testo, const char *valore = nullptr) {
        cl.addOption(valore
                         ? QCommandLineOption(QString::fromLatin1(nome), QString::fromUtf8(testo),
                                              QString::fromLatin1(valore))
                         : QCommandLineOption(QString::fromLatin1(nome), QString::fromUtf8(testo)));
    };
    cl.addHelpOption();
    opzione("sportelli", "numero di sportelli (20)", "n");
    opzione("secondi", "durata in secondi (60)", "s");
    opzione("schede", "schede dell'archivio di prova (100000)", "n");
    opzione("calde", "schede su cui cadono le modifiche (40)", "n");
    opzione("riavvia", "riavvia il server a metà della prova");
    opzione("server", "nome del server", "host");
    opzione("porta", "porta del server", "porta");
    opzione("ca", "certificato della CA", "file");
    opzione("database", "database dell'archivio", "nome");
    opzione("utenti", "login degli sportelli, separati da virgole", "elenco");
    opzione("sportello", "(interno) numero dello sportello", "k");
    opzione("fine", "(interno) fine della prova, ms dall'epoca", "ms");
    cl.process(app);

    Opzioni o;
    auto intero = [&cl](const char *nome, int predefinito) {
        const QString v = cl.value(QString::fromLatin1(nome));
        return v.isEmpty() ? predefinito : v.toInt();
    };
    o.sportelli = qMax(1, intero("sportelli", o.sportelli));
    o.secondi = qMax(1, intero("secondi", o.secondi));
    o.schede = qMax(1, intero("schede", o.schede));
    o.calde = qMax(1, intero("calde", o.calde));
    o.riavvia = cl.isSet(QStringLiteral("riavvia"));
    o.server.server = cl.value(QStringLiteral("server"));
    o.server.porta = intero("porta", 5432);
    o.server.certificatoCA = cl.value(QStringLiteral("ca"));
    o.server.database = cl.value(QStringLiteral("database"));
    o.utenti = cl.value(QStringLiteral("utenti")).split(u',', Qt::SkipEmptyParts);
    o.password = qEnvironmentVariable("QUORVEL_CARICO_PASSWORD");

    try {
        if (cl.isSet(QStringLiteral("sportello")))
            return Carico::Sportello(
                o.server, o.utenti.value(0), o.password, intero("sportello", 0),
                cl.value(QStringLiteral("fine")).toLongLong(), o.schede, o.calde);
        if (o.utenti.isEmpty()) {
            if (!ServerBench::Disponibile()) {
                std::fprintf(stderr, "Senza QUORVEL_PG_DIR servono --server, --porta, --ca, "
                                     "--database, --utenti e QUORVEL_CARICO_PASSWORD.\n");
                return 2;
            }
            o.password = QUuid::createUuid().toString(QUuid::WithoutBraces);
            for (int k = 0; k < o.sportelli; ++k) {
                o.utenti << QStringLiteral("carico_%1").arg(k + 1, 2, 10, QLatin1Char('0'));
                ServerBench::CreaLogin(o.utenti.last(), o.password);
            }
            o.server = ServerBench::Parametri(
                ServerBench::Copia(ServerBench::ArchivioDi(o.schede),
                                   QStringLiteral("carico_%1").arg(app.applicationPid())),
                QString());
            const int esito = Coordina(o, app.applicationFilePath());
            ServerBench::Elimina(o.server.database);
            return esito;
        }
        return Coordina(o, app.applicationFilePath());
    } catch (const ErroreFile &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
}
