#pragma once
// Screen "Quorvel". Its controls and handlers come with its subsystem.
#include <QWidget>

class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAvvio(QWidget *parent = nullptr);
};
