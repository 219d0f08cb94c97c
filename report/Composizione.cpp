#include "report/Pittore.h"
#include "report/Report.h"

bool TReport::Componi(const QDate &oggi, QStringList *errori)
{
    Q_UNUSED(oggi);
    Q_UNUSED(errori);
    m_preparate.clear();
    return true;
}
