#include "shell/core/PasswordIniziale.h"

#include "archive/Impostazioni.h"
#include "shell/core/Crypt.h"

#include <QFileInfo>

namespace Accesso {
bool PosaPasswordIniziale(const QString &percorso)
{
    if (QFileInfo::exists(percorso) || QFileInfo(percorso).isSymLink())
        return false;
    TFileIni ini(percorso);
    ini.Scrivi(QStringLiteral("Accesso"), QStringLiteral("Valore"),
               Crypt::Encrypt(QStringLiteral("GIRASOLIDILUNA")));
    return true;
}
} // namespace Accesso
