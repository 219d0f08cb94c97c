#include "shell/Avvio.h"

#include "platform/Finestra.h"

TfrmAvvio::TfrmAvvio(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAvvio"));
    setWindowTitle(QStringLiteral(" Quorvel"));
    Finestra::Massimizzata(this);
}
