#include "rinnovi/Rinnovo.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "cards/StampaLotto.h"
#include "lists/PannelloElenco.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/Ricevute.h"
#include "storage/ConnessioneServer.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

// What the screen hands its work, and the work hands back, shared: the screen may close
// before the work ends.
struct TLavoroRinnovo {
    QString cartella;
    std::vector<int> posizioni;
    TDatiRinnovo dati;
    std::shared_ptr<Sottofondo::TCondiviso> condiviso;
    TEsitoRinnovi esito;
    std::vector<TPagamento> pagamenti;
    QString errore;
};

namespace {

const std::array<const char *, 5> Metodi = {"Contanti", "Bonifico", "Carta/POS", "Assegno",
                                            "Altro"};

// Who enters the payments: the server's login on a server desk, the computer's account on
// the folder.
QString Operatore(const QString &cartella)
{
    if (ConnessioneServer::ArchivioSulServer(cartella))
        return ConnessioneServer::LeggiParametri(cartella).utente;
    return qEnvironmentVariable("USER");
}

QString Euro(qint64 centesimi)
{
    return QStringLiteral("\u20AC %1").arg(TestoEuro(centesimi));
}

} // namespace

TfrmRinnovo::TfrmRinnovo(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmRinnovo"));
    setWindowTitle(QStringLiteral(" Rinnovo tessere"));
    m_oggi = Piattaforma::Oggi();
    m_regole = TRegoleRinnovo::Carica(Piattaforma::CartellaProgramma());

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 12, 16, 12);
    v->setSpacing(10);
    lblTitolo = new QLabel(this);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    lblTitolo->setStyleSheet(Tavolozza::Colora(
        QStringLiteral("color: @Blu; font-family: Verdana; font-size: 13pt; font-weight: bold;")));
    v->addWidget(lblTitolo);

    auto *modulo = new QFormLayout;
    modulo->setLabelAlignment(Qt::AlignRight);
    modulo->setHorizontalSpacing(12);
    auto casella = [&](const char *nome, const QString &etichetta, int larghezza) {
        auto *t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(nome));
        if (larghezza)
            t->setFixedWidth(larghezza);
        modulo->addRow(etichetta, t);
        return t;
    };
    txtNuovaScadenza = casella("txtNuovaScadenza", QStringLiteral("Nuova scadenza:"), 120);
    txtNuovaScadenza->setMaxLength(10);
    txtQuota = casella("txtQuota", QStringLiteral("Quota (\u20AC):"), 120);
    cboPagamento = new QComboBox(this);
    cboPagamento->setObjectName(QStringLiteral("cboPagamento"));
    for (const char *m : Metodi)
        cboPagamento->addItem(QString::fromLatin1(m));
    cboPagamento->setFixedWidth(160);
    modulo->addRow(QStringLiteral("Pagamento:"), cboPagamento);
    txtDataPagamento = casella("txtDataPagamento", QStringLiteral("Data del pagamento:"), 120);
    txtDataPagamento->setMaxLength(10);
    txtCausale = casella("txtCausale", QStringLiteral("Causale:"), 0);
    txtCausale->setMaxLength(120);
    chkRicevuta = new QCheckBox(QStringLiteral("Stampa o invia la ricevuta"), this);
    chkRicevuta->setObjectName(QStringLiteral("chkRicevuta"));
    chkRicevuta->setChecked(true);
    modulo->addRow(QString(), chkRicevuta);
    chkTessere = new QCheckBox(QStringLiteral("Stampa le tessere rinnovate"), this);
    chkTessere->setObjectName(QStringLiteral("chkTessere"));
    modulo->addRow(QString(), chkTessere);
    v->addLayout(modulo);

    lstRinnovi = new QTreeWidget(this);
    lstRinnovi->setObjectName(QStringLiteral("lstRinnovi"));
    lstRinnovi->setRootIsDecorated(false);
    lstRinnovi->setUniformRowHeights(true);
    lstRinnovi->setSelectionMode(QAbstractItemView::NoSelection);
    lstRinnovi->setHeaderLabels({QStringLiteral("Tesserato"), QStringLiteral("Tessera"),
                                 QStringLiteral("Scadenza"), QStringLiteral("Nuova scadenza")});
    lstRinnovi->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c)
        lstRinnovi->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    v->addWidget(lstRinnovi, 1);

    lblTotale = new QLabel(this);
    lblTotale->setObjectName(QStringLiteral("lblTotale"));
    lblTotale->setStyleSheet(QStringLiteral("font-weight: bold;"));
    v->addWidget(lblTotale);
    prgRinnovo = new QProgressBar(this);
    prgRinnovo->setObjectName(QStringLiteral("prgRinnovo"));
    prgRinnovo->setVisible(false);
    v->addWidget(prgRinnovo);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch(1);
    cmdConferma = new QPushButton(QStringLiteral("Conferma"), this);
    cmdConferma->setObjectName(QStringLiteral("cmdConferma"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    for (QPushButton *b : {cmdConferma, cmdAnnulla}) {
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
        pulsanti->addWidget(b);
    }
    v->addLayout(pulsanti);

    m_tic = new QTimer(this);
    connect(m_tic, &QTimer::timeout, this, [this] {
        if (m_condiviso) {
            prgRinnovo->setMaximum(int(std::max<qint64>(1, m_condiviso->totale)));
            prgRinnovo->setValue(int(m_condiviso->fatti));
        }
    });
    connect(cmdConferma, &QPushButton::clicked, this, &TfrmRinnovo::cmdConfermaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmRinnovo::cmdAnnullaClick);
    connect(txtNuovaScadenza, &QLineEdit::textEdited, this, &TfrmRinnovo::txtNuovaScadenzaChange);
    connect(txtQuota, &QLineEdit::textEdited, this, &TfrmRinnovo::MostraRighe);

    txtQuota->setText(TestoEuro(m_regole.quota));
    txtDataPagamento->setText(Testo::TestoData(m_oggi));
    setFixedSize(640, 600);
}

TfrmRinnovo::~TfrmRinnovo()
{
    // Closing never waits: the work, told to stop, ends alone with what it shares.
    if (m_condiviso)
        m_condiviso->fermo = true;
}

bool TfrmRinnovo::Prepara(const QList<int> &posizioni)
{
    QHash<int, int> indice;
    for (int p : posizioni)
        if (!indice.contains(p))
            indice.insert(p, int(indice.size()));
    m_righe.assign(size_t(indice.size()), TRiga());
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const Campo campi[] = {Campo::Tesserato, Campo::NumTessera, Campo::DataScade,
                               Campo::Annullata};
        deposito->Scorri(campi, [&](int p, const TScheda &s) {
            const auto it = indice.constFind(p);
            if (it != indice.constEnd())
                m_righe[size_t(*it)] = {p, s.Leggi(Campo::Tesserato), s.Leggi(Campo::NumTessera),
                                        Testo::ConvertiData(s.Leggi(Campo::DataScade)),
                                        Annullata(s)};
            return true;
        });
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), parentWidget());
        return false;
    }
    // Positions no longer in the archive drop out.
    std::erase_if(m_righe, [](const TRiga &r) { return r.posizione == 0; });
    if (m_righe.empty())
        return false;

    lblTitolo->setText(m_righe.size() == 1
                           ? QStringLiteral("Rinnovo della tessera di %1").arg(m_righe[0].nome)
                           : QStringLiteral("Rinnovo di %1 tessere").arg(m_righe.size()));
    // One expiry for all when the rules give the same to every member; otherwise each
    // line shows its own and the box stays empty unless the user types one for all.
    QDate comune;
    bool tutte = true;
    for (const TRiga &r : m_righe) {
        if (r.annullata)
            continue;
        const QDate d = NuovaScadenza(r.scadenza, m_oggi, m_regole);
        if (!comune.isValid())
            comune = d;
        else if (d != comune)
            tutte = false;
    }
    if (tutte && comune.isValid())
        txtNuovaScadenza->setText(Testo::TestoData(comune));
    txtNuovaScadenza->setPlaceholderText(QStringLiteral("per ciascuno"));
    const int anno = m_regole.scadenza == TRegoleRinnovo::Scadenza::Anno && comune.isValid()
                         ? comune.year()
                         : m_oggi.year();
    txtCausale->setText(CausaleProposta(anno));
    MostraRighe();
    return true;
}

