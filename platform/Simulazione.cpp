#include "platform/Simulazione.h"

Simulazione::Simulazione(const QString &cartellaProgramma) : StatoSimulazione(cartellaProgramma) {}

Simulazione::~Simulazione() = default;

// Every StatoSimulazione is one of these: its constructor is for this class only.
Simulazione *Simulazione::Attiva()
{
    return static_cast<Simulazione *>(StatoSimulazione::Attiva());
}
