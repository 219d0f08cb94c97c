#pragma once
// Screen "Controllo carta di credito". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmCarta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCarta(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
