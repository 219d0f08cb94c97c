// Import of 100,000 members into an empty archive (reading, mapping, checks, append),
// from a CSV file and from the same rows as XLSX, with the process's peak memory.
// The floor: LibreOffice converting the same XLSX to CSV headless, in the same run.
#include "archive/Archivio.h"
#include "bench/Dati.h"
#include "import/core/Foglio.h"
#include "import/core/Importazione.h"
#include "lists/core/Esportazione.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

QString CartellaImportazione()
{
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("quorvel-bench-importa-v%1").arg(VersioneDati));
}

namespace {

constexpr int Righe = 100000;

QString Cartella()
{
    return CartellaImportazione();
}

// Runs LibreOffice headless on one file; the elapsed milliseconds, or -1.
double Converti(const QString &filtro, const QString &file, const QString &uscita,
                const QString &infiltro = QString())
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return -1;
    QStringList argomenti = {
        QStringLiteral("-env:UserInstallation=") +
            QUrl::fromLocalFile(QDir(Cartella()).filePath("profilo")).toString(),
        QStringLiteral("--headless"), QStringLiteral("--norestore")};
    if (!infiltro.isEmpty())
        argomenti << QStringLiteral("--infilter=") + infiltro;
    argomenti << QStringLiteral("--convert-to") << filtro << QStringLiteral("--outdir") << uscita
              << file;
    QProcess lo;
    QElapsedTimer t;
    t.start();
    lo.start(soffice, argomenti);
    if (!lo.waitForFinished(-1) || lo.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

// The export's 25 columns of the synthetic archive of n records as a CSV file
// (semicolons, quoted); false when it cannot be written.
bool ScriviCsv(int n, const QString &csv)
{
    TModelloRecords griglia;
    griglia.Riempi(CartellaConArchivio(n));
    QFile f(csv + QStringLiteral(".tmp"));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    auto cella = [](QString t) { return u'"' + t.replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    QStringList riga;
    for (const ColonnaFile &c : ColonneEsportate)
        riga << cella(QString::fromUtf8(c.titolo));
    f.write(riga.join(u';').toUtf8() + "\r\n");
    for (int r = 0; r < griglia.rowCount(); ++r) {
        riga.clear();
        for (int c = 1; c <= ColonneFile; ++c)
            riga << cella(griglia.Cella(r, c));
        f.write(riga.join(u';').toUtf8() + "\r\n");
    }
    f.close();
    return QFile::rename(csv + QStringLiteral(".tmp"), csv);
}

} // namespace

// The export's 25 columns of the synthetic archive as a CSV file (semicolons, quoted),
// and the same rows as XLSX written by LibreOffice. Made once and kept for later runs.
bool PreparaFileImportazione()
{
    static bool fatto = false;
    if (fatto)
        return true;
    const QDir d(Cartella());
    QDir().mkpath(d.path());
    const QString csv = d.filePath(QStringLiteral("soci.csv"));
    if (!QFile::exists(csv) && !ScriviCsv(Righe, csv))
        return false;
    const QString xlsx = d.filePath(QStringLiteral("soci.xlsx"));
    if (!QFile::exists(xlsx) &&
        Converti(QStringLiteral("xlsx"), csv, d.path(),
                 QStringLiteral("Text - txt - csv (StarCalc):59,34,76,1")) < 0)
        return false;
    fatto = QFile::exists(xlsx);
    return fatto;
}

namespace {

bool PreparaFile()
{
    return PreparaFileImportazione();
}

void Importa(benchmark::State &state, const QString &nome, int righe = Righe)
{
    if (!PreparaFile()) {
        state.SkipWithError("the fixture files could not be made (LibreOffice missing?)");
        return;
    }
    Importazione::Richiesta r;
    r.percorso = QDir(Cartella()).filePath(nome);
    QStringList intestazioni;
    ApriFoglio(r.percorso)->Leggi(0, [&](int, QStringList &celle) {
        intestazioni = celle;
        return false;
    });
    r.colonne = Importazione::Abbina(intestazioni);
    double picco = 0, importate = 0, scartate = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir vuota;
        AzzeraPicco();
        state.ResumeTiming();
        const Importazione::Esito e = Importazione::Importa(vuota.path(), r, true);
        state.PauseTiming();
        importate = e.importate;
        scartate = e.scartate;
        picco = std::max(picco, PiccoMemoria());
        state.ResumeTiming();
    }
    state.counters["righe"] = importate;
    state.counters["scartate"] = scartate;
    state.counters["picco_MB"] = picco / 1e6;
    state.SetItemsProcessed(state.iterations() * righe);
}

} // namespace

static void BM_ImportaCsv(benchmark::State &state)
{
    Importa(state, QStringLiteral("soci.csv"));
}
BENCHMARK(BM_ImportaCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

// A million rows: the file is made from the million-record archive once and kept.
static void BM_ImportaCsvMilione(benchmark::State &state)
{
    constexpr int Milione = 1000000;
    QDir().mkpath(Cartella());
    const QString csv = QDir(Cartella()).filePath(QStringLiteral("soci-1000000.csv"));
    if (!QFile::exists(csv) && !ScriviCsv(Milione, csv)) {
        state.SkipWithError("the fixture file could not be made");
        return;
    }
    Importa(state, QStringLiteral("soci-1000000.csv"), Milione);
}
BENCHMARK(BM_ImportaCsvMilione)->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_ImportaXlsx(benchmark::State &state)
{
    Importa(state, QStringLiteral("soci.xlsx"));
}
BENCHMARK(BM_ImportaXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: LibreOffice's headless conversion of the same XLSX to CSV.
static void BM_LibreOfficeXlsxCsv(benchmark::State &state)
{
    if (!PreparaFile()) {
        state.SkipWithError("the fixture files could not be made (LibreOffice missing?)");
        return;
    }
    QTemporaryDir uscita;
    double minimo = 1e300, cpu = 0;
    // CPU time of the children, to compare with ours on a busy machine.
    auto cpuFigli = [] {
        rusage u{};
        getrusage(RUSAGE_CHILDREN, &u);
        return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
                double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3);
    };
    for (auto _ : state) {
        const double prima = cpuFigli();
        const double ms =
            Converti(QStringLiteral("csv"), QDir(Cartella()).filePath(QStringLiteral("soci.xlsx")),
                     uscita.path());
        cpu += cpuFigli() - prima;
        if (ms < 0) {
            state.SkipWithError("LibreOffice failed");
            return;
        }
        minimo = std::min(minimo, ms);
    }
    state.counters["minimo_ms"] = minimo;
    state.counters["cpu_ms"] = cpu / double(state.iterations());
}
BENCHMARK(BM_LibreOfficeXlsxCsv)->Unit(benchmark::kMillisecond)->Iterations(2);
