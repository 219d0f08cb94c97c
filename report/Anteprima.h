#pragma once
// The preview window: the prepared pages of a document, with a toolbar of print,
// fit to width, whole page, zoom box, full screen and close, as the document's
// PreviewOptions.Buttons list them. Modal; shown by ReportGui::ShowReport.
#include "report/core/Report.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolBar;
class QToolButton;
class QSpinBox;

class TPaginaAnteprima; // the widget that paints the current page

// The pages a preview window shows and prints. A long run composes each page only when
// it is shown, so the window holds one page whatever the run's length.
class TSorgentePagine {
public:
    virtual ~TSorgentePagine() = default;
    virtual QString Nome() const = 0;
    virtual int Conta() const = 0;
    // Page i (0-based); the reference holds until the next call.
    virtual const TPaginaPreparata &Pagina(int i) = 0;
    // The print button: the print dialog, then the chosen pages; `corrente` is 0-based.
    virtual void Stampa(QWidget *owner, int corrente) = 0;
};

class TfrmAnteprimaReport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAnteprimaReport(TReport &report, QWidget *parent = nullptr);
    // Pages from a source, with every toolbar button and zoom 1.
    explicit TfrmAnteprimaReport(TSorgentePagine &sorgente, QWidget *parent = nullptr);
    ~TfrmAnteprimaReport() override;

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
    void Costruisci(int pulsanti, double zoom);
    void Aggiorna();
    void AdattaBarra();
    const TPaginaPreparata *PaginaCorrenteOppureNulla();
    std::unique_ptr<TSorgentePagine> m_propria; // the report's pages, when given a report
    TSorgentePagine *m_sorgente;
    double m_zoom = 1.0;
    int m_pagina = 0;
    QToolBar *m_barra = nullptr;
    QComboBox *m_cboZoom = nullptr;
    QLabel *m_lblPagina = nullptr;
    QScrollArea *m_area = nullptr;
    TPaginaAnteprima *m_vista = nullptr;
};
