#pragma once
// Who gets a renewal reminder: the members of the renewal list split into those to
// remind and those skipped, each with the reason. No widgets.
#include "mail/core/Messaggio.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <vector>

enum class MotivoSalto {
    Annullata,
    SenzaIndirizzo,
    IndirizzoNonValido,
    AvvisatoDiRecente,
    RinnovatoDopoAvviso
};

struct TSaltato {
    TAvviso avviso;
    MotivoSalto motivo;
};

struct TSceltaAvvisi {
    std::vector<TAvviso> daAvvisare;
    std::vector<TSaltato> saltati; // in the order of the list
    int recentiInclusi = 0;        // reminded recently but included on request

    int Saltati(MotivoSalto motivo) const;
};

// The reason as the log and the summary write it.
QString TestoMotivo(MotivoSalto motivo, int giorni);

// A cancelled card is never reminded; then an empty address, an address that cannot be
// used, and a member reminded fewer than `giorni` days before `oggi` (so one reminded
// exactly `giorni` days ago is reminded again; with 0 days nobody is held back, a
// reminder dated after today aside) unless `includiRecenti`. `ultimi` is the date of
// each member's last reminder, keyed as RegistroAvvisi::Chiave. A member who paid a
// renewal on or after the day of the last reminder (`rinnovati`: the day of each member's
// last renewal that stands, by position) is never reminded again.
TSceltaAvvisi ScegliDestinatari(const std::vector<TAvviso> &tesserati,
                                const QHash<QString, QDate> &ultimi, const QDate &oggi, int giorni,
                                bool includiRecenti, const QHash<int, QDate> &rinnovati = {});
