// Decrypt on any text: an error for non-hex pairs, never a crash; valid input round-trips.
#include "shell/core/Crypt.h"

#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString testo =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const QString chiaro = Crypt::Decrypt(testo);
        if (chiaro.size() != testo.size() / 2)
            std::abort();
        const QString di_nuovo = Crypt::Encrypt(chiaro);
        if (di_nuovo.compare(testo.left(chiaro.size() * 2), Qt::CaseInsensitive) != 0)
            std::abort();
    } catch (const std::invalid_argument &) {
    }
    const QString cifrato = Crypt::Encrypt(testo.left(255));
    if (Crypt::Decrypt(cifrato) != testo.left(255))
        std::abort();
    return 0;
}
