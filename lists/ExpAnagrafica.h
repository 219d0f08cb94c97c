#pragma once
// Screen "Esporta archivio anagrafico dei tesserati in Microsoft Excel". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmExpAnagrafica : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExpAnagrafica(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