QDate TfrmRinnovo::Nuova(const TRiga &r) const
{
    const QString t = Testo::Trim32(txtNuovaScadenza->text());
    if (!t.isEmpty())
        return Testo::ConvertiData(t);
    return NuovaScadenza(r.scadenza, m_oggi, m_regole);
}

void TfrmRinnovo::txtNuovaScadenzaChange()
{
    MostraRighe();
}

void TfrmRinnovo::MostraRighe()
{
    lstRinnovi->setUpdatesEnabled(false);
    lstRinnovi->clear();
    int validi = 0;
    QList<QTreeWidgetItem *> voci;
    voci.reserve(qsizetype(m_righe.size()));
    for (const TRiga &r : m_righe) {
        const QDate nuova = Nuova(r);
        const QString colonna = r.annullata       ? QStringLiteral("annullata: non si rinnova")
                                : nuova.isValid() ? Testo::TestoData(nuova)
                                                  : QStringLiteral("?");
        voci << new QTreeWidgetItem(
            {r.nome, r.tessera, r.scadenza.isValid() ? Testo::TestoData(r.scadenza) : QString(),
             colonna});
        if (!r.annullata)
            ++validi;
    }
    lstRinnovi->addTopLevelItems(voci);
    lstRinnovi->setUpdatesEnabled(true);
    const qint64 quota = CentesimiDa(txtQuota->text());
    lblTotale->setText(
        QStringLiteral("Totale: %1 %2, %3")
            .arg(validi)
            .arg(validi == 1 ? QStringLiteral("tessera") : QStringLiteral("tessere"))
            .arg(quota >= 0 ? Euro(quota * validi) : QStringLiteral("quota da indicare")));
}

