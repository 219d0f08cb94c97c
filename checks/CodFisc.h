#pragma once
// Screen "Controllo codice fiscale": tells whether an Italian fiscal code has the
// right check character.
#include "checks/Strumento.h"

#include <QDialog>

class QKeyEvent;

class TfrmCodFisc : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCodFisc(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void txtCodFiscTyping();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormCreate();
    bool txtCodFiscKeyDown(QKeyEvent *e);
    void txtCodFiscKeyUp(QKeyEvent *e);

    Strumento::Controlli c;
};
