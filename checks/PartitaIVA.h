#pragma once
// Screen "Controllo partita IVA". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmPartitaIva : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
