// The four check algorithms on any text: a verdict, never a crash or a hang.
#include "checks/core/ControlliCodici.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString latin1 =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString utf8 =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &t : {latin1, utf8}) {
        (void)ControllaCodFisc(t);
        (void)ControllaPartitaIva(t);
        (void)UfficioIva(t.left(3));
        const int tipo = TipoCarta(t);
        (void)tipo;
        (void)ControllaIban(t);
        (void)ResiduoIban(t);
        (void)LettereInNumeri(t);
    }
    return 0;
}
