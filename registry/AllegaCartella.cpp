#include "registry/AllegaCartella.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmAllegaCartella::TfrmAllegaCartella(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAllegaCartella"));
    setWindowTitle(QStringLiteral(" Allega file"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmAllegaCartella::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}
