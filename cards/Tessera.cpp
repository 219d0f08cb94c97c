#include "cards/Tessera.h"

#include "platform/Finestra.h"

TfrmTessera::TfrmTessera(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTessera"));
    setWindowTitle(QStringLiteral(" Quorvel - Stampa tessera singola"));
    Finestra::Massimizzata(this);
}
