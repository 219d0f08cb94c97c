#pragma once
// Synthetic archive: realistic Italian members, deterministic for a given seed.
#include "archive/Scheda.h"

#include <QString>

TScheda SchedaSintetica(int indice);
// Writes n records to the file (replacing it).
void GeneraArchivio(const QString &percorso, int n);
// An archive of n records in a temporary folder kept for the run; returns the folder.
QString CartellaConArchivio(int n);
