#pragma once
// Screen "Controllo partita IVA": tells whether an Italian VAT number has the
// right check digit and which VAT office issued it.
#include "checks/Strumento.h"

#include <QDialog>

class QKeyEvent;

class TfrmPartitaIva : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void FormCreate();
    bool txtPartitaIvaKeyDown(QKeyEvent *e);

    Strumento::Controlli c;
};
