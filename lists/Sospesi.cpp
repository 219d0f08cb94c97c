#include "lists/Sospesi.h"

#include "archive/Errori.h"
#include "cards/StampaLotto.h"
#include "lists/Consegna.h"
#include "lists/PannelloElenco.h"
#include "lists/Riepilogo.h"
#include "lists/core/Elenco.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/Stampa.h"
#include "rinnovi/Rinnovo.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
// The last find key of the renewal screens.
QString g_ultimaChiave;
} // namespace

TfrmSospesi::TfrmSospesi(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmSospesi"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
    setWindowTitle(QStringLiteral(" Riepilogo tessere in attesa di rinnovo"));

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    m_pannello = new TPannelloElenco(QStringLiteral("panContainer"),
                                     QStringLiteral("TESSERE IN ATTESA DI RINNOVO"), false, this);
    v->addWidget(m_pannello, 1);
    v->addWidget(BarraAvvisi());
    repRiepilogo = new TRiepilogo(this);

    connect(m_pannello->btnTrova, &QPushButton::clicked, this, &TfrmSospesi::btnTrovaClick);
    connect(m_pannello->lstRecords, &QListView::doubleClicked, this,
            &TfrmSospesi::lstRecordsDblClick);
    connect(m_pannello->btnStampa, &QPushButton::clicked, this, &TfrmSospesi::btnStampaClick);
    connect(m_pannello->cmdTessere, &QPushButton::clicked, this, &TfrmSospesi::cmdTessereClick);
    connect(m_pannello->btnChiudi, &QPushButton::clicked, this, &TfrmSospesi::btnChiudiClick);
    connect(m_pannello->cmdRinnova, &QPushButton::clicked, this, &TfrmSospesi::cmdRinnovaClick);

    setFixedSize(1180, 620); // wide enough for the date of the last reminder
}

void TfrmSospesi::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Schermo);
        FormShow();
    }
}

void TfrmSospesi::hideEvent(QHideEvent *e)
{
    QDialog::hideEvent(e);
    if (!e->spontaneous())
        FormClose();
}

void TfrmSospesi::FormShow()
{
    g_ultimaChiave.clear();
    m_pannello->txtTrova->clear();
    // No message on any failure: the cards found before it stay listed.
    Elenco elenco;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        Elenchi::InRinnovo(Piattaforma::CartellaProgramma(), Piattaforma::Oggi(), elenco);
        SegnaUltimiAvvisi(elenco);
    } catch (const ErroreFile &) {
        // The list's one boundary: it shows what was read, without the reminder dates.
    }
    QApplication::restoreOverrideCursor();
    // The list opens with no line selected.
    m_pannello->Riempi(std::move(elenco));
    m_pannello->txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmSospesi::FormClose()
{
    m_pannello->Svuota();
}

void TfrmSospesi::btnTrovaClick()
{
    m_pannello->Trova(g_ultimaChiave);
}

void TfrmSospesi::lstRecordsDblClick()
{
    const int posizione = m_pannello->PosizioneSelezionata();
    try {
        if (posizione > 0)
            Consegna::ConsegnaScheda(parentWidget(), QStringLiteral("anagrafica"), posizione);
    } catch (const std::exception &) {
        // As the search does: a record that can no longer be read just closes the list.
    }
    accept();
}

void TfrmSospesi::btnStampaClick()
{
    StampaReport::Riferisci(
        repRiepilogo->Stampa(QStringLiteral("Riepilogo tessere in attesa di rinnovo"),
                             m_pannello->Righe(), this),
        this);
}

void TfrmSospesi::cmdTessereClick()
{
    StampaLotto::Apri(this, m_pannello->PosizioniScelte());
}

void TfrmSospesi::cmdRinnovaClick()
{
    // The renewed cards leave the list.
    if (Rinnovo::ApriDaElenco(this, *m_pannello))
        FormShow();
}

void TfrmSospesi::btnChiudiClick()
{
    reject();
}
