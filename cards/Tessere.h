#pragma once
// Screen "Quorvel - Stampa pi\u00F9 tessere". Its controls and handlers come with its subsystem.
#include <QWidget>

class TfrmTessere : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTessere(QWidget *parent = nullptr);
};
