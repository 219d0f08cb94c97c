#include "widgets/ConsiglioArchivio.h"

#include "platform/Piattaforma.h"
#include "storage/ConnessioneServer.h"

namespace ConsiglioArchivio {

bool SulServer()
{
    return ConnessioneServer::ArchivioSulServer(Piattaforma::CartellaProgramma());
}

QString Adatta(const QString &messaggio)
{
    if (!SulServer())
        return messaggio;
    QString m = messaggio;
    return m.replace(Cartella, Server);
}

} // namespace ConsiglioArchivio
