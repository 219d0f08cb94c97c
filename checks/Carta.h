#pragma once
// Screen "Controllo carta di credito": tells whether a card number passes the
// Luhn check and names the kind of card from its leading digits.
#include "checks/Strumento.h"

#include <QDialog>

class QKeyEvent;

class TfrmCarta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCarta(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void txtNumeroTyping();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormCreate();
    bool txtNumeroKeyDown(QKeyEvent *e);

    Strumento::Controlli c;
};
