#pragma once
// Screen "Stampa pi\u00F9 tessere su foglio A4". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmStampaTessere : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStampaTessere(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
