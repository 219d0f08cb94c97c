#include "lists/Sospesi.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmSospesi::TfrmSospesi(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSospesi"));
    setWindowTitle(QStringLiteral(" Riepilogo tessere in attesa di rinnovo"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmSospesi::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
