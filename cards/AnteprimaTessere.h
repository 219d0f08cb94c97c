#pragma once
// Screen "Anteprima di stampa" of the nine-card sheet: the sheet of the nine-card
// screen in the preview window, whose print button prints the same sheet.
#include "cards/FinestraStampa.h"
#include "cards/core/ModelloTessera.h"

#include <array>

class TfrmAnteprimaTessere : public TFinestraStampa {
    Q_OBJECT
public:
    explicit TfrmAnteprimaTessere(QWidget *parent = nullptr);

    // The nine cards, slot A to I, as the nine-card screen gives them.
    void ImpostaTessere(const std::array<TDatiTessera, 9> &tessere) { m_tessere = tessere; }

protected:
    void Riempi() override;

private:
    std::array<TDatiTessera, 9> m_tessere;
};
