// The list "Riepilogo quote" of a year holding 100,000 payments, through its screen (read
// off the window's thread, lines and totals by method and month), beside its floor: the
// folder's register read alone, each entry visited and dropped. The register's own sums
// (one GROUP BY in SQLite) are measured too, for reference.
#include "lists/RiepilogoQuote.h"
#include "platform/Simulazione.h"
#include "storage/Deposito.h"
#include "storage/RegistroQuoteFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

constexpr int Pagamenti = 100000;
const QDate Dal(2026, 1, 1), Al(2026, 12, 31);

// A folder whose register holds the payments, spread over 2026 with the five methods;
// made once and kept for later runs.
QString CartellaConQuote()
{
    const QString cartella =
        QDir::temp().filePath(QStringLiteral("quorvel-bench-quote-%1").arg(Pagamenti));
    const QString fatto = QDir(cartella).filePath(QStringLiteral("pronto"));
    if (QFile::exists(fatto))
        return cartella;
    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    const QString metodi[] = {QStringLiteral("Contanti"), QStringLiteral("Bonifico"),
                              QStringLiteral("Carta/POS"), QStringLiteral("Assegno"),
                              QStringLiteral("Altro")};
    {
        TRegistroQuoteFile registro(cartella);
        constexpr int Blocco = 5000;
        std::vector<TDeposito::TRinnovo> rinnovi(Blocco);
        for (int inizio = 0; inizio < Pagamenti; inizio += Blocco) {
            for (int k = 0; k < Blocco; ++k) {
                const int i = inizio + k;
                TDeposito::TRinnovo &r = rinnovi[size_t(k)];
                r.posizione = i + 1;
                TPagamento &p = r.pagamento;
                p.data = Dal.addDays(i % 365);
                p.tessera = QString::number(i + 1);
                p.nominativo = QStringLiteral("SOCIO NUMERO %1").arg(i + 1);
                p.centesimi = 1500 + (i % 7) * 500;
                p.metodo = metodi[i % 5];
                p.dal = p.data;
                p.al = p.data.addYears(1).addDays(-1);
                p.causale = QStringLiteral("Quota associativa 2026");
                p.inseritoDa = QStringLiteral("segreteria");
            }
            std::vector<qint64> id;
            for (const TPagamento &p : registro.RegistraInSospeso(rinnovi))
                id.push_back(p.id);
            registro.Concludi(id);
        }
    }
    QFile f(fatto);
    f.open(QIODevice::WriteOnly);
    return cartella;
}

} // namespace

static void BM_RiepilogoQuote(benchmark::State &state)
{
    Simulazione sim(CartellaConQuote());
    TfrmRiepilogoQuote w;
    w.findChild<QLineEdit *>(QStringLiteral("txtDal"))->setText(QStringLiteral("01/01/2026"));
    w.findChild<QLineEdit *>(QStringLiteral("txtAl"))->setText(QStringLiteral("31/12/2026"));
    auto *mostra = w.findChild<QPushButton *>(QStringLiteral("cmdMostra"));
    QString totale;
    for (auto _ : state) {
        mostra->click();
        while (w.InLettura())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        totale = w.findChild<QLabel *>(QStringLiteral("lblTotale"))->text();
    }
    if (!totale.startsWith(QStringLiteral("Totale del periodo: 100000 ricevute")))
        state.SkipWithError(qPrintable(totale));
    state.counters["pagamenti"] = Pagamenti;
}
BENCHMARK(BM_RiepilogoQuote)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The floor: the same entries read from the register and dropped.
static void BM_RiepilogoQuoteRegistro(benchmark::State &state)
{
    const QString cartella = CartellaConQuote();
    int letti = 0;
    for (auto _ : state) {
        letti = 0;
        const auto deposito = ApriDeposito(cartella);
        deposito->ScorriPagamenti(Dal, Al, [&letti](const TPagamento &) {
            ++letti;
            return true;
        });
        benchmark::DoNotOptimize(letti);
    }
    if (letti != Pagamenti)
        state.SkipWithError("not every payment was read");
}
BENCHMARK(BM_RiepilogoQuoteRegistro)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The register's sums by month and method, computed by SQLite.
static void BM_RiepilogoQuoteSommeSql(benchmark::State &state)
{
    const QString cartella = CartellaConQuote();
    size_t gruppi = 0;
    for (auto _ : state) {
        const auto deposito = ApriDeposito(cartella);
        benchmark::DoNotOptimize(gruppi = deposito->TotaliPagamenti(Dal, Al).size());
    }
    state.counters["gruppi"] = double(gruppi);
}
BENCHMARK(BM_RiepilogoQuoteSommeSql)->Unit(benchmark::kMillisecond)->MinTime(3.0);
