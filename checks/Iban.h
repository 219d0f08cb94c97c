#pragma once
// Screen "Controllo IBAN": tells whether an Italian IBAN passes the remainder
// check (1 modulo 97).
#include "checks/Strumento.h"

class TfrmIban : public TfrmStrumento {
    Q_OBJECT
public:
    explicit TfrmIban(QWidget *parent = nullptr);

protected:
    Esito Controlla(const QString &testo) const override;
};
