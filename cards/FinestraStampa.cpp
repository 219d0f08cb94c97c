#include "cards/FinestraStampa.h"

#include "cards/core/ImpostazioniStampa.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/ReportGui.h"
#include "report/Stampa.h"
#include "report/core/Report.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

TFinestraStampa::TFinestraStampa(QWidget *parent, std::unique_ptr<TReport> rep, const char *nome,
                                 const QString &titolo, QSize dimensione)
    : QDialog(parent, Finestra::FlagsFissa), m_rep(std::move(rep))
{
    setObjectName(QString::fromLatin1(nome));
    setWindowTitle(titolo);
    setFixedSize(dimensione);
}

TFinestraStampa::TFinestraStampa(QWidget *parent, std::unique_ptr<TReport> rep,
                                 const Descrizione &d)
    : TFinestraStampa(parent, std::move(rep), d.nome, d.titolo, d.dimensione)
{
    m_azione = d.azione;
    const int w = width(), h = height();
    immagine = new TImmagine(this);
    immagine->setObjectName(QString::fromLatin1(d.nomeImmagine));
    immagine->setGeometry(14, 14, w - 28, 230);
    immagine->SetSvg(d.svg, QSize(w - 28, 230));

    CreaAttesa(QRect(14, 250, w - 28, 24), Qt::AlignCenter);

    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->setGeometry(14, h - 46, 140, 32);
    btnAnnulla->setAutoDefault(false);
    btnStampa = new QPushButton(d.testoPulsante, this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    btnStampa->setGeometry(w - 174, h - 46, 160, 32);
    btnStampa->setAutoDefault(false);
    Collega();
}

TFinestraStampa::~TFinestraStampa() = default;

void TFinestraStampa::CreaAttesa(const QRect &r, Qt::Alignment allineamento)
{
    lblAttendere = new QLabel(QStringLiteral("Elaborazione in corso. Attendere..."), this);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setGeometry(r);
    lblAttendere->setAlignment(allineamento);
    QFont fa = lblAttendere->font();
    fa.setItalic(true);
    fa.setBold(true);
    lblAttendere->setFont(fa);
    lblAttendere->setStyleSheet(Tavolozza::Stile(Tavolozza::Cremisi));
    lblAttendere->hide();
}

void TFinestraStampa::Collega()
{
    connect(btnStampa, &QPushButton::pressed, lblAttendere, &QLabel::show);
    connect(btnStampa, &QPushButton::clicked, this, &TFinestraStampa::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TFinestraStampa::btnAnnullaClick);
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

QCheckBox *TFinestraStampa::AggiungiScelta(const char *nome, const QString &testo,
                                           const QString &chiave)
{
    constexpr int passo = 28;
    auto *c = new QCheckBox(testo, this);
    c->setObjectName(QString::fromLatin1(nome));
    c->setGeometry(14, lblAttendere->y(), width() - 28, 24);
    c->setChecked(ImpostazioniStampa::LeggiScelta(Piattaforma::CartellaProgramma(), chiave));
    lblAttendere->move(lblAttendere->x(), lblAttendere->y() + passo);
    for (QWidget *b : {static_cast<QWidget *>(btnAnnulla), static_cast<QWidget *>(btnStampa)})
        b->move(b->x(), b->y() + passo);
    setFixedSize(width(), height() + passo);
    return c;
}

bool TFinestraStampa::ConfermaStampa(const QString &avviso)
{
    if (avviso.isEmpty() || Piattaforma::Domanda(avviso, this))
        return true;
    lblAttendere->hide();
    return false;
}

void TFinestraStampa::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}

void TFinestraStampa::paintEvent(QPaintEvent *)
{
    FinestraStampa::DisegnaSfumatura(this);
}

void TFinestraStampa::btnAnnullaClick()
{
    reject();
}

void TFinestraStampa::btnStampaClick()
{
    if (m_azione == Azione::Anteprima) {
        if (FinestraStampa::Anteprima(*m_rep, this, lblAttendere, [this] { Riempi(); }))
            accept();
        return;
    }
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        Riempi();
        if (!ReportGui::PrepareReport(*m_rep, true))
            return; // the errors are shown; the screen stays open
        FinestraStampa::Stampa(*m_rep, this);
    } catch (const std::exception &e) {
        // No message of its own: the general error report, and the screen stays open
        // with its wait label, for Annulla to close.
        Piattaforma::ErroreGenerale(QString::fromUtf8(e.what()));
        return;
    }
    lblAttendere->hide();
    accept();
}

namespace FinestraStampa {

void DisegnaSfumatura(QWidget *w)
{
    QPainter p(w);
    QLinearGradient g(0, 0, 0, w->height());
    g.setColorAt(0, QColor::fromRgb(Tavolozza::Acciaio));
    g.setColorAt(1, Qt::white);
    p.fillRect(w->rect(), g);
}

bool Anteprima(TReport &report, QDialog *schermata, QLabel *lblAttendere,
               const std::function<void()> &riempi)
{
    try {
        lblAttendere->show();
        lblAttendere->repaint();
        riempi();
        const bool pronto = ReportGui::PrepareReport(report, true);
        lblAttendere->hide();
        if (!pronto)
            return false;
        ReportGui::ShowReport(report, true, schermata);
    } catch (const std::exception &e) {
        // No message of its own: the general error report, and the screen stays open.
        Piattaforma::ErroreGenerale(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

QString AvvisoTessere(const QList<TDatiTessera> &tessere, bool adatta)
{
    const QString cartella = Piattaforma::CartellaProgramma();
    QList<ImpostazioniStampa::TVoce> voci;
    for (const TDatiTessera &d : tessere)
        if (HaSocio(d))
            voci.append({d.Tesserato, d.Carica, d.NumTessera,
                         ImpostazioniStampa::HaFoto(cartella, d.Posizione.toInt())});
    return ImpostazioniStampa::Avviso(voci, adatta);
}

void RicordaScelta(const QString &chiave, const QCheckBox *scelta, QWidget *owner)
{
    try {
        ImpostazioniStampa::ScriviScelta(Piattaforma::CartellaProgramma(), chiave,
                                         scelta->isChecked());
    } catch (const std::exception &e) {
        Piattaforma::Avviso(QString::fromUtf8(e.what()), owner);
    }
}

void Stampa(const TReport &report, QWidget *owner, const QString &nomeStampante)
{
    const TEsitoStampa esito = StampaReport::Stampa(report, owner, 0, nomeStampante);
    if (esito.Fallito())
        throw ErroreReport(esito.errore);
}

} // namespace FinestraStampa
