#pragma once
// The preview window: the prepared pages of a document, with a toolbar of print,
// fit to width, whole page, zoom box, full screen and close, as the document's
// PreviewOptions.Buttons list them. Modal; shown by ReportGui::ShowReport.
#include "report/Report.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolBar;
class QToolButton;
class QSpinBox;

class TPaginaAnteprima; // the widget that paints the current page

class TfrmAnteprimaReport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaReport(TReport &report, QWidget *parent = nullptr);

    double Zoom() const { return m_zoom; }
    void SetZoom(double zoom);
    void SetPaginaCorrente(int pagina);

public slots:
    void btnStampaClick();
    void btnLarghezzaClick();
    void btnPaginaInteraClick();
    void cboZoomChange();
    void btnSchermoInteroClick();
    void btnChiudiClick();
    void btnPrecedenteClick();
    void btnSuccessivaClick();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void Aggiorna();
    void AdattaBarra();
    TReport &m_report;
    double m_zoom = 1.0;
    int m_pagina = 0;
    QToolBar *m_barra = nullptr;
    QComboBox *m_cboZoom = nullptr;
    QLabel *m_lblPagina = nullptr;
    QScrollArea *m_area = nullptr;
    TPaginaAnteprima *m_vista = nullptr;
};
