#include "lists/TrovaAnagrafica.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmTrovaAnagrafica::TfrmTrovaAnagrafica(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTrovaAnagrafica"));
    setWindowTitle(QStringLiteral(" Trova tesserati in archivio"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmTrovaAnagrafica::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
