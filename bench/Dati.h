#pragma once
// Synthetic archive: realistic Italian members, deterministic for a given seed.
#include "archive/Scheda.h"

#include <QString>

// The generator's edition: the folders of made archives and files carry it, so a change
// in the generator never meets files made by an earlier one.
inline constexpr int VersioneDati = 2;

TScheda SchedaSintetica(int indice);
// Writes n records to the file (replacing it).
void GeneraArchivio(const QString &percorso, int n);
// Peak resident memory of the process in bytes (VmHWM), and its reset to the current size.
double PiccoMemoria();
void AzzeraPicco();

// An archive of n records in a temporary folder kept for the run; returns the folder.
QString CartellaConArchivio(int n);

// The folder of the import benchmarks' files, and those files (soci.csv: the export's
// columns of 100,000 synthetic members; soci.xlsx), made once; false when they cannot be.
QString CartellaImportazione();
bool PreparaFileImportazione();
