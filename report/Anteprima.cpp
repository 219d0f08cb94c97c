#include "report/Anteprima.h"

#include <QKeyEvent>

TfrmAnteprimaReport::TfrmAnteprimaReport(TReport &report, QWidget *parent)
    : QDialog(parent), m_report(report)
{
}
void TfrmAnteprimaReport::SetZoom(double zoom) { m_zoom = zoom; }
void TfrmAnteprimaReport::SetPaginaCorrente(int pagina) { m_pagina = pagina; }
void TfrmAnteprimaReport::btnStampaClick() {}
void TfrmAnteprimaReport::btnLarghezzaClick() {}
void TfrmAnteprimaReport::btnPaginaInteraClick() {}
void TfrmAnteprimaReport::cboZoomChange() {}
void TfrmAnteprimaReport::btnSchermoInteroClick() {}
void TfrmAnteprimaReport::btnChiudiClick() { reject(); }
void TfrmAnteprimaReport::btnPrecedenteClick() {}
void TfrmAnteprimaReport::btnSuccessivaClick() {}
void TfrmAnteprimaReport::keyPressEvent(QKeyEvent *e) { QDialog::keyPressEvent(e); }
void TfrmAnteprimaReport::Aggiorna() {}
