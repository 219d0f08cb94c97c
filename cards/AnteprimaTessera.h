#pragma once
// Screen "Anteprima di stampa" of the single card: the card in the preview window,
// always portrait at 10 mm / 10 mm, whatever the stored print settings.
#include "cards/FinestraStampa.h"
#include "cards/core/ModelloTessera.h"

class TfrmAnteprimaTessera : public TFinestraStampa {
    Q_OBJECT
public:
    explicit TfrmAnteprimaTessera(QWidget *parent = nullptr);

    // The card to preview, as the single-card screen gives it.
    void ImpostaTessera(const TDatiTessera &tessera) { m_tessera = tessera; }

protected:
    void Riempi() override;

private:
    TDatiTessera m_tessera;
};
