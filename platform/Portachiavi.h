#pragma once
// The desktop's secret store (QtKeychain), for the mail password. Every call waits at
// most a few seconds: where no secret store runs (or D-Bus never answers) it reports
// the store as unavailable instead of hanging. Tests use Simulazione's store.
#include <QString>

namespace Portachiavi {

enum class Esito { Fatto, Assente, NonDisponibile };

Esito Scrivi(const QString &chiave, const QString &segreto);
Esito Leggi(const QString &chiave, QString &segreto);
Esito Cancella(const QString &chiave);

inline constexpr int MillisecondiMassimi = 3000;

} // namespace Portachiavi
