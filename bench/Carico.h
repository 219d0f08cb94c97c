#pragma once
// The load program's desk (one process each) and what the coordinator gathers from the
// desks' reports: latencies per action, what was done and not done, and the checks.
#include "storage/ConnessioneServer.h"

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace Carico {

// One desk until `fine` (ms since the epoch), writing a line per action to stdout:
//   L <action> <ms> <1 done|0 not done> <when, ms since the epoch>, M <position> <version> <mark>
//   for an edit done, Q <position> for a conflict (the question a desk would see), X <position>
//   <mark> for an edit not done, A <position> for an append done, E <action> <message> for a
//   failure.
int Sportello(TParametriServer server, const QString &utente, const QString &password, int numero,
              qint64 fine, int schede, int calde);

struct Conteggio {
    qint64 righe = 0, massima = 0, ultima = 0; // count(*), max(posizione), contatore.ultima
};

// A record's version and Note field.
using Versioni = std::map<int, std::pair<qint64, QString>>;

struct Raccolta {
    std::map<QString, std::vector<double>> fatte; // ms of each action done, by kind
    std::map<QString, int> nonFatte;
    int domande = 0;
    std::map<int, std::vector<std::pair<qint64, QString>>> modifiche; // by position
    std::map<int, QStringList> modificheNonFatte;                     // their marks
    std::vector<int> accodate;
    QStringList errori, problemi;
    // With a restart: per desk, ms from the restart's end to its first action done after
    // it (-1: none).
    std::vector<qint64> ripresa;

    // One desk's report; `riavvio` the time the server's restart ended (0: none).
    void Leggi(const QString &testo, qint64 riavvio);
    // Every edit done is one version step of its record, none twice; steps without an edit
    // done belong to edits reported not done; appends done are there; positions are 1..n.
    void Verifica(qint64 righePrima, const Conteggio &dopo, const Versioni &prima,
                  const Versioni &ora);
    QString Rapporto(int secondi) const;
};

} // namespace Carico
