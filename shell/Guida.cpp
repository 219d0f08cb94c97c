#include "shell/Guida.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmGuida::TfrmGuida(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGuida"));
    setWindowTitle(QStringLiteral(" Guida all'utilizzo del software"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmGuida::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
