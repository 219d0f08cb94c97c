#include "lists/TrovaAnagrafica.h"

#include "archive/Errori.h"
#include "archive/Scheda.h"
#include "archive/Testo.h"
#include "cards/StampaLotto.h"
#include "lists/Consegna.h"
#include "lists/PannelloElenco.h"
#include "lists/Riepilogo.h"
#include "lists/core/Elenco.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/Stampa.h"
#include "rinnovi/Rinnovo.h"
#include "widgets/ConsiglioArchivio.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
// The last find key of the search screens: one for all of them.
QString g_ultimaChiave;

const QString TestoArchivio = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");

struct Filtro {
    const char *didascalia;
    const char *nome;
    int numero; // of the caption label and the highlight
};
// Tab, Enter-chain and field order of Elenchi::CampiFiltro.
constexpr std::array<Filtro, Elenchi::NumeroFiltri> TabellaFiltri = {{
    {"Cognome e nome:", "txtTesserato", 1},
    {"Carica ricoperta:", "txtCarica", 2},
    {"Tessera n.", "txtNumTessera", 9},
    {"Data di rilascio:", "txtDataRil", 10},
    {"Data di scadenza:", "txtDataScade", 5},
    {"Comune di nascita:", "txtComuneNasc", 6},
    {"Comune di residenza:", "txtComuneRes", 7},
    {"Codice Fiscale:", "txtCodFisc", 8},
    {"Titolo di studio e altre qualifiche:", "txtTitoli", 3},
    {"Note:", "txtNote", 4},
}};

QLabel *Nascosta(const QString &nome, const QString &testo, QWidget *parent)
{
    auto *l = new QLabel(testo, parent);
    l->setObjectName(nome);
    l->hide();
    return l;
}
} // namespace

TfrmTrovaAnagrafica::TfrmTrovaAnagrafica(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmTrovaAnagrafica"));
    Finestra::Fissa(this, Finestra::Centro::Schermo);
    setWindowTitle(QStringLiteral(" Trova tesserati in archivio"));

    lblMemory = Nascosta(QStringLiteral("lblMemory"), QString(), this);
    lblConta = Nascosta(QStringLiteral("lblConta"), QStringLiteral("0"), this);

    auto *griglia = new QGridLayout(this);
    griglia->setContentsMargins(0, 0, 0, 0);

    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    CreaFiltri(panAvvio);
    panContainer = new TPannelloElenco(QStringLiteral("panContainer"),
                                       QStringLiteral("RISULTATI DI RICERCA"), true, this);
    panContainer->hide();
    // Two panels of the same size in the same place.
    griglia->addWidget(panAvvio, 0, 0);
    griglia->addWidget(panContainer, 0, 0);

    repRiepilogo = new TRiepilogo(this);

    connect(panContainer->btnTrova, &QPushButton::clicked, this,
            &TfrmTrovaAnagrafica::btnTrovaClick);
    connect(panContainer->lstRecords, &QListView::doubleClicked, this,
            &TfrmTrovaAnagrafica::lstRecordsDblClick);
    connect(panContainer->btnStampa, &QPushButton::clicked, this,
            &TfrmTrovaAnagrafica::btnStampaClick);
    connect(panContainer->btnChiudi, &QPushButton::clicked, this,
            &TfrmTrovaAnagrafica::btnChiudiClick);
    connect(panContainer->cmdRinnova, &QPushButton::clicked, this,
            &TfrmTrovaAnagrafica::cmdRinnovaClick);
    connect(panContainer->cmdTessere, &QPushButton::clicked, this,
            &TfrmTrovaAnagrafica::cmdTessereClick);

    setFixedSize(1000, 660);
}

TfrmTrovaAnagrafica::~TfrmTrovaAnagrafica() = default;

