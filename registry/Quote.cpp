#include "registry/Quote.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/Ricevute.h"
#include "report/core/Ricevuta.h"
#include "storage/Deposito.h"
#include "widgets/Tavolozza.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>

namespace {

// Who voids an entry, as the register records it.
QString Operatore()
{
    const QString utente = qEnvironmentVariable("USER");
    return utente.isEmpty() ? QStringLiteral("Quorvel") : utente;
}

} // namespace

TfrmQuote::TfrmQuote(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmQuote"));
    setWindowTitle(QStringLiteral("Quote versate"));
    setStyleSheet(Tavolozza::Colora(QStringLiteral(R"(
        QDialog { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                  stop:0 @Acciaio, stop:0.35 @Bianco); }
        #lblTesserato { color: @Cremisi; font: bold 11pt "Verdana"; }
        #grdQuote { font: 9pt "Verdana"; background: @Bianco; border: 1px solid @Acciaio; }
        #lblTotale { background: @Blu; color: @Bianco; font: 10pt "Tahoma"; padding: 3px 8px; }
        QPushButton { font: bold 9pt "Verdana"; color: @Blu; padding: 5px 14px; }
    )")));
    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(14, 12, 14, 12);
    colonna->setSpacing(8);
    lblTesserato = new QLabel(this);
    lblTesserato->setObjectName(QStringLiteral("lblTesserato"));
    colonna->addWidget(lblTesserato);

    grdQuote = new QTableWidget(0, 7, this);
    grdQuote->setObjectName(QStringLiteral("grdQuote"));
    grdQuote->setHorizontalHeaderLabels({QStringLiteral("Ricevuta"), QStringLiteral("Data"),
                                         QStringLiteral("Importo"), QStringLiteral("Metodo"),
                                         QStringLiteral("Periodo"), QStringLiteral("Causale"),
                                         QStringLiteral("Stato")});
    grdQuote->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdQuote->setSelectionMode(QAbstractItemView::SingleSelection);
    grdQuote->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdQuote->verticalHeader()->setVisible(false);
    grdQuote->horizontalHeader()->setStretchLastSection(true);
    const int larghezze[] = {80, 85, 90, 85, 190, 200, 150};
    for (int c = 0; c < 7; ++c)
        grdQuote->setColumnWidth(c, larghezze[c]);
    grdQuote->setMinimumSize(900, 300);
    colonna->addWidget(grdQuote, 1);

    lblTotale = new QLabel(this);
    lblTotale->setObjectName(QStringLiteral("lblTotale"));
    colonna->addWidget(lblTotale);

    auto *pulsanti = new QHBoxLayout;
    const auto pulsante = [this, pulsanti](const char *nome, const QString &testo,
                                           void (TfrmQuote::*azione)()) {
        auto *b = new QPushButton(testo, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, azione);
        pulsanti->addWidget(b);
        return b;
    };
    cmdRistampa =
        pulsante("cmdRistampa", QStringLiteral("Ristampa ricevuta"), &TfrmQuote::cmdRistampaClick);
    cmdStorna = pulsante("cmdStorna", QStringLiteral("Storna"), &TfrmQuote::cmdStornaClick);
    pulsanti->addStretch();
    cmdChiudi = pulsante("cmdChiudi", QStringLiteral("Chiudi"), &TfrmQuote::cmdChiudiClick);
    colonna->addLayout(pulsanti);
    connect(grdQuote, &QTableWidget::itemSelectionChanged, this,
            &TfrmQuote::grdQuoteSelectionChange);
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

void TfrmQuote::MostraTesserato(int posizione, const QString &nome)
{
    m_posizione = posizione;
    lblTesserato->setText(QStringLiteral("%1 (posizione %2)").arg(nome.trimmed()).arg(posizione));
    Aggiorna();
}

void TfrmQuote::Aggiorna()
{
    m_voci.clear();
    try {
        m_voci = ApriDeposito(Piattaforma::CartellaProgramma())->PagamentiDi(m_posizione);
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), this);
    }
    // Which entries are void, and by which receipt; and the receipt numbers by id.
    std::map<qint64, QString> numeri, stornate;
    for (const TPagamento &p : m_voci) {
        numeri[p.id] = p.Ricevuta();
        if (p.annulla != 0)
            stornate[p.annulla] = p.Ricevuta();
    }
    grdQuote->clearSelection();
    grdQuote->setRowCount(int(m_voci.size()));
    qint64 totale = 0;
    for (int r = 0; r < int(m_voci.size()); ++r) {
        const TPagamento &p = m_voci[size_t(r)];
        totale += p.centesimi;
        QString stato;
        if (p.annulla != 0)
            stato = QStringLiteral("storno della n. ") +
                    (numeri.count(p.annulla) ? numeri[p.annulla] : QString::number(p.annulla));
        else if (stornate.count(p.id))
            stato = QStringLiteral("stornata dalla n. ") + stornate[p.id];
        const QString celle[] = {p.Ricevuta(),
                                 Testo::TestoData(p.data),
                                 QStringLiteral("\u20AC ") + ImportoInCifre(p.centesimi),
                                 p.metodo,
                                 Ricevuta::Periodo(p),
                                 Testo::UnaRiga(p.causale),
                                 stato};
        for (int c = 0; c < 7; ++c) {
            auto *cella = new QTableWidgetItem(celle[c]);
            if (c == 2)
                cella->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdQuote->setItem(r, c, cella);
        }
    }
    lblTotale->setText(
        QStringLiteral("Totale versato: \u20AC %1 (%2 %3)")
            .arg(ImportoInCifre(totale))
            .arg(m_voci.size())
            .arg(m_voci.size() == 1 ? QStringLiteral("movimento") : QStringLiteral("movimenti")));
    grdQuoteSelectionChange();
}

