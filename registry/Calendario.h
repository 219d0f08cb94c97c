#pragma once
// Screen "Importazione data". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmCalendario : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCalendario(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
