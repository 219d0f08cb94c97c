#include "cards/AnteprimaTessera.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmAnteprimaTessera::TfrmAnteprimaTessera(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAnteprimaTessera"));
    setWindowTitle(QStringLiteral(" Anteprima di stampa"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmAnteprimaTessera::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
