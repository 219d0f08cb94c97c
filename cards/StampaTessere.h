#pragma once
// Screen "Stampa più tessere su foglio A4": prints the nine cards of the nine-card
// screen on one landscape A4 sheet through the print dialog.
#include "cards/FinestraStampa.h"
#include "cards/ModelloTessera.h"

#include <array>

class TfrmStampaTessere : public TFinestraStampa {
    Q_OBJECT
public:
    explicit TfrmStampaTessere(QWidget *parent = nullptr);

    // The nine cards, slot A to I, as the nine-card screen gives them.
    void ImpostaTessere(const std::array<TDatiTessera, 9> &tessere) { m_tessere = tessere; }

protected:
    void Riempi() override;

private:
    std::array<TDatiTessera, 9> m_tessere;
};
