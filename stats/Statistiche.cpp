#include "stats/Statistiche.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "lists/TrovaAnagrafica.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/ReportGui.h"
#include "report/Stampa.h"
#include "stats/GraficiStatistiche.h"
#include "storage/Deposito.h"
#include "widgets/ConsiglioArchivio.h"
#include "widgets/Modale.h"
#include "widgets/Sottofondo.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Statistiche;

namespace {

const QString TestoArchivioNonLetto =
    QStringLiteral("Impossibile leggere l'archivio per le statistiche.");

QLabel *Cifra(QWidget *padre, const char *nome)
{
    auto *l = new QLabel(padre);
    l->setObjectName(QString::fromLatin1(nome));
    l->setMinimumWidth(180);
    l->setStyleSheet(QStringLiteral("QLabel { background: #EEF3FA; border: 1px solid #9DB3D0; "
                                    "border-radius: 4px; padding: 6px; font-size: 11pt; }"));
    return l;
}

QPushButton *Pulsante(QWidget *padre, const char *nome, const QString &testo)
{
    auto *b = new QPushButton(testo, padre);
    b->setObjectName(QString::fromLatin1(nome));
    return b;
}

} // namespace

TfrmStatistiche::TfrmStatistiche(QWidget *parent)
    : QDialog(parent, Finestra::FlagsFissa), m_figure(std::make_shared<TStatistiche>())
{
    setObjectName(QStringLiteral("frmStatistiche"));
    setWindowTitle(QStringLiteral(" Statistiche dell'associazione"));

    auto *colonna = new QVBoxLayout(this);

    // Filters.
    auto *filtri = new QHBoxLayout;
    chkPeriodo = new QCheckBox(QStringLiteral("Solo le tessere che scadono dal"), this);
    chkPeriodo->setObjectName(QStringLiteral("chkPeriodo"));
    txtDal = new QLineEdit(this);
    txtDal->setObjectName(QStringLiteral("txtDal"));
    txtAl = new QLineEdit(this);
    txtAl->setObjectName(QStringLiteral("txtAl"));
    for (QLineEdit *t : {txtDal, txtAl}) {
        t->setMaxLength(10);
        t->setFixedWidth(100);
        t->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    }
    chkAnnullate = new QCheckBox(QStringLiteral("Conta anche le tessere annullate"), this);
    chkAnnullate->setObjectName(QStringLiteral("chkAnnullate"));
    cmdAggiorna = Pulsante(this, "cmdAggiorna", QStringLiteral("Aggiorna"));
    lblAttendere = new QLabel(QStringLiteral("Calcolo in corso..."), this);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->hide();
    filtri->addWidget(chkPeriodo);
    filtri->addWidget(txtDal);
    filtri->addWidget(new QLabel(QStringLiteral("al"), this));
    filtri->addWidget(txtAl);
    filtri->addSpacing(24);
    filtri->addWidget(chkAnnullate);
    filtri->addStretch();
    filtri->addWidget(lblAttendere);
    filtri->addWidget(cmdAggiorna);
    colonna->addLayout(filtri);

    // Headline figures.
    auto *cifre = new QGridLayout;
    lblAttivi = Cifra(this, "lblAttivi");
    lblInScadenza = Cifra(this, "lblInScadenza");
    lblScadute = Cifra(this, "lblScadute");
    lblAnnullate = Cifra(this, "lblAnnullate");
    lblRinnovate = Cifra(this, "lblRinnovate");
    lblQuote = Cifra(this, "lblQuote");
    const QLabel *ordine[] = {lblAttivi,    lblInScadenza, lblScadute,
                              lblAnnullate, lblRinnovate,  lblQuote};
    for (int i = 0; i < 6; ++i)
        cifre->addWidget(const_cast<QLabel *>(ordine[i]), 0, i);
    lblNonValide = new QLabel(this);
    lblNonValide->setObjectName(QStringLiteral("lblNonValide"));
    cifre->addWidget(lblNonValide, 1, 0, 1, 6);
    colonna->addLayout(cifre);

    // Charts, one per tab.
    tabGrafici = new QTabWidget(this);
    tabGrafici->setObjectName(QStringLiteral("tabGrafici"));
    static const char *const nomi[NumeroGrafici] = {"grfScadenze", "grfPiramide", "grfComuni",
                                                    "grfProvince", "grfCariche",  "grfQuote",
                                                    "grfRinnovi"};
    for (int i = 0; i < NumeroGrafici; ++i) {
        auto *v = new QChartView(tabGrafici);
        v->setObjectName(QString::fromLatin1(nomi[i]));
        // The view starts with an empty chart of its own, deleted when the figures arrive.
        v->setRenderHint(QPainter::Antialiasing);
        m_viste[size_t(i)] = v;
        tabGrafici->addTab(v, TitoloGrafico(Grafico(i)));
    }
    colonna->addWidget(tabGrafici, 1);

    auto *pulsanti = new QHBoxLayout;
    cmdSalva = Pulsante(this, "cmdSalva", QStringLiteral("Salva il grafico..."));
    cmdEsporta = Pulsante(this, "cmdEsporta", QStringLiteral("Esporta i dati..."));
    cmdStampa = Pulsante(this, "cmdStampa", QStringLiteral("Stampa"));
    cmdChiudi = Pulsante(this, "cmdChiudi", QStringLiteral("Chiudi"));
    pulsanti->addWidget(cmdSalva);
    pulsanti->addWidget(cmdEsporta);
    pulsanti->addWidget(cmdStampa);
    pulsanti->addStretch();
    pulsanti->addWidget(cmdChiudi);
    colonna->addLayout(pulsanti);

    connect(cmdAggiorna, &QPushButton::clicked, this, &TfrmStatistiche::cmdAggiornaClick);
    connect(cmdSalva, &QPushButton::clicked, this, &TfrmStatistiche::cmdSalvaClick);
    connect(cmdEsporta, &QPushButton::clicked, this, &TfrmStatistiche::cmdEsportaClick);
    connect(cmdStampa, &QPushButton::clicked, this, &TfrmStatistiche::cmdStampaClick);
    connect(cmdChiudi, &QPushButton::clicked, this, &TfrmStatistiche::cmdChiudiClick);

    const QDate oggi = Piattaforma::Oggi();
    txtDal->setText(Testo::TestoData(QDate(oggi.year(), 1, 1)));
    txtAl->setText(Testo::TestoData(QDate(oggi.year(), 12, 31)));
    setFixedSize(1240, 660);
}

