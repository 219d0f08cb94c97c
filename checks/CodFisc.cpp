#include "checks/CodFisc.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmCodFisc::TfrmCodFisc(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCodFisc"));
    setWindowTitle(QStringLiteral(" Controllo codice fiscale"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmCodFisc::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
