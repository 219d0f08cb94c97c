#include "shell/Partenza.h"

#include "platform/Piattaforma.h"
#include "shell/AvvioServer.h"
#include "shell/Password.h"
#include "shell/Schermate.h"

namespace Partenza {

std::unique_ptr<TBloccoIstanza> MostraAccesso()
{
    // An installed program lays its initial password in the user's data folder first.
    Accesso::PreparaCartellaDati();
    // One copy at a time on a data folder.
    auto blocco = std::make_unique<TBloccoIstanza>(Piattaforma::CartellaProgramma());
    if (!blocco->Prendi())
        return nullptr;
    // A desk on a server connects before the first screen, or the user gives up.
    if (!AvvioServer::Prepara())
        return nullptr;
    Schermate::Crea();
    Schermate::Password()->show();
    return blocco;
}

} // namespace Partenza
