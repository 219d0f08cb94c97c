#include "cards/StampaTessera.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmStampaTessera::TfrmStampaTessera(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStampaTessera"));
    setWindowTitle(QStringLiteral(" Stampa tesserino"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmStampaTessera::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
