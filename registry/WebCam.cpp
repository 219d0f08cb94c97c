#include "registry/WebCam.h"

#include "platform/Finestra.h"

#include <QShowEvent>

TfrmWebCam::TfrmWebCam(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWebCam"));
    setWindowTitle(QStringLiteral(" Cattura foto con webcam"));
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmWebCam::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
