#pragma once
// Screen "Cambia password". Its controls and handlers come with its subsystem.
#include <QWidget>

class TfrmCambiaPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
