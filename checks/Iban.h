#pragma once
// Screen "Controllo IBAN". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmIban : public QDialog {
    Q_OBJECT
public:
    explicit TfrmIban(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
