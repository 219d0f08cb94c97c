#pragma once
// Screen "Informazioni su Quorvel". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
