#pragma once
// Screen "Fai clic sulla foto per chiudere questa finestra". Its controls and handlers come with its subsystem.
#include <QDialog>

class TfrmZoom : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZoom(QWidget *parent = nullptr);
};