void TfrmTrovaAnagrafica::CreaFiltri(QWidget *pannello)
{
    auto *v = new QVBoxLayout(pannello);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(8);
    v->addWidget(new TBanner(QStringLiteral("TROVA TESSERATI IN ARCHIVIO"), pannello));

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(16, 4, 16, 12);
    corpo->setSpacing(4);
    v->addLayout(corpo, 1);
    for (const char *t :
         {"Immettere nei campi prescelti una o più parole consecutive presenti nelle schede da "
          "trovare e premere il pulsante Cerca.",
          "Lasciare in bianco tutti gli altri campi.",
          "Per ogni ricerca è possibile utilizzare uno o più campi contemporaneamente."}) {
        auto *l = new QLabel(QString::fromUtf8(t), pannello);
        l->setWordWrap(true);
        corpo->addWidget(l);
    }
    corpo->addSpacing(18);

    auto *g = new QGridLayout;
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(14);
    g->setColumnStretch(1, 1);
    for (size_t i = 0; i < TabellaFiltri.size(); ++i) {
        const Filtro &f = TabellaFiltri[i];
        const QString n = QStringLiteral("%1").arg(f.numero, 2, 10, QLatin1Char('0'));
        auto *didascalia = new QLabel(QString::fromUtf8(f.didascalia), pannello);
        didascalia->setObjectName(QStringLiteral("lblCampo") + n);
        didascalia->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

        // The highlight frames the box: it fills the cell, the box sits 3 pixels inside.
        auto *cella = new QWidget(pannello);
        auto *c = new QGridLayout(cella);
        c->setContentsMargins(0, 0, 0, 0);
        c->setSpacing(0);
        auto *eff = new QFrame(cella);
        eff->setObjectName(QStringLiteral("effCampo") + n);
        eff->setStyleSheet(
            Tavolozza::Colora(QStringLiteral("background: @Oro; border-radius: 3px;")));
        auto *txt = new QLineEdit(cella);
        txt->setObjectName(QString::fromLatin1(f.nome));
        txt->setMaxLength(Definizione(Elenchi::CampiFiltro[i]).capacita);
        txt->setMinimumHeight(26);
        c->addWidget(eff, 0, 0, 3, 3);
        c->addWidget(txt, 1, 1);
        c->setRowMinimumHeight(0, 3);
        c->setRowMinimumHeight(2, 3);
        c->setColumnMinimumWidth(0, 3);
        c->setColumnMinimumWidth(2, 3);
        Comportamenti::Evidenza(txt, eff);
        didascalia->setBuddy(txt);

        g->addWidget(didascalia, static_cast<int>(i), 0);
        g->addWidget(cella, static_cast<int>(i), 1);
        m_filtri[i] = txt;
    }
    for (size_t i = 0; i < m_filtri.size(); ++i) {
        Comportamenti::Invio(m_filtri[i], m_filtri[(i + 1) % m_filtri.size()]);
        if (i > 0)
            setTabOrder(m_filtri[i - 1], m_filtri[i]);
    }
    corpo->addLayout(g);
    corpo->addStretch(1);

    auto *fondo = new QHBoxLayout;
    lblAttendere = new QLabel(QStringLiteral("Ricerca schede in corso. Attendere..."), pannello);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setStyleSheet(QStringLiteral("color: crimson; font-weight: bold;"));
    lblAttendere->hide();
    fondo->addWidget(lblAttendere);
    fondo->addStretch(1);
    auto *btnAnnulla = new QPushButton(QStringLiteral("Chiudi"), pannello);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    auto *btnCerca = new QPushButton(QStringLiteral("Cerca"), pannello);
    btnCerca->setObjectName(QStringLiteral("btnCerca"));
    for (QPushButton *b : {btnAnnulla, btnCerca}) {
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
        fondo->addWidget(b);
    }
    corpo->addLayout(fondo);
    setTabOrder(m_filtri.back(), btnAnnulla);
    setTabOrder(btnAnnulla, btnCerca);

    connect(btnCerca, &QPushButton::pressed, this, &TfrmTrovaAnagrafica::btnCercaMouseDown);
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaAnagrafica::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmTrovaAnagrafica::btnAnnullaClick);
}

void TfrmTrovaAnagrafica::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Schermo);
        FormShow();
    }
}

void TfrmTrovaAnagrafica::hideEvent(QHideEvent *e)
{
    QDialog::hideEvent(e);
    if (!e->spontaneous())
        FormClose();
}

