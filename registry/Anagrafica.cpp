#include "registry/Anagrafica.h"

#include "platform/Finestra.h"

TfrmAnagrafica::TfrmAnagrafica(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAnagrafica"));
    setWindowTitle(QStringLiteral(" Quorvel - Archivio Tesserati"));
    Finestra::Massimizzata(this);
}
