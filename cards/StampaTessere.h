#pragma once
// Screen "Stampa più tessere su foglio A4": prints the nine cards of the nine-card
// screen on one landscape A4 sheet through the print dialog, all nine or only those
// with a member, at the offsets of the printer the dialog offers first.
#include "cards/FinestraStampa.h"
#include "cards/core/ModelloTessera.h"

#include <array>

class QCheckBox;

class TfrmStampaTessere : public TFinestraStampa {
    Q_OBJECT
public:
    explicit TfrmStampaTessere(QWidget *parent = nullptr);

    // The nine cards, slot A to I, as the nine-card screen gives them.
    void ImpostaTessere(const std::array<TDatiTessera, 9> &tessere) { m_tessere = tessere; }

public slots:
    // Asks about the cards first, remembers the two choices, then prints.
    void btnStampaClick() override;

protected:
    void Riempi() override;

private:
    QCheckBox *chkSoloCompilate;
    QCheckBox *chkAdatta;
    std::array<TDatiTessera, 9> m_tessere;
};
