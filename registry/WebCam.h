#pragma once
// Screen "Cattura foto con webcam". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmWebCam : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWebCam(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
