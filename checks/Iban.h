#pragma once
// Screen "Controllo IBAN": tells whether an Italian IBAN passes the remainder
// check (1 modulo 97).
#include "checks/Strumento.h"

#include <QDialog>

class QKeyEvent;

class TfrmIban : public QDialog {
    Q_OBJECT
public:
    explicit TfrmIban(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void txtIbanTyping();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormCreate();
    bool txtIbanKeyDown(QKeyEvent *e);
    void txtIbanKeyUp(QKeyEvent *e);

    Strumento::Controlli c;
};
