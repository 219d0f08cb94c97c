#include "checks/PartitaIVA.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmPartitaIva::TfrmPartitaIva(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPartitaIva"));
    setWindowTitle(QStringLiteral(" Controllo partita IVA"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmPartitaIva::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
