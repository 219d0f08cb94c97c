#include "lists/Consegna.h"

#include "platform/Piattaforma.h"
#include "storage/Deposito.h"

#include <QWidget>

namespace Consegna {

char Slot(const QString &modo)
{
    static const QString prefisso = QStringLiteral("tessere_0");
    if (modo.size() != prefisso.size() + 1 || !modo.startsWith(prefisso))
        return 0;
    const char16_t c = modo.back().unicode();
    return (c >= u'1' && c <= u'9') ? static_cast<char>('A' + (c - u'1')) : 0;
}

int IndiceSlot(const QString &modo)
{
    const char lettera = Slot(modo);
    return lettera ? lettera - 'A' : -1;
}

QImage Foto(int posizione)
{
    // A folder that cannot be opened shows no photo, as a missing one.
    try {
        return ApriDeposito(Piattaforma::CartellaProgramma())->LeggiFoto(posizione);
    } catch (const ErroreFile &) {
        return QImage();
    }
}

void ConsegnaScheda(QWidget *apritore, const QString &modo, int posizione)
{
    auto *a = dynamic_cast<TApritoreRicerca *>(apritore);
    TRiceventeScheda *ricevente = a ? a->RiceventeScheda(modo) : nullptr;
    if (!ricevente)
        return;
    // A record that is no longer there fails here, silently, before the receiver
    // would report it; the archive is closed again before the receiver acts.
    TScheda scheda;
    {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        scheda = deposito->LeggiScheda(posizione);
    }
    ricevente->RiceviScheda(scheda, posizione);
}

} // namespace Consegna
