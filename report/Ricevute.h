#pragma once
// Receipts of the fee register, one A5 page each: printed, saved as PDF or sent by e-mail.
#include "archive/Pagamento.h"

#include <vector>

class QWidget;

namespace Ricevute {
// Asks how the receipts go to the members (print, save as PDF, send by e-mail) and does
// it, saying through the platform layer what could not be done.
void Consegna(QWidget *padre, const std::vector<TPagamento> &pagamenti);
} // namespace Ricevute
