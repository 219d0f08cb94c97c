#include "lists/ExpAnagrafica.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmExpAnagrafica::TfrmExpAnagrafica(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmExpAnagrafica"));
    setWindowTitle(QStringLiteral(" Esporta archivio anagrafico dei tesserati in Microsoft Excel"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmExpAnagrafica::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
