#include "report/Ricevute.h"

namespace Ricevute {

void Consegna(QWidget *padre, const std::vector<TPagamento> &pagamenti)
{
    (void)padre;
    (void)pagamenti;
}

} // namespace Ricevute
