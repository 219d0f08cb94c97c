#include "registry/Zoom.h"

#include "platform/Finestra.h"

TfrmZoom::TfrmZoom(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral(" Fai clic sulla foto per chiudere questa finestra"));
    Finestra::Massimizzata(this);
}
