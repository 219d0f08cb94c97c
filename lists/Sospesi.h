#pragma once
// Screen "Riepilogo tessere in attesa di rinnovo". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmSospesi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSospesi(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
