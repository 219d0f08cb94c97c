#include "report/Anteprima.h"

#include "platform/Finestra.h"
#include "report/Stampa.h"
#include "report/core/Pittore.h"
#include "widgets/Tavolozza.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int Bordo = 16; // grey space around the page, in pixels
const double LivelliZoom[] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0};
} // namespace

// Paints the current page at the preview's zoom, on a grey desk with a shadow.
class TPaginaAnteprima : public QWidget {
public:
    explicit TPaginaAnteprima(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("pagAnteprima"));
        setAutoFillBackground(false);
    }
    void Imposta(const TPaginaPreparata *pagina, double zoom)
    {
        m_pagina = pagina;
        m_zoom = zoom;
        QSize s(2 * Bordo, 2 * Bordo);
        if (pagina)
            s += QSize(int(std::ceil(Unita::DaMm(pagina->LarghezzaMm) * zoom)),
                       int(std::ceil(Unita::DaMm(pagina->AltezzaMm) * zoom)));
        setFixedSize(s);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor::fromRgb(Tavolozza::Grigio));
        if (!m_pagina)
            return;
        const QRectF carta(Bordo, Bordo, Unita::DaMm(m_pagina->LarghezzaMm) * m_zoom,
                           Unita::DaMm(m_pagina->AltezzaMm) * m_zoom);
        p.fillRect(carta.translated(4, 4), QColor::fromRgb(Tavolozza::GrigioScuro));
        p.fillRect(carta, Qt::white);
        p.setClipRect(carta);
        p.translate(carta.topLeft());
        p.scale(m_zoom, m_zoom);
        Pittore::DisegnaPagina(p, *m_pagina);
    }

private:
    const TPaginaPreparata *m_pagina = nullptr;
    double m_zoom = 1.0;
};

namespace {
// The prepared pages of a report.
class TPagineReport : public TSorgentePagine {
public:
    explicit TPagineReport(TReport &report) : m_report(report) {}
    QString Nome() const override { return m_report.ReportOptions.Name; }
    int Conta() const override { return m_report.PreparedCount(); }
    const TPaginaPreparata &Pagina(int i) override { return m_report.PreparedPages()[size_t(i)]; }
    void Stampa(QWidget *owner, int corrente) override
    {
        StampaReport::Riferisci(StampaReport::Stampa(m_report, owner, corrente), owner);
    }

private:
    TReport &m_report;
};
} // namespace

TfrmAnteprimaReport::TfrmAnteprimaReport(TReport &report, QWidget *parent)
    : QDialog(parent), m_propria(std::make_unique<TPagineReport>(report)),
      m_sorgente(m_propria.get())
{
    Costruisci(report.PreviewOptions.Buttons, report.PreviewOptions.Zoom);
}

TfrmAnteprimaReport::TfrmAnteprimaReport(TSorgentePagine &sorgente, QWidget *parent)
    : QDialog(parent), m_sorgente(&sorgente)
{
    Costruisci(pbPrint | pbZoom | pbFullScreen | pbClose, 1.0);
}

TfrmAnteprimaReport::~TfrmAnteprimaReport() = default;

const TPaginaPreparata *TfrmAnteprimaReport::PaginaCorrenteOppureNulla()
{
    return m_sorgente->Conta() > 0 ? &m_sorgente->Pagina(m_pagina) : nullptr;
}

