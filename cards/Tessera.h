#pragma once
// Screen "Quorvel - Stampa tessera singola". Its controls and handlers come with its subsystem.
#include <QWidget>

class TfrmTessera : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTessera(QWidget *parent = nullptr);
};
