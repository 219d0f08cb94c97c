#include "checks/Iban.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmIban::TfrmIban(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmIban"));
    setWindowTitle(QStringLiteral(" Controllo IBAN"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmIban::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
