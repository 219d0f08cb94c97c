#pragma once
// Screen "Controllo codice fiscale": tells whether an Italian fiscal code has the
// right check character.
#include "checks/Strumento.h"

class TfrmCodFisc : public TfrmStrumento {
    Q_OBJECT
public:
    explicit TfrmCodFisc(QWidget *parent = nullptr);

protected:
    Esito Controlla(const QString &testo) const override;
};
