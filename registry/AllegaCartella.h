#pragma once
// Screen "Allega file". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmAllegaCartella : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
