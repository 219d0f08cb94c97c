#pragma once
// Screen "Controllo partita IVA": tells whether an Italian VAT number has the
// right check digit and which VAT office issued it.
#include "checks/Strumento.h"

class TfrmPartitaIva : public TfrmStrumento {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(QWidget *parent = nullptr);

protected:
    Esito Controlla(const QString &testo) const override;
};