void TfrmTrovaAnagrafica::FormShow()
{
    g_ultimaChiave.clear();
    panContainer->Seleziona(0);
    panContainer->txtTrova->clear();
    m_filtri.front()->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaAnagrafica::FormClose()
{
    panContainer->Svuota();
    lblAttendere->hide();
}

void TfrmTrovaAnagrafica::btnCercaMouseDown()
{
    lblAttendere->show();
    lblAttendere->repaint();
}

void TfrmTrovaAnagrafica::btnCercaClick()
{
    Elenchi::Filtri filtri;
    for (size_t i = 0; i < m_filtri.size(); ++i)
        filtri[i] = m_filtri[i]->text();
    lblConta->setText(QString::number(Elenchi::FiltriAttivi(filtri)));

    Elenco trovate;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        trovate = Elenchi::Cerca(Piattaforma::CartellaProgramma(), filtri);
    } catch (const ErroreFile &) {
        QApplication::restoreOverrideCursor();
        lblAttendere->hide();
        Piattaforma::Messaggio(ConsiglioArchivio::Adatta(TestoArchivio), this);
        return;
    }
    QApplication::restoreOverrideCursor();
    lblAttendere->hide();

    panContainer->Riempi(std::move(trovate));
    panContainer->lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene ") +
                                      QString::number(panContainer->modello->rowCount()) +
                                      QStringLiteral(" schede."));
    panAvvio->hide();
    panContainer->show();
    panContainer->txtTrova->clear();
    panContainer->txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaAnagrafica::MostraSchede(const QList<int> &posizioni)
{
    Elenco trovate;
    try {
        Elenchi::Posizioni(Piattaforma::CartellaProgramma(), posizioni, trovate);
    } catch (const ErroreFile &) {
        Piattaforma::Messaggio(ConsiglioArchivio::Adatta(TestoArchivio), this);
    }
    panContainer->Riempi(std::move(trovate));
    panContainer->lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene ") +
                                      QString::number(panContainer->modello->rowCount()) +
                                      QStringLiteral(" schede."));
    panAvvio->hide();
    panContainer->show();
}

void TfrmTrovaAnagrafica::ImpostaModo(const QString &modo)
{
    lblMemory->setText(modo);
}

void TfrmTrovaAnagrafica::btnTrovaClick()
{
    panContainer->Trova(g_ultimaChiave);
}

void TfrmTrovaAnagrafica::lstRecordsDblClick()
{
    if (m_piu) {
        cmdTessereClick();
        return;
    }
    // The record behind the chosen line, read by its position; any failure just closes.
    const int posizione = panContainer->PosizioneSelezionata();
    try {
        if (posizione > 0)
            Consegna::ConsegnaScheda(parentWidget(), Testo::Trim32(lblMemory->text()), posizione);
    } catch (const std::exception &) {
    }
    accept();
}

void TfrmTrovaAnagrafica::btnStampaClick()
{
    StampaReport::Riferisci(repRiepilogo->Stampa(QStringLiteral("Riepilogo anagrafica tesserati"),
                                                 panContainer->Righe(), this),
                            this);
}

void TfrmTrovaAnagrafica::ScegliPiu()
{
    m_piu = true;
    panContainer->cmdTessere->setText(QStringLiteral("Inserisci nelle tessere"));
    // Choosing cards for a sheet renews nobody.
    panContainer->cmdRinnova->setVisible(false);
}

void TfrmTrovaAnagrafica::cmdTessereClick()
{
    if (m_piu) {
        m_scelte = panContainer->PosizioniScelte();
        accept();
        return;
    }
    StampaLotto::Apri(this, panContainer->PosizioniScelte());
}

void TfrmTrovaAnagrafica::cmdRinnovaClick()
{
    // The lines show the new expiries.
    if (Rinnovo::ApriDaElenco(this, *panContainer))
        btnCercaClick();
}

void TfrmTrovaAnagrafica::btnAnnullaClick()
{
    reject();
}

void TfrmTrovaAnagrafica::btnChiudiClick()
{
    reject();
}
