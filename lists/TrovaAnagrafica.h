#pragma once
// Screen "Trova tesserati in archivio". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmTrovaAnagrafica : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTrovaAnagrafica(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
