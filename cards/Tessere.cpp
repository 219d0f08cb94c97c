#include "cards/Tessere.h"

#include "platform/Finestra.h"

TfrmTessere::TfrmTessere(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTessere"));
    setWindowTitle(QStringLiteral(" Quorvel - Stampa pi\u00F9 tessere"));
    Finestra::Massimizzata(this);
}
