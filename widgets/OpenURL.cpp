#include "widgets/OpenURL.h"

#include "platform/Piattaforma.h"

bool TMisc::Open(const QString &sCommand)
{
    return Piattaforma::Apri(sCommand);
}