TfrmStatistiche::~TfrmStatistiche() = default;

void TfrmStatistiche::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Finestra::Centra(this, Finestra::Centro::Schermo);
        cmdAggiornaClick();
    }
}

bool TfrmStatistiche::Filtro(TFiltroStatistiche &f)
{
    f.oggi = Piattaforma::Oggi();
    f.annullate = chkAnnullate->isChecked();
    f.periodo = chkPeriodo->isChecked();
    if (f.periodo) {
        f.dal = Testo::ConvertiData(Testo::Trim32(txtDal->text()));
        f.al = Testo::ConvertiData(Testo::Trim32(txtAl->text()));
        if (!f.dal.isValid() || !f.al.isValid() || f.al < f.dal) {
            Piattaforma::Avviso(QStringLiteral("Indicare un periodo valido: due date nella forma "
                                               "gg/mm/aaaa, la seconda non prima della prima."),
                                this);
            return false;
        }
    }
    return true;
}

void TfrmStatistiche::cmdAggiornaClick()
{
    TFiltroStatistiche f;
    if (!Filtro(f))
        return;
    m_filtro = f;
    m_pronta = false;
    lblAttendere->show();
    const int richiesta = ++m_richiesta;
    auto figure = std::make_shared<TStatistiche>();
    auto errore = std::make_shared<QString>();
    const QString cartella = Piattaforma::CartellaProgramma();
    Sottofondo::Esegui(
        [figure, errore, cartella, f] {
            try {
                const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
                *figure = Calcola(*deposito, f);
            } catch (const ErroreFile &e) {
                *errore = e.testo();
            }
        },
        this,
        [this, figure, errore, richiesta] {
            if (richiesta == m_richiesta)
                Mostra(figure, *errore);
        });
}

