#pragma once
// Screen "Guida all'utilizzo del software". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
