// A list of a million lines on screen: the find in the renewal list (a key that no line
// holds, so every line is searched) and the jump to the end of the search result, each
// timed from the click or the key press until the view has drawn its lines.
#include "bench/Dati.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Simulazione.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {
constexpr int Schede = 1000000;
}

static void BM_TrovaRinnovoMilione(benchmark::State &state)
{
    Simulazione sim(CartellaConArchivio(Schede));
    sim.oggi = QDate(2030, 1, 1); // every card not cancelled is due
    TfrmSospesi w;
    w.show();
    auto *lst = w.findChild<QListView *>(QStringLiteral("lstRecords"));
    auto *trova = w.findChild<QPushButton *>(QStringLiteral("btnTrova"));
    w.findChild<QLineEdit *>(QStringLiteral("txtTrova"))->setText(QStringLiteral("nessuno"));
    for (auto _ : state) {
        trova->click();
        benchmark::DoNotOptimize(lst->viewport()->grab());
    }
    state.counters["righe"] = lst->model()->rowCount();
}
BENCHMARK(BM_TrovaRinnovoMilione)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

static void BM_FineElencoMilione(benchmark::State &state)
{
    Simulazione sim(CartellaConArchivio(Schede));
    TfrmTrovaAnagrafica w;
    w.show();
    w.findChild<QPushButton *>(QStringLiteral("btnCerca"))->click();
    auto *lst = w.findChild<QListView *>(QStringLiteral("lstRecords"));
    lst->setFocus();
    bool fine = false;
    for (auto _ : state) {
        // End and Home in turn: each press moves to the other end of the list.
        QKeyEvent premuto(QEvent::KeyPress, fine ? Qt::Key_Home : Qt::Key_End, Qt::NoModifier);
        QApplication::sendEvent(lst, &premuto);
        benchmark::DoNotOptimize(lst->viewport()->grab());
        fine = !fine;
    }
    state.counters["righe"] = lst->model()->rowCount();
    QKeyEvent fondo(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(lst, &fondo);
    // The last line the view shows after End, to see it went to the end.
    state.counters["ultima_vista"] = lst->indexAt(QPoint(4, lst->viewport()->height() - 4)).row();
}
BENCHMARK(BM_FineElencoMilione)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
