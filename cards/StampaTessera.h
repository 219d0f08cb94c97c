#pragma once
// Screen "Stampa tesserino". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmStampaTessera : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStampaTessera(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