void TfrmStatistiche::Mostra(std::shared_ptr<TStatistiche> figure, const QString &errore)
{
    lblAttendere->hide();
    if (!errore.isNull()) {
        m_pronta = true;
        Piattaforma::Messaggio(ConsiglioArchivio::Adatta(TestoArchivioNonLetto), this);
        emit Aggiornata();
        return;
    }
    m_figure = std::move(figure);
    const TStatistiche &s = *m_figure;
    const bool periodo = ConPeriodo(m_filtro);
    lblAttivi->setText(QStringLiteral("Tessere attive: %1").arg(s.schede.attive));
    lblAnnullate->setText(QStringLiteral("Tessere annullate: %1").arg(s.schede.annullate));
    lblScadute->setText(QStringLiteral("Tessere scadute: %1").arg(s.schede.scadute));
    lblInScadenza->setText(QStringLiteral("In scadenza (30 giorni): %1").arg(s.schede.inScadenza));
    lblRinnovate->setText((periodo ? QStringLiteral("Rinnovate nel periodo: %1")
                                   : QStringLiteral("Rinnovate quest'anno: %1"))
                              .arg(s.rinnovate));
    lblQuote->setText(
        (periodo ? QStringLiteral("Quote nel periodo: %1") : QStringLiteral("Quote quest'anno: %1"))
            .arg(Euro(s.quote)));
    lblNonValide->setText(
        QStringLiteral("Schede contate: %1. Date non valide, contate a parte: scadenza %2, "
                       "nascita %3.")
            .arg(s.schede.schede)
            .arg(s.schede.scadenzeNonValide)
            .arg(s.schede.nascitaNonValide));
    for (int i = 0; i < NumeroGrafici; ++i) {
        const Grafico g = Grafico(i);
        QChart *c = GraficiStatistiche::Crea(s, g, [this, g](int serie, int barra) {
            // After the click's own handling: the list is a modal screen.
            QMetaObject::invokeMethod(
                this, [this, g, serie, barra] { Clic(g, serie, barra); }, Qt::QueuedConnection);
        });
        QChart *vecchio = m_viste[size_t(i)]->chart();
        m_viste[size_t(i)]->setChart(c);
        delete vecchio;
    }
    m_pronta = true;
    emit Aggiornata();
}

void TfrmStatistiche::Clic(Grafico g, int serie, int barra)
{
    TSelezione sel;
    const TStatistiche &s = *m_figure;
    const auto voce = [&](const std::vector<TVoce> &voci, TSelezione::Tipo tipo) {
        if (barra < 0 || barra >= int(voci.size()))
            return false;
        sel.tipo = tipo;
        sel.chiave = voci[size_t(barra)].chiave;
        return true;
    };
    switch (g) {
    case Grafico::Scadenze:
        sel.tipo = TSelezione::Tipo::Scadenze;
        sel.mese = s.scadenze.primo + barra;
        break;
    case Grafico::Piramide:
        sel.tipo = TSelezione::Tipo::Piramide;
        sel.sesso = serie;
        sel.fascia = barra;
        break;
    case Grafico::Comuni:
        if (!voce(s.comuni, TSelezione::Tipo::Comune))
            return;
        break;
    case Grafico::Province:
        if (!voce(s.province, TSelezione::Tipo::Provincia))
            return;
        break;
    case Grafico::Cariche:
        if (!voce(s.cariche, TSelezione::Tipo::Carica))
            return;
        break;
    case Grafico::Rinnovi:
        // The cards of the month still expired.
        sel.tipo = TSelezione::Tipo::ScaduteNelMese;
        sel.mese = s.rinnoviInTempo.primo + barra;
        break;
    case Grafico::Quote:
        return; // money, not members
    }
    std::vector<int> membri;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        membri = Membri(*deposito, m_filtro, sel);
    } catch (const ErroreFile &) {
        QApplication::restoreOverrideCursor();
        Piattaforma::Messaggio(ConsiglioArchivio::Adatta(TestoArchivioNonLetto), this);
        return;
    }
    QApplication::restoreOverrideCursor();
    ApriModale<TfrmTrovaAnagrafica>(this, [&](TfrmTrovaAnagrafica &t) {
        t.MostraSchede(QList<int>(membri.begin(), membri.end()));
    });
}