void TfrmRinnovo::cmdConfermaClick()
{
    if (InCorso())
        return;
    // Every entry checked before anything is written.
    std::vector<int> posizioni;
    for (const TRiga &r : m_righe)
        if (!r.annullata)
            posizioni.push_back(r.posizione);
    if (posizioni.empty()) {
        Piattaforma::Avviso(
            QStringLiteral("Le tessere scelte sono annullate: nessuna si pu\u00F2 rinnovare."),
            this);
        return;
    }
    const QString scadenza = Testo::Trim32(txtNuovaScadenza->text());
    TDatiRinnovo dati;
    dati.oggi = m_oggi;
    dati.regole = m_regole;
    if (!scadenza.isEmpty()) {
        dati.scadenza = Testo::ConvertiData(scadenza);
        if (!dati.scadenza.isValid() || dati.scadenza < m_oggi) {
            Piattaforma::Avviso(
                QStringLiteral("La nuova scadenza va scritta come gg/mm/aaaa e non pu\u00F2 "
                               "precedere la data di oggi; lasciata vuota, \u00E8 calcolata "
                               "per ciascun tesserato."),
                this);
            txtNuovaScadenza->setFocus();
            return;
        }
    }
    dati.centesimi = CentesimiDa(txtQuota->text());
    if (dati.centesimi < 0) {
        Piattaforma::Avviso(QStringLiteral("Indicare la quota in euro, per esempio 25,00."), this);
        txtQuota->setFocus();
        return;
    }
    dati.dataPagamento = Testo::ConvertiData(Testo::Trim32(txtDataPagamento->text()));
    if (!dati.dataPagamento.isValid()) {
        Piattaforma::Avviso(QStringLiteral("Indicare la data del pagamento come gg/mm/aaaa."),
                            this);
        txtDataPagamento->setFocus();
        return;
    }
    dati.causale = Testo::UnaRiga(txtCausale->text());
    if (dati.causale.isEmpty()) {
        Piattaforma::Avviso(QStringLiteral("Indicare la causale del pagamento."), this);
        txtCausale->setFocus();
        return;
    }
    dati.metodo = cboPagamento->currentText();
    const QString cartella = Piattaforma::CartellaProgramma();
    dati.inseritoDa = Operatore(cartella);

    for (QWidget *w : std::initializer_list<QWidget *>{txtNuovaScadenza, txtQuota, cboPagamento,
                                                       txtDataPagamento, txtCausale, chkRicevuta,
                                                       chkTessere, cmdConferma})
        w->setEnabled(false);
    prgRinnovo->setVisible(true);
    prgRinnovo->setMaximum(int(posizioni.size()));
    prgRinnovo->setValue(0);
    m_condiviso = std::make_shared<Sottofondo::TCondiviso>();
    auto lavoro = std::make_shared<TLavoroRinnovo>();
    lavoro->cartella = cartella;
    lavoro->posizioni = std::move(posizioni);
    lavoro->dati = dati;
    lavoro->condiviso = m_condiviso;
    m_tic->start(100);
    Sottofondo::Esegui(
        [lavoro] {
            try {
                const auto deposito = ApriDeposito(lavoro->cartella);
                lavoro->esito = RinnovaTutti(
                    *deposito, lavoro->posizioni, lavoro->dati,
                    [&](const TPagamento &p) { lavoro->pagamenti.push_back(p); },
                    Sottofondo::Riporta(lavoro->condiviso));
            } catch (const ErroreFile &e) {
                lavoro->errore = e.testo();
            } catch (const std::exception &e) {
                lavoro->errore = QString::fromLocal8Bit(e.what());
            }
        },
        this, [this, lavoro] { Fine(lavoro); });
}

