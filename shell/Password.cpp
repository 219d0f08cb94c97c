#include "shell/Password.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmPassword::TfrmPassword(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral(" Quorvel - Accesso"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmPassword::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
