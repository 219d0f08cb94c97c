#include "platform/StatoSimulazione.h"

namespace {
StatoSimulazione *g_attiva = nullptr;
}

StatoSimulazione::StatoSimulazione(const QString &cartellaProgramma) : cartella(cartellaProgramma)
{
    g_attiva = this;
}

StatoSimulazione::~StatoSimulazione()
{
    if (g_attiva == this)
        g_attiva = nullptr;
}

StatoSimulazione *StatoSimulazione::Attiva()
{
    return g_attiva;
}

QString StatoSimulazione::UltimoMessaggio() const
{
    return messaggi.isEmpty() ? QString() : messaggi.constLast().testo;
}

Piattaforma::Forma StatoSimulazione::UltimaForma() const
{
    return messaggi.isEmpty() ? Piattaforma::Forma::Messaggio : messaggi.constLast().forma;
}
