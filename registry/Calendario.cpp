#include "registry/Calendario.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmCalendario::TfrmCalendario(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCalendario"));
    setWindowTitle(QStringLiteral(" Importazione data"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmCalendario::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
