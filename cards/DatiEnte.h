#pragma once
// Screen "Dati Ente o Associazione". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmDatiEnte : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDatiEnte(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
