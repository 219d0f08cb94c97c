// One list as a user gets it, in a process of its own so it is timed whole from outside:
// quorvel_elenco cerca|rinnovo FOLDER opens the search (and presses Cerca) or the renewal
// list on the folder's archive, then prints the lines listed and the process's peak
// resident memory in bytes.
#include "bench/Dati.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Applicazione.h"
#include "platform/Simulazione.h"

#include <QListView>
#include <QPushButton>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "cerca") != 0 && std::strcmp(argv[1], "rinnovo") != 0)) {
        std::fprintf(stderr, "usage: quorvel_elenco cerca|rinnovo FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplicazione app(argc, argv);
    Simulazione sim(QString::fromLocal8Bit(argv[2]));
    sim.oggi = QDate(2027, 1, 1); // a day by which part of the synthetic cards are due
    int righe = 0;
    if (std::strcmp(argv[1], "cerca") == 0) {
        TfrmTrovaAnagrafica w;
        w.show();
        w.findChild<QPushButton *>(QStringLiteral("btnCerca"))->click();
        righe = w.findChild<QListView *>(QStringLiteral("lstRecords"))->model()->rowCount();
    } else {
        TfrmSospesi w;
        w.show();
        righe = w.findChild<QListView *>(QStringLiteral("lstRecords"))->model()->rowCount();
    }
    std::printf("%d %.0f\n", righe, PiccoMemoria());
    return 0;
}
