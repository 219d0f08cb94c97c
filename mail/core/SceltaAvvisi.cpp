#include "mail/core/SceltaAvvisi.h"

#include "mail/core/RegistroAvvisi.h"

#include <algorithm>

int TSceltaAvvisi::Saltati(MotivoSalto motivo) const
{
    return static_cast<int>(
        std::count_if(saltati.cbegin(), saltati.cend(),
                      [motivo](const TSaltato &s) { return s.motivo == motivo; }));
}

QString TestoMotivo(MotivoSalto motivo, int giorni)
{
    switch (motivo) {
    case MotivoSalto::Annullata:
        return QStringLiteral("tessera annullata");
    case MotivoSalto::SenzaIndirizzo:
        return QStringLiteral("senza indirizzo e-mail");
    case MotivoSalto::IndirizzoNonValido:
        return QStringLiteral("indirizzo e-mail non valido");
    case MotivoSalto::AvvisatoDiRecente:
        // With 0 days only a reminder dated after today holds a member back.
        if (giorni <= 0)
            return QStringLiteral("gi\u00E0 avvisato con una data successiva a oggi");
        return giorni == 1 ? QStringLiteral("gi\u00E0 avvisato nell'ultimo giorno")
                           : QStringLiteral("gi\u00E0 avvisato negli ultimi %1 giorni").arg(giorni);
    case MotivoSalto::RinnovatoDopoAvviso:
        return QStringLiteral("rinnovato dopo l'ultimo avviso");
    }
    return {};
}

TSceltaAvvisi ScegliDestinatari(const std::vector<TAvviso> &tesserati,
                                const QHash<QString, QDate> &ultimi, const QDate &oggi, int giorni,
                                bool includiRecenti, const QHash<int, QDate> &rinnovati)
{
    TSceltaAvvisi r;
    for (TAvviso a : tesserati) {
        a.indirizzo = a.indirizzo.trimmed();
        const auto salta = [&](MotivoSalto m) { r.saltati.push_back({a, m}); };
        if (a.annullata) {
            salta(MotivoSalto::Annullata);
            continue;
        }
        if (a.indirizzo.isEmpty()) {
            salta(MotivoSalto::SenzaIndirizzo);
            continue;
        }
        if (!PostaElettronica::IndirizzoValido(a.indirizzo)) {
            salta(MotivoSalto::IndirizzoNonValido);
            continue;
        }
        const auto i = ultimi.constFind(RegistroAvvisi::Chiave(a.posizione, a.nome));
        const auto rinnovo = rinnovati.constFind(a.posizione);
        if (i != ultimi.constEnd() && rinnovo != rinnovati.constEnd() && *rinnovo >= *i) {
            salta(MotivoSalto::RinnovatoDopoAvviso);
            continue;
        }
        if (i != ultimi.constEnd() && i->daysTo(oggi) < giorni) {
            if (!includiRecenti) {
                salta(MotivoSalto::AvvisatoDiRecente);
                continue;
            }
            ++r.recentiInclusi;
        }
        r.daAvvisare.push_back(std::move(a));
    }
    return r;
}
