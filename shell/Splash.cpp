#include "shell/Splash.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmSplash::TfrmSplash(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral(" Quorvel - Quorvel Lab"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmSplash::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
