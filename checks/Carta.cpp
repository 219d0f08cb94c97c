#include "checks/Carta.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmCarta::TfrmCarta(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCarta"));
    setWindowTitle(QStringLiteral(" Controllo carta di credito"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmCarta::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
