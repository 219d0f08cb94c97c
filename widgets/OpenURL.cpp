#include "widgets/OpenURL.h"

#include "platform/Piattaforma.h"

void TMisc::Open(const QString &sCommand)
{
    Piattaforma::Apri(sCommand);
}