void TfrmAnteprimaReport::Costruisci(int pulsanti, double zoom)
{
    setObjectName(QStringLiteral("frmAnteprimaReport"));
    setWindowTitle(m_sorgente->Nome());

    m_barra = new QToolBar(this);
    m_barra->setObjectName(QStringLiteral("barAnteprima"));
    m_barra->setIconSize(QSize(24, 24));
    m_barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_barra->setStyleSheet(Tavolozza::Colora(QStringLiteral(
        "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @Acciaio, "
        "stop:1 @Bianco); border-bottom: 1px solid @Blu; spacing: 6px; padding: 4px; }"
        "QToolButton { color: @Blu; font-weight: bold; padding: 3px 6px; }")));

    auto pulsante = [this](const char *nome, const QString &testo, const char *icona,
                           const QString &suggerimento, void (TfrmAnteprimaReport::*slot)()) {
        auto *b = new QToolButton(m_barra);
        b->setObjectName(QLatin1String(nome));
        b->setText(testo);
        b->setToolTip(suggerimento);
        b->setIcon(QIcon(QStringLiteral(":/report/%1.svg").arg(QLatin1String(icona))));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        m_barra->addWidget(b);
        return b;
    };
    if (pulsanti & pbPrint) {
        pulsante("btnStampa", QStringLiteral("Stampa"), "stampa",
                 QStringLiteral("Stampa il documento"), &TfrmAnteprimaReport::btnStampaClick);
        m_barra->addSeparator();
    }
    if (pulsanti & pbZoom) {
        pulsante("btnLarghezza", QStringLiteral("Larghezza pagina"), "larghezza",
                 QStringLiteral("Adatta la pagina alla larghezza della finestra"),
                 &TfrmAnteprimaReport::btnLarghezzaClick);
        pulsante("btnPaginaIntera", QStringLiteral("Pagina intera"), "pagina",
                 QStringLiteral("Mostra la pagina intera"),
                 &TfrmAnteprimaReport::btnPaginaInteraClick);
        m_cboZoom = new QComboBox(m_barra);
        m_cboZoom->setObjectName(QStringLiteral("cboZoom"));
        m_cboZoom->setEditable(true);
        m_cboZoom->setInsertPolicy(QComboBox::NoInsert);
        m_cboZoom->setToolTip(QStringLiteral("Ingrandimento"));
        m_cboZoom->setMinimumWidth(90);
        for (double z : LivelliZoom)
            m_cboZoom->addItem(QStringLiteral("%1 %").arg(int(std::lround(z * 100))));
        connect(m_cboZoom, &QComboBox::activated, this, &TfrmAnteprimaReport::cboZoomChange);
        connect(m_cboZoom->lineEdit(), &QLineEdit::editingFinished, this,
                &TfrmAnteprimaReport::cboZoomChange);
        m_barra->addWidget(m_cboZoom);
        m_barra->addSeparator();
    }
    pulsante("btnPrecedente", QStringLiteral("Precedente"), "precedente",
             QStringLiteral("Pagina precedente"), &TfrmAnteprimaReport::btnPrecedenteClick);
    m_lblPagina = new QLabel(m_barra);
    m_lblPagina->setObjectName(QStringLiteral("lblPagina"));
    m_lblPagina->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("color: @Blu; font-weight: bold; padding: 0 6px;")));
    m_barra->addWidget(m_lblPagina);
    pulsante("btnSuccessiva", QStringLiteral("Successiva"), "successiva",
             QStringLiteral("Pagina successiva"), &TfrmAnteprimaReport::btnSuccessivaClick);
    if (pulsanti & pbFullScreen) {
        m_barra->addSeparator();
        pulsante("btnSchermoIntero", QStringLiteral("Schermo intero"), "schermo",
                 QStringLiteral("Mostra l'anteprima a schermo intero (Esc per tornare)"),
                 &TfrmAnteprimaReport::btnSchermoInteroClick);
    }
    if (pulsanti & pbClose) {
        auto *spazio = new QWidget(m_barra);
        spazio->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        m_barra->addWidget(spazio);
        pulsante("btnChiudi", QStringLiteral("Chiudi"), "chiudi",
                 QStringLiteral("Chiude l'anteprima"), &TfrmAnteprimaReport::btnChiudiClick);
    }

    m_area = new QScrollArea(this);
    m_area->setObjectName(QStringLiteral("scrAnteprima"));
    m_area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_area->setBackgroundRole(QPalette::Dark);
    m_area->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("QScrollArea { background: @Grigio; border: none; }")));
    m_vista = new TPaginaAnteprima(m_area);
    m_area->setWidget(m_vista);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_barra);
    layout->addWidget(m_area, 1);

    Finestra::Massimizzata(this);
    setWindowModality(Qt::ApplicationModal);
    m_zoom = zoom > 0 ? zoom : 1.0;
    Aggiorna();
}

