// 1,000 renewal reminders to a local SMTP server (aiosmtpd, /usr/bin/python3) over one
// connection, with the window's event loop ticking every 5 ms: messages a second and the
// longest gap between ticks. The floor is Python's own smtplib sending 1,000 messages of
// the same size to the same server over one connection (BM_AvvisiSmtplib), timed inside
// Python so its start-up is not counted, with Nagle's delay turned off as curl does.
#include "mail/core/InvioAvvisi.h"
#include "mail/core/Messaggio.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {
constexpr int Avvisi = 1000;

struct ServerPosta {
    QTemporaryDir dir;
    QProcess processo;
    int porta = 0;
    QString posta;

    ServerPosta()
    {
        posta = QDir(dir.path()).filePath(QStringLiteral("posta"));
        QDir().mkpath(posta);
        processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processo.start(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral(QUORVEL_SMTP_PROVA), QStringLiteral("--cartella"), posta,
                        QStringLiteral("--senza-analisi")});
        if (!processo.waitForStarted(10000))
            return;
        QElapsedTimer t;
        t.start();
        while (!processo.canReadLine() && t.elapsed() < 20000 &&
               processo.state() == QProcess::Running)
            processo.waitForReadyRead(1000);
        const QList<QByteArray> r = processo.readLine().trimmed().split(' ');
        if (r.size() == 4)
            porta = r[1].toInt();
    }
    ~ServerPosta()
    {
        processo.closeWriteChannel();
        if (!processo.waitForFinished(10000))
            processo.kill();
        processo.waitForFinished(5000);
    }
    void Svuota() const
    {
        for (const QString &n : QDir(posta).entryList(QDir::Files))
            QFile::remove(QDir(posta).filePath(n));
    }
};

ServerPosta &Server()
{
    static ServerPosta s;
    return s;
}

std::vector<TAvviso> Elenco()
{
    std::vector<TAvviso> r;
    for (int i = 1; i <= Avvisi; ++i) {
        TAvviso a;
        a.posizione = i;
        a.nome = QStringLiteral("SOCIO NUMERO %1 CALÒ").arg(i);
        a.indirizzo = QStringLiteral("socio%1@esempio.it").arg(i);
        a.numTessera = QStringLiteral("T%1").arg(i, 5, 10, QLatin1Char('0'));
        a.dataRil = QStringLiteral("01/07/2024");
        a.dataScade = QStringLiteral("30/06/2025");
        r.push_back(a);
    }
    return r;
}
} // namespace

static void BM_AvvisiMille(benchmark::State &state)
{
    ServerPosta &s = Server();
    if (s.porta == 0) {
        state.SkipWithError("SMTP server did not start");
        return;
    }
    TImpostazioniPosta p;
    p.server = QStringLiteral("127.0.0.1");
    p.porta = s.porta;
    p.sicurezza = Sicurezza::Nessuna;
    p.utente = QStringLiteral("quorvel");
    p.password = QStringLiteral("segreta");
    p.mittente = QStringLiteral("segreteria@prova.it");
    p.nomeMittente = QStringLiteral("Associazione Prova");
    const std::vector<TAvviso> avvisi = Elenco();
    qint64 gapMassimo = 0;
    int connessioni = 0, inviati = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.Svuota();
        QTemporaryDir cartella;
        auto *invio = new TInvioAvvisi(p, avvisi, cartella.path(), QDateTime::currentDateTime());
        QThread filo;
        invio->moveToThread(&filo);
        QProgressBar barra;
        barra.setRange(0, Avvisi);
        barra.show();
        QEventLoop ciclo;
        // As on the screen: the bar follows, on this thread, what the worker reports.
        invio->ImpostaAvanzamento([&barra](qint64 fatti, qint64) {
            QMetaObject::invokeMethod(
                &barra, [&barra, fatti] { barra.setValue(int(fatti)); }, Qt::QueuedConnection);
            return true;
        });
        QObject::connect(invio, &TInvioAvvisi::Concluso, &ciclo, &QEventLoop::quit);
        QObject::connect(&filo, &QThread::started, invio, &TInvioAvvisi::Esegui);
        QTimer tic;
        tic.setTimerType(Qt::PreciseTimer);
        tic.setInterval(5);
        QElapsedTimer orologio;
        qint64 ultimo = 0;
        QObject::connect(&tic, &QTimer::timeout, [&] {
            const qint64 ora = orologio.elapsed();
            gapMassimo = std::max(gapMassimo, ora - ultimo);
            ultimo = ora;
        });
        state.ResumeTiming();
        orologio.start();
        tic.start();
        filo.start();
        ciclo.exec();
        tic.stop();
        filo.quit();
        filo.wait();
        state.PauseTiming();
        inviati = invio->Esito().inviati;
        connessioni = invio->Esito().connessioni;
        delete invio;
        state.ResumeTiming();
    }
    if (inviati != Avvisi)
        state.SkipWithError("not every reminder was accepted");
    state.counters["messaggi_al_s"] =
        benchmark::Counter(static_cast<double>(Avvisi) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["gap_max_ms"] = static_cast<double>(gapMassimo);
    state.counters["connessioni"] = connessioni;
}
BENCHMARK(BM_AvvisiMille)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

static void BM_AvvisiSmtplib(benchmark::State &state)
{
    ServerPosta &s = Server();
    if (s.porta == 0) {
        state.SkipWithError("SMTP server did not start");
        return;
    }
    // The same message size as ours: one of our composed messages as the template.
    PostaElettronica::TMessaggio m;
    m.nomeMittente = QStringLiteral("Associazione Prova");
    m.mittente = QStringLiteral("segreteria@prova.it");
    m.nomeDestinatario = QStringLiteral("SOCIO NUMERO 1000 CALÒ");
    m.destinatario = QStringLiteral("socio1000@esempio.it");
    TAvviso a;
    a.nome = m.nomeDestinatario;
    a.numTessera = QStringLiteral("T01000");
    a.dataRil = QStringLiteral("01/07/2024");
    a.dataScade = QStringLiteral("30/06/2025");
    const PostaElettronica::TTestoAvviso testo =
        PostaElettronica::ComponiAvviso(TModelloAvviso::Predefinito(), a, m.nomeMittente);
    m.oggetto = testo.oggetto;
    m.corpo = testo.corpo;
    const QByteArray modello = PostaElettronica::Componi(m, QDateTime::currentDateTime());
    const QString script =
        QStringLiteral(
            "import smtplib,socket,sys,time\n"
            "msg=sys.stdin.buffer.read()\n"
            "s=smtplib.SMTP('127.0.0.1',%1); s.login('quorvel','segreta')\n"
            "s.sock.setsockopt(socket.IPPROTO_TCP,socket.TCP_NODELAY,1)\n"
            "t=time.perf_counter()\n"
            "for i in range(%2): s.sendmail('segreteria@prova.it',['socio%d@esempio.it'%i],msg)\n"
            "t=time.perf_counter()-t\n"
            "s.quit(); print(t)\n")
            .arg(s.porta)
            .arg(Avvisi);
    for (auto _ : state) {
        s.Svuota();
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script});
        py.write(modello);
        py.closeWriteChannel();
        if (!py.waitForFinished(120000) || py.exitCode() != 0) {
            state.SkipWithError("smtplib run failed");
            return;
        }
        state.SetIterationTime(py.readAllStandardOutput().trimmed().toDouble());
    }
    state.counters["messaggi_al_s"] =
        benchmark::Counter(static_cast<double>(Avvisi) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AvvisiSmtplib)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
