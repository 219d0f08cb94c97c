#include "cards/StampaTessere.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmStampaTessere::TfrmStampaTessere(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStampaTessere"));
    setWindowTitle(QStringLiteral(" Stampa pi\u00F9 tessere su foglio A4"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmStampaTessere::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
