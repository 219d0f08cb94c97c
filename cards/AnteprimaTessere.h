#pragma once
// Screen "Anteprima di stampa". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmAnteprimaTessere : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaTessere(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
