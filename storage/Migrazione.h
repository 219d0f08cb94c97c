#pragma once
// Moving an archive folder to the server and back, each way proven by a comparison: the
// records field by field, photos and documents by their SHA-256 (computed on the server
// for what it holds), organization data, logo and reminder log. Works on a connection
// opened by the caller as a member of quorvel_proprietario, search_path quorvel. No
// widgets. Failures throw ErroreFile with the reason in Italian; nothing half done stays.
#include "archive/Errori.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

namespace Migrazione {

// Progress: units done of the total (records, photos, documents); false cancels.
using Avanzamento = std::function<bool(qint64 fatti, qint64 totale)>;

struct TOpzioni {
    // A text holding U+0000 is stored with "?" in its place instead of stopping the move.
    bool nulComePuntoInterrogativo = false;
    // The caller, the program open on the folder, holds its lock already.
    bool cartellaGiaBloccata = false;
};

struct TRapporto {
    bool riuscito = false;
    int schede = 0;
    int foto = 0;
    int documenti = 0;
    // What the folder holds that is no part of the archive: reported, never moved.
    QStringList saltati;
    // Why the move stopped, or (Verifica) every difference: one line each.
    QStringList problemi;
};

// Copies the folder into an empty archive on the server in one transaction, compared
// before COMMIT: any difference rolls back and is listed in `problemi`. Refuses a server
// that already holds records, and a folder another copy of the program holds.
TRapporto Importa(const QString &cartella, QSqlDatabase db, const TOpzioni &opzioni,
                  const Avanzamento &avanzamento);
// Writes the server's archive into `cartella`, missing or empty, from one snapshot, then
// reads it back with the folder's code and compares. On any failure the folder is left
// as it was found: nothing half written stays.
TRapporto Esporta(const QString &cartella, QSqlDatabase db, const Avanzamento &avanzamento);
// Compares the folder with the server; `problemi` lists every difference.
TRapporto Verifica(const QString &cartella, QSqlDatabase db, const TOpzioni &opzioni,
                   const Avanzamento &avanzamento);

// Makes the schema, roles and functions of `sql` (the text of sql/quorvel.sql) in the
// connected database, which must hold no archive yet and use the C locale.
void Prepara(QSqlDatabase db, const QString &sql);
// Adds a login with `password`, member of the desks' role or of the responsible one;
// an existing login gets the new password and the role.
void Utente(QSqlDatabase db, const QString &nome, const QString &password, bool responsabile);

} // namespace Migrazione
