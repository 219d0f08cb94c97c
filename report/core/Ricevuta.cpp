#include "report/core/Ricevuta.h"

QString ImportoInLettere(qint64 centesimi)
{
    (void)centesimi;
    return {};
}

bool MarcaDaBollo(qint64 centesimi)
{
    return centesimi > 7747;
}
