#include "platform/Simulazione.h"

namespace {
Simulazione *g_attiva = nullptr;
}

Simulazione::Simulazione(const QString &cartellaProgramma) : cartella(cartellaProgramma)
{
    g_attiva = this;
}

Simulazione::~Simulazione()
{
    if (g_attiva == this)
        g_attiva = nullptr;
}

Simulazione *Simulazione::Attiva()
{
    return g_attiva;
}

QString Simulazione::UltimoMessaggio() const
{
    return messaggi.isEmpty() ? QString() : messaggi.constLast().testo;
}

Piattaforma::Forma Simulazione::UltimaForma() const
{
    return messaggi.isEmpty() ? Piattaforma::Forma::Messaggio : messaggi.constLast().forma;
}