void TfrmQuote::grdQuoteSelectionChange()
{
    const bool scelto = !grdQuote->selectionModel()->selectedRows().isEmpty();
    cmdRistampa->setEnabled(scelto);
    cmdStorna->setEnabled(scelto);
}

const TPagamento *TfrmQuote::Scelto()
{
    const QModelIndexList righe = grdQuote->selectionModel()->selectedRows();
    if (righe.isEmpty() || righe.front().row() >= int(m_voci.size())) {
        Piattaforma::Messaggio(QStringLiteral("Selezionare una ricevuta nell'elenco."), this);
        return nullptr;
    }
    return &m_voci[size_t(righe.front().row())];
}

void TfrmQuote::cmdRistampaClick()
{
    if (const TPagamento *p = Scelto())
        Ricevute::Consegna(this, {*p});
}

void TfrmQuote::cmdStornaClick()
{
    const TPagamento *scelto = Scelto();
    if (!scelto)
        return;
    const TPagamento p = *scelto;
    if (p.annulla != 0) {
        Piattaforma::Messaggio(
            QStringLiteral("La ricevuta n. %1 \u00E8 gi\u00E0 uno storno e non pu\u00F2 essere "
                           "stornata.")
                .arg(p.Ricevuta()),
            this);
        return;
    }
    for (const TPagamento &altro : m_voci)
        if (altro.annulla == p.id) {
            Piattaforma::Messaggio(
                QStringLiteral("La ricevuta n. %1 \u00E8 gi\u00E0 stata stornata dalla n. %2.")
                    .arg(p.Ricevuta(), altro.Ricevuta()),
                this);
            return;
        }
    if (!Piattaforma::Domanda(
            QStringLiteral("Si vuole stornare la ricevuta n. %1 del %2 di "
                           "\u20AC %3?\r\n\r\nIl registro conserva la "
                           "ricevuta e aggiunge uno storno che la annulla.")
                .arg(p.Ricevuta(), Testo::TestoData(p.data), ImportoInCifre(p.centesimi)),
            this))
        return;
    try {
        const TPagamento storno =
            ApriDeposito(Piattaforma::CartellaProgramma())
                ->StornaPagamentoIl(p.id, Piattaforma::Oggi(),
                                    QStringLiteral("Storno della ricevuta n. ") + p.Ricevuta(),
                                    Operatore());
        Aggiorna();
        Piattaforma::Informazione(QStringLiteral("La ricevuta n. %1 \u00E8 stata stornata con la "
                                                 "n. %2.")
                                      .arg(p.Ricevuta(), storno.Ricevuta()),
                                  this);
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), this);
    }
}

void TfrmQuote::cmdChiudiClick()
{
    reject();
}
