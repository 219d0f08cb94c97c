#include "cards/AnteprimaTessere.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmAnteprimaTessere::TfrmAnteprimaTessere(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAnteprimaTessere"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmAnteprimaTessere::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
