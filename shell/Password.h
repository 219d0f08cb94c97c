#pragma once
// Screen "Quorvel - Accesso". Its controls and handlers come with its subsystem.
#include <QWidget>

class TfrmPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
};