void TfrmAnteprimaReport::SetZoom(double zoom)
{
    if (!(zoom > 0))
        return;
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    Aggiorna();
}

void TfrmAnteprimaReport::SetPaginaCorrente(int pagina)
{
    const int n = m_sorgente->Conta();
    m_pagina = n > 0 ? std::clamp(pagina, 0, n - 1) : 0;
    Aggiorna();
}

void TfrmAnteprimaReport::Aggiorna()
{
    const int n = m_sorgente->Conta();
    m_vista->Imposta(PaginaCorrenteOppureNulla(), m_zoom);
    m_lblPagina->setText(QStringLiteral("Pagina %1 di %2").arg(n > 0 ? m_pagina + 1 : 0).arg(n));
    if (auto *b = findChild<QToolButton *>(QStringLiteral("btnPrecedente")))
        b->setEnabled(m_pagina > 0);
    if (auto *b = findChild<QToolButton *>(QStringLiteral("btnSuccessiva")))
        b->setEnabled(m_pagina + 1 < n);
    if (m_cboZoom) {
        const QSignalBlocker blocco(m_cboZoom);
        m_cboZoom->setEditText(QStringLiteral("%1 %").arg(int(std::lround(m_zoom * 100))));
    }
}

void TfrmAnteprimaReport::btnStampaClick()
{
    m_sorgente->Stampa(this, m_pagina);
}

void TfrmAnteprimaReport::btnLarghezzaClick()
{
    const TPaginaPreparata *p = PaginaCorrenteOppureNulla();
    if (!p)
        return;
    const double w =
        m_area->viewport()->width() - 2 * Bordo - m_area->verticalScrollBar()->sizeHint().width();
    SetZoom(w / Unita::DaMm(p->LarghezzaMm));
}

void TfrmAnteprimaReport::btnPaginaInteraClick()
{
    const TPaginaPreparata *pp = PaginaCorrenteOppureNulla();
    if (!pp)
        return;
    const TPaginaPreparata &p = *pp;
    const double w = m_area->viewport()->width() - 2 * Bordo;
    const double h = m_area->viewport()->height() - 2 * Bordo;
    SetZoom(std::min(w / Unita::DaMm(p.LarghezzaMm), h / Unita::DaMm(p.AltezzaMm)));
}

void TfrmAnteprimaReport::cboZoomChange()
{
    if (!m_cboZoom)
        return;
    QString t = m_cboZoom->currentText();
    t.remove(QLatin1Char('%'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double percento = t.trimmed().toDouble(&ok);
    if (ok && percento > 0)
        SetZoom(percento / 100.0);
    else
        Aggiorna(); // an unreadable entry goes back to the current zoom
}

void TfrmAnteprimaReport::btnSchermoInteroClick()
{
    if (isFullScreen())
        showMaximized();
    else
        showFullScreen();
}

void TfrmAnteprimaReport::btnChiudiClick()
{
    accept();
}

void TfrmAnteprimaReport::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    AdattaBarra();
}

void TfrmAnteprimaReport::AdattaBarra()
{
    // With their captions the buttons may not fit a narrow window, and the toolbar would
    // hide the last ones behind its overflow arrow: then they show their icons only
    // (their tooltips name them), so every button stays in sight.
    QList<QToolButton *> pulsanti;
    for (QToolButton *b : m_barra->findChildren<QToolButton *>())
        if (b->objectName().startsWith(QLatin1String("btn")))
            pulsanti.append(b);
    for (QToolButton *b : pulsanti)
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    if (m_barra->sizeHint().width() <= width())
        return;
    for (QToolButton *b : pulsanti)
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TfrmAnteprimaReport::btnPrecedenteClick()
{
    SetPaginaCorrente(m_pagina - 1);
}

void TfrmAnteprimaReport::btnSuccessivaClick()
{
    SetPaginaCorrente(m_pagina + 1);
}

void TfrmAnteprimaReport::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        if (isFullScreen()) {
            showMaximized();
            return;
        }
        break;
    case Qt::Key_PageDown:
        btnSuccessivaClick();
        return;
    case Qt::Key_PageUp:
        btnPrecedenteClick();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(e);
}
