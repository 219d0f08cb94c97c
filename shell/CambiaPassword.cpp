#include "shell/CambiaPassword.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmCambiaPassword::TfrmCambiaPassword(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCambiaPassword"));
    setWindowTitle(QStringLiteral(" Cambia password"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmCambiaPassword::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
