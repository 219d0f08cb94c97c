#pragma once
// Screen "Controllo codice fiscale". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmCodFisc : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCodFisc(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
