// The archive on the PostgreSQL server over TLS on 127.0.0.1, each beside its folder twin
// in the same run: the search screen's selective search and full list (BM_RicercaUnFiltro,
// BM_RicercaTutte), an append with a 60 KB photo, the import of 100,000 rows
// (BM_ImportaCsv); and the selective search on 1,000,000 members with the process's peak
// memory. Needs the cluster of scripts/pg_prova.sh (QUORVEL_PG_DIR); skipped without it.
#include "archive/Archivio.h"
#include "bench/Dati.h"
#include "bench/Server.h"
#include "import/core/Foglio.h"
#include "import/core/Importazione.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Simulazione.h"
#include "storage/Deposito.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {
constexpr int Schede = 100000;

bool SenzaServer(benchmark::State &state)
{
    if (ServerBench::Disponibile())
        return false;
    state.SkipWithError("no server: start scripts/pg_prova.sh and set QUORVEL_PG_DIR");
    return true;
}

// The search screen of a desk on the server: types the filter (none for all), presses
// Cerca and returns the lines listed.
int CercaSulServer(const char *filtro, const QString &testo)
{
    TfrmTrovaAnagrafica w;
    w.show();
    if (filtro)
        w.findChild<QLineEdit *>(QLatin1String(filtro))->setText(testo);
    w.findChild<QPushButton *>(QStringLiteral("btnCerca"))->click();
    return w.findChild<QListView *>(QStringLiteral("lstRecords"))->model()->rowCount();
}

// A photo of about 60 KB as the archive screen would store it: a 480 x 640 picture with
// detail, JPEG at the highest quality that stays within 60 KB.
const QByteArray &Foto60KB()
{
    static const QByteArray jpeg = [] {
        QImage img(480, 640, QImage::Format_RGB32);
        QRandomGenerator r(7);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const int rumore = int(r.bounded(64));
                img.setPixel(x, y, qRgb((x / 3 + rumore) % 256, (y / 3 + rumore) % 256, 128));
            }
        QByteArray migliore;
        for (int q = 95; q > 10; --q) {
            QBuffer b;
            b.open(QIODevice::WriteOnly);
            QImageWriter w(&b, "jpg");
            w.setQuality(q);
            w.write(img);
            migliore = b.data();
            if (migliore.size() <= 60 * 1024)
                break;
        }
        return migliore;
    }();
    return jpeg;
}

} // namespace

static void BM_ServerRicercaUnFiltro(benchmark::State &state)
{
    if (SenzaServer(state))
        return;
    ServerBench::Collega(ServerBench::ArchivioDi(int(state.range(0))));
    Simulazione sim(ServerBench::CartellaServer());
    int righe = 0;
    double picco = 0;
    for (auto _ : state) {
        AzzeraPicco();
        benchmark::DoNotOptimize(righe = CercaSulServer("txtNumTessera", QStringLiteral("t01234")));
        picco = std::max(picco, PiccoMemoria());
    }
    state.counters["righe"] = righe;
    // Peak resident memory of the whole process during the search: the same for any size.
    state.counters["picco_MB"] = picco / (1024.0 * 1024.0);
    ConnessioneServer::Dimentica();
}
BENCHMARK(BM_ServerRicercaUnFiltro)
    ->Arg(Schede)
    ->Arg(10 * Schede)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

static void BM_ServerRicercaTutte(benchmark::State &state)
{
    if (SenzaServer(state))
        return;
    ServerBench::Collega(ServerBench::ArchivioDi(Schede));
    Simulazione sim(ServerBench::CartellaServer());
    int righe = 0;
    double picco = 0;
    for (auto _ : state) {
        AzzeraPicco();
        benchmark::DoNotOptimize(righe = CercaSulServer(nullptr, QString()));
        picco = std::max(picco, PiccoMemoria());
    }
    state.counters["righe"] = righe;
    state.counters["picco_MB"] = picco / (1024.0 * 1024.0);
    ConnessioneServer::Dimentica();
}
BENCHMARK(BM_ServerRicercaTutte)->Unit(benchmark::kMillisecond)->MinTime(2.0);

namespace {
// One append with its photo per iteration, as the archive screen saves a new member.
void Accoda(benchmark::State &state, const QString &cartella)
{
    const QByteArray &jpeg = Foto60KB();
    int i = Schede;
    int scritte = 0;
    for (auto _ : state) {
        bool scritta = false;
        const std::unique_ptr<TDeposito> d = ApriDeposito(cartella);
        benchmark::DoNotOptimize(d->AccodaSchedaConFoto(SchedaSintetica(i++), jpeg, &scritta));
        scritte += scritta ? 1 : 0;
    }
    state.counters["foto_KB"] = double(jpeg.size()) / 1024.0;
    state.counters["foto_scritte"] = scritte;
}
} // namespace

// The floor: the folder, on a copy of the 100,000-record archive.
static void BM_AccodaConFotoCartella(benchmark::State &state)
{
    const QString cartella =
        QDir(QDir::tempPath())
            .filePath(
                QStringLiteral("quorvel-bench-accoda-%1").arg(QCoreApplication::applicationPid()));
    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    QFile::copy(TArchivio::Percorso(CartellaConArchivio(Schede)), TArchivio::Percorso(cartella));
    Accoda(state, cartella);
    QDir(cartella).removeRecursively();
}
BENCHMARK(BM_AccodaConFotoCartella)->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_ServerAccodaConFoto(benchmark::State &state)
{
    if (SenzaServer(state))
        return;
    const QString db = ServerBench::Copia(
        ServerBench::ArchivioDi(Schede),
        QStringLiteral("bench_accoda_%1").arg(QCoreApplication::applicationPid()));
    ServerBench::Collega(db);
    Accoda(state, ServerBench::CartellaServer());
    ServerBench::Elimina(db);
}
BENCHMARK(BM_ServerAccodaConFoto)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The import of the 100,000 rows of BM_ImportaCsv into an empty archive on the server.
static void BM_ServerImportaCsv(benchmark::State &state)
{
    if (SenzaServer(state))
        return;
    if (!PreparaFileImportazione()) {
        state.SkipWithError("the fixture files could not be made (LibreOffice missing?)");
        return;
    }
    Importazione::Richiesta r;
    r.percorso = QDir(CartellaImportazione()).filePath(QStringLiteral("soci.csv"));
    QStringList intestazioni;
    ApriFoglio(r.percorso)->Leggi(0, [&](int, QStringList &celle) {
        intestazioni = celle;
        return false;
    });
    r.colonne = Importazione::Abbina(intestazioni);
    double importate = 0, picco = 0;
    int giro = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString db = ServerBench::Copia(QStringLiteral("quorvel"),
                                              QStringLiteral("bench_importa_%1_%2")
                                                  .arg(QCoreApplication::applicationPid())
                                                  .arg(++giro));
        ServerBench::Collega(db);
        AzzeraPicco();
        state.ResumeTiming();
        const Importazione::Esito e = Importazione::Importa(ServerBench::CartellaServer(), r, true);
        state.PauseTiming();
        importate = e.importate + e.scartate; // as BM_ImportaCsv counts them
        picco = std::max(picco, PiccoMemoria());
        ServerBench::Elimina(db);
        state.ResumeTiming();
    }
    state.counters["righe"] = importate;
    state.counters["picco_MB"] = picco / 1e6;
    state.SetItemsProcessed(state.iterations() * Schede);
}
BENCHMARK(BM_ServerImportaCsv)->Unit(benchmark::kMillisecond)->Iterations(3);
