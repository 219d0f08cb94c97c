#include "shell/Info.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmInfo::TfrmInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral(" Informazioni su Quorvel"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmInfo::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
