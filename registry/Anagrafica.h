#pragma once
// Screen "Quorvel - Archivio Tesserati". Its controls and handlers come with its subsystem.
#include <QWidget>

class TfrmAnagrafica : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAnagrafica(QWidget *parent = nullptr);
};
