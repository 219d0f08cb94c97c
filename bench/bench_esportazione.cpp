// Export of a large archive: opening the export screen (the grid fill) and writing
// "Tesserati.xls", with the file's size and the process's peak memory against the
// archive file's size; the floor writes as many bytes to a file the same way. The same
// export from the server (BM_ServerEsportazione) needs the cluster of scripts/pg_prova.sh.
#include "archive/Archivio.h"
#include "archive/FileSicuro.h"
#include "bench/Dati.h"
#include "bench/Server.h"
#include "lists/ExpAnagrafica.h"
#include "platform/Simulazione.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <benchmark/benchmark.h>

static void BM_Esportazione(benchmark::State &state)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    const double dimensione = double(QFileInfo(TArchivio::Percorso(cartella)).size());
    double riempimento = 0, scrittura = 0, picco = 0, file = 0;
    for (auto _ : state) {
        AzzeraPicco();
        Simulazione sim(cartella);
        sim.risposte.enqueue(true);
        sim.risposte.enqueue(false);
        QElapsedTimer t;
        t.start();
        {
            TfrmExpAnagrafica w;
            w.show(); // fills the grid
            riempimento += double(t.nsecsElapsed()) / 1e6;
            t.restart();
            w.findChild<QAbstractButton *>(QStringLiteral("cmdEsporta"))->click();
            scrittura += double(t.nsecsElapsed()) / 1e6;
            w.close();
        }
        if (!sim.messaggi.isEmpty() && sim.messaggi.size() != 2)
            state.SkipWithError("the export failed");
        picco = std::max(picco, PiccoMemoria());
        file = double(QFileInfo(QDir(cartella).filePath(QStringLiteral("Tesserati.xls"))).size());
    }
    const double n = double(state.iterations());
    state.counters["riempimento_ms"] = riempimento / n;
    state.counters["scrittura_ms"] = scrittura / n;
    state.counters["file_MB"] = file / 1e6;
    state.counters["picco_MB"] = picco / 1e6;
    state.counters["archivio_MB"] = dimensione / 1e6;
    state.counters["picco_su_archivio"] = picco / dimensione;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Esportazione)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor: the bytes of the export file written in blocks of 1 MB through QSaveFile.
static void BM_EsportazioneScritturaGrezza(benchmark::State &state)
{
    const QString cartella = CartellaConArchivio(static_cast<int>(state.range(0)));
    const qint64 dimensione =
        QFileInfo(QDir(cartella).filePath(QStringLiteral("Tesserati.xls"))).size();
    if (dimensione <= 0) {
        state.SkipWithError("run BM_Esportazione first: it writes the file");
        return;
    }
    const QByteArray blocco(1 << 20, 'x');
    const QString percorso = QDir(cartella).filePath(QStringLiteral("grezzo.xls"));
    for (auto _ : state) {
        QSaveFile f(percorso);
        if (!f.open(QIODevice::WriteOnly))
            state.SkipWithError("cannot write");
        for (qint64 scritti = 0; scritti < dimensione; scritti += blocco.size())
            f.write(blocco.constData(), std::min<qint64>(blocco.size(), dimensione - scritti));
        if (!ConfermaFile(f))
            state.SkipWithError("cannot write");
    }
    QFile::remove(percorso);
    state.counters["file_MB"] = double(dimensione) / 1e6;
}
BENCHMARK(BM_EsportazioneScritturaGrezza)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The export screen of a desk on the server: the grid's pages read as shown, the file
// written from one pass in pages inside one snapshot.
static void BM_ServerEsportazione(benchmark::State &state)
{
    if (!ServerBench::Disponibile()) {
        state.SkipWithError("no server: start scripts/pg_prova.sh and set QUORVEL_PG_DIR");
        return;
    }
    ServerBench::Collega(ServerBench::ArchivioDi(static_cast<int>(state.range(0))));
    const QString cartella = ServerBench::CartellaServer();
    double picco = 0, file = 0;
    for (auto _ : state) {
        AzzeraPicco();
        Simulazione sim(cartella);
        sim.risposte.enqueue(true);
        sim.risposte.enqueue(false);
        {
            TfrmExpAnagrafica w;
            w.show();
            w.findChild<QAbstractButton *>(QStringLiteral("cmdEsporta"))->click();
            w.close();
        }
        if (sim.messaggi.size() != 2)
            state.SkipWithError("the export failed");
        picco = std::max(picco, PiccoMemoria());
        file = double(QFileInfo(QDir(cartella).filePath(QStringLiteral("Tesserati.xls"))).size());
    }
    state.counters["file_MB"] = file / 1e6;
    state.counters["picco_MB"] = picco / 1e6;
    state.SetItemsProcessed(state.iterations() * state.range(0));
    ConnessioneServer::Dimentica();
}
BENCHMARK(BM_ServerEsportazione)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
