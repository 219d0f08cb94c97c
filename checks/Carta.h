#pragma once
// Screen "Controllo carta di credito": tells whether a card number passes the
// Luhn check and names the kind of card from its leading digits.
#include "checks/Strumento.h"

class TfrmCarta : public TfrmStrumento {
    Q_OBJECT
public:
    explicit TfrmCarta(QWidget *parent = nullptr);

protected:
    Esito Controlla(const QString &testo) const override;
};
