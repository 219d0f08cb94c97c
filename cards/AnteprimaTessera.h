#pragma once
// Screen "Anteprima di stampa". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmAnteprimaTessera : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaTessera(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
