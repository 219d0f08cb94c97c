#pragma once
// Password scrambling: two upper-case hex digits per character, with a rolling 16-bit key.
#include <QString>

#include <stdexcept>

namespace Crypt {

// Scrambles the low 8 bits of each character.
QString Encrypt(const QString &testo);
// Unscrambles; throws std::invalid_argument when a pair is not a hexadecimal number.
// An odd last character is ignored.
QString Decrypt(const QString &testo);

} // namespace Crypt
