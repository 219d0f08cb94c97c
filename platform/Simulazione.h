#pragma once
// Test seam of the platform layer. While one Simulazione lives, the platform
// services record what they would show and take their answers from its queues.
#include "platform/Piattaforma.h"
#include "platform/StatoSimulazione.h"

class Simulazione : public StatoSimulazione {
public:
    explicit Simulazione(const QString &cartellaProgramma);
    ~Simulazione();

    static Simulazione *Attiva();
};