void TfrmRinnovo::Fine(const std::shared_ptr<TLavoroRinnovo> &lavoro)
{
    m_tic->stop();
    m_condiviso.reset();
    prgRinnovo->setValue(prgRinnovo->maximum());
    const TEsitoRinnovi &esito = lavoro->esito;
    m_rinnovati = int(lavoro->pagamenti.size());
    QString testo;
    if (m_rinnovati == 1 && lavoro->posizioni.size() == 1) {
        const TPagamento &p = lavoro->pagamenti.front();
        testo = QStringLiteral("Tessera di %1 rinnovata fino al %2: ricevuta n. %3 di %4.")
                    .arg(p.nominativo, Testo::TestoData(p.al), p.Ricevuta(), Euro(p.centesimi));
    } else {
        qint64 totale = 0;
        for (const TPagamento &p : lavoro->pagamenti)
            totale += p.centesimi;
        testo = QStringLiteral("Tessere rinnovate: %1 su %2, per un totale di %3.")
                    .arg(m_rinnovati)
                    .arg(m_righe.size())
                    .arg(Euro(totale));
        if (!lavoro->pagamenti.empty())
            testo +=
                QStringLiteral("\nRicevute dalla n. %1 alla n. %2.")
                    .arg(lavoro->pagamenti.front().Ricevuta(), lavoro->pagamenti.back().Ricevuta());
    }
    if (esito.interrotto)
        testo = QStringLiteral("Rinnovo interrotto. ") + testo;
    if (!esito.nonRinnovati.isEmpty())
        testo += QStringLiteral("\n\nNon rinnovati:\n") + esito.nonRinnovati.join(u'\n');
    if (!lavoro->errore.isEmpty())
        Piattaforma::Errore(lavoro->errore + QStringLiteral("\n\n") + testo, this);
    else
        Piattaforma::Informazione(testo, this);

    if (chkRicevuta->isChecked() && !lavoro->pagamenti.empty())
        Ricevute::Consegna(this, lavoro->pagamenti);
    if (chkTessere->isChecked() && !lavoro->pagamenti.empty()) {
        QList<int> rinnovate;
        for (const TPagamento &p : lavoro->pagamenti)
            rinnovate << p.posizione;
        StampaLotto::Apri(this, rinnovate);
    }
    if (m_rinnovati > 0)
        accept();
    else
        reject();
}

void TfrmRinnovo::cmdAnnullaClick()
{
    if (InCorso()) {
        // Stops after the member in hand: each renewal is whole or not begun.
        m_condiviso->fermo = true;
        return;
    }
    reject();
}

void TfrmRinnovo::done(int r)
{
    // Not while the renewals run: closing asks them to stop, and the end closes the screen.
    if (InCorso()) {
        m_condiviso->fermo = true;
        return;
    }
    QDialog::done(r);
}

namespace Rinnovo {

bool Apri(QWidget *owner, const QList<int> &posizioni)
{
    if (posizioni.isEmpty())
        return false;
    const auto schermata = std::make_unique<TfrmRinnovo>(owner);
    if (!schermata->Prepara(posizioni))
        return false;
    Piattaforma::MostraModale(schermata.get());
    return schermata->Rinnovati();
}

void CompletaAllAvvio(QWidget *owner)
{
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const std::vector<TPagamento> completati = deposito->CompletaRinnovi();
        if (!completati.empty())
            Piattaforma::Informazione(MessaggioCompletati(completati), owner);
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(
            QStringLiteral("Impossibile completare i rinnovi rimasti a met\u00E0: %1\n\nLe quote "
                           "sono registrate; il completamento sar\u00E0 ritentato al prossimo "
                           "avvio.")
                .arg(e.testo()),
            owner);
    }
}

bool ApriDaElenco(QWidget *owner, TPannelloElenco &pannello)
{
    const QList<int> posizioni = pannello.PosizioniScelte();
    if (posizioni.isEmpty())
        return false;
    if (pannello.NessunaScelta() &&
        !Piattaforma::Domanda(DomandaTutti(int(posizioni.size())), owner))
        return false;
    return Apri(owner, posizioni);
}

QString DomandaTutti(int righe)
{
    return QStringLiteral("Nessuna riga \u00E8 selezionata: rinnovare tutte le %1 tessere "
                          "dell'elenco? Le tessere annullate non sono rinnovate.")
        .arg(righe);
}

} // namespace Rinnovo
