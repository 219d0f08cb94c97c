#include "cards/DatiEnte.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmDatiEnte::TfrmDatiEnte(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDatiEnte"));
    setWindowTitle(QStringLiteral(" Dati Ente o Associazione"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmDatiEnte::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
