#pragma once
// Screen "Quorvel - Quorvel Lab". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
