#pragma once
// What a receipt says beyond the register's entry: the amount in words and the box for
// the revenue stamp.
#include <QString>

// The amount as written on a receipt, euro in words and cents in figures: 2500 cents is
// "venticinque/00".
QString ImportoInLettere(qint64 centesimi);
// Whether the receipt carries the box for the 2 euro revenue stamp: amounts above 77,47.
bool MarcaDaBollo(qint64 centesimi);
