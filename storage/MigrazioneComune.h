#pragma once
// What the three ways of the migration share: the folder as the move sees it, and the
// comparison of a folder with the server (storage/Migrazione.h).
#include "archive/Scheda.h"
#include "mail/core/RegistroAvvisi.h"
#include "storage/Migrazione.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSqlQuery>

namespace Migrazione::Interno {

// The archive's part of a folder, each file by path; nothing is read whole but the log.
struct TCartella {
    QString cartella;
    int schede = 0;
    QMap<int, QString> foto;          // position -> "<n>.jpg"
    QMap<QString, QString> documenti; // plain name -> file in "Documenti_Allegati"
    QString logo;                     // "Logo.jpg", empty when missing
    QList<std::pair<QString, QString>> impostazioni;
    QList<RegistroAvvisi::TRigaAvviso> avvisi;
    QStringList saltati;
    QStringList nul; // "scheda N, campo X" for each text holding U+0000
};

// Reads what the folder holds; throws ErroreFile when it holds no archive or a part of it
// cannot be read.
TCartella LeggiCartella(const QString &cartella, bool nulComePunto);
// The field's text as the server keeps it.
QString Valore(const TScheda &s, Campo c, bool nulComePunto);
// The SHA-256 of a file; throws ErroreFile when it cannot be read.
QByteArray Impronta(const QString &percorso);
// Runs `q` (prepared, or `sql` when given); throws ErroreFile naming `azione`.
void Esegui(QSqlQuery &q, const QString &azione, const QString &sql = QString());
// The organization data and card options as the server keeps them, by key.
QHash<QString, QString> LeggiImpostazioniEnte(QSqlQuery &q);
// The reminder log as the server keeps it, in order.
QList<RegistroAvvisi::TRigaAvviso> LeggiRegistroServer(QSqlQuery &q);
// Every difference between the folder and what the connection sees, one line each.
QStringList Confronta(QSqlDatabase db, const TCartella &c, bool nulComePunto,
                      const std::function<bool()> &passo);
// The units of progress a comparison of `c` makes.
inline qint64 Unita(const TCartella &c)
{
    return c.schede + c.foto.size() + c.documenti.size();
}

} // namespace Migrazione::Interno
