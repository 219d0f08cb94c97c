#pragma once
// Check algorithms of the four check tools: Italian fiscal code, Italian VAT
// number, credit-card number (Luhn) and IBAN (remainder 1 modulo 97).
#include <QMap>
#include <QString>

// True when the 16th character of a 16-character, upper-case fiscal code is the
// right check character. Characters outside "0".."Z" count 0; any length other
// than 16 answers false.
bool ControllaCodFisc(const QString &codice);

// True for exactly 11 digits with the right check digit.
bool ControllaPartitaIva(const QString &numero);
// VAT offices by three-digit code (104 entries).
const QMap<QString, QString> &UfficiIva();
// The office of a three-digit code, or an empty text when it has no entry.
QString UfficioIva(const QString &codice);

// Kind code of a card number: 0 when the digits among its first 20 characters
// fail the Luhn check (or there are none), otherwise the first digit minus 2.
int TipoCarta(const QString &numero);
// True when those digits pass the Luhn check and their first four lie in 2221-2720:
// the MasterCard numbers issued since 2017, whose kind code is 0.
bool MasterCardSerie2(const QString &numero);

// True when the text, blanks removed, has IBAN remainder 1.
bool ControllaIban(const QString &iban);
// Remainder modulo 97 after the IBAN rearrangement; 0 when the text cannot be
// read as a number.
int ResiduoIban(const QString &testo);
// Every letter "A".."Z" replaced by its two-digit number ("A" = 10 .. "Z" = 35).
QString LettereInNumeri(const QString &testo);