QChart *TfrmStatistiche::GraficoCorrente() const
{
    return m_viste[size_t(std::max(0, tabGrafici->currentIndex()))]->chart();
}

void TfrmStatistiche::cmdSalvaClick()
{
    const QString percorso = Piattaforma::SalvaFile(
        this, QStringLiteral("Salva il grafico"),
        TitoloGrafico(Grafico(tabGrafici->currentIndex())) + QStringLiteral(".png"),
        QStringLiteral("Immagine PNG (*.png);;Disegno SVG (*.svg);;Documento PDF (*.pdf)"),
        QStringLiteral("png"));
    if (percorso.isEmpty())
        return;
    if (!GraficiStatistiche::Salva(GraficoCorrente(), percorso))
        Piattaforma::Errore(QStringLiteral("Impossibile salvare il grafico in ") + percorso, this);
}

void TfrmStatistiche::cmdEsportaClick()
{
    const Grafico g = Grafico(tabGrafici->currentIndex());
    const QString percorso =
        Piattaforma::SalvaFile(this, QStringLiteral("Esporta i dati del grafico"),
                               TitoloGrafico(g) + QStringLiteral(".xls"),
                               QStringLiteral("Foglio di calcolo (*.xls)"), QStringLiteral("xls"));
    if (percorso.isEmpty())
        return;
    try {
        ScriviTabella(percorso, Tabella(*m_figure, g));
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), this);
    }
}

void TfrmStatistiche::cmdStampaClick()
{
    TReport report(QStringLiteral("Statistiche"));
    TReportPage &pagina = report.Pages(1);
    pagina.SetOrientation(poLandscape);
    pagina.SetMargins(10, 10, 10, 10);
    QString ente;
    try {
        ente = ApriDeposito(Piattaforma::CartellaProgramma())->LeggiDatiEnte().Denominazione;
    } catch (const ErroreFile &) {
    }
    const double larghezza = Unita::DaMm(277);
    auto &titolo = pagina.Add<TMemoView>(QStringLiteral("memTitolo"), Unita::DaMm(10),
                                         Unita::DaMm(8), larghezza, Unita::DaMm(9));
    titolo.Font.Size = 14;
    titolo.Font.Style = fsBold;
    titolo.SetText((ente.isEmpty() ? QString() : ente + QStringLiteral(" - ")) +
                   QStringLiteral("Statistiche al ") + Testo::TestoData(Piattaforma::Oggi()));
    auto &cifre = pagina.Add<TMemoView>(QStringLiteral("memCifre"), Unita::DaMm(10),
                                        Unita::DaMm(18), larghezza, Unita::DaMm(12));
    cifre.Font.Size = 9;
    cifre.SetText(QStringList{lblAttivi->text(), lblInScadenza->text(), lblScadute->text(),
                              lblAnnullate->text(), lblRinnovate->text(), lblQuote->text()}
                      .join(QStringLiteral("   ")) +
                  QStringLiteral("\n") + lblNonValide->text());
    // Seven charts in two rows of four.
    const double w = 277.0 / 4, h = 84.0;
    for (int i = 0; i < NumeroGrafici; ++i) {
        auto &img = pagina.Add<TPictureView>(
            QStringLiteral("picGrafico%1").arg(i), Unita::DaMm(10 + (i % 4) * w),
            Unita::DaMm(32 + (i / 4) * (h + 4)), Unita::DaMm(w - 2), Unita::DaMm(h));
        img.SetPicture(GraficiStatistiche::Immagine(m_viste[size_t(i)]->chart(), {900, 1000}));
    }
    if (!ReportGui::PrepareReport(report))
        return;
    StampaReport::Riferisci(ReportGui::Print(report, this), this);
}

void TfrmStatistiche::cmdChiudiClick()
{
    reject();
}
