#include "lists/RiepilogoQuote.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "lists/Riepilogo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/Stampa.h"
#include "report/core/Ricevuta.h"
#include "storage/Deposito.h"
#include "widgets/OpenURL.h"
#include "widgets/Sottofondo.h"
#include "widgets/Tavolozza.h"

#include <QAbstractListModel>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const QString DomandaApri = QStringLiteral(
    "Il riepilogo delle quote \u00E8 stato esportato con successo.\r\n\r\nSi vuole aprire il "
    "file di Excel?");
const QString ErroreEsporta = QStringLiteral(
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di "
    "Excel non sia gi\u00E0 aperto.");

QDate LeggiData(const QLineEdit *box)
{
    return QDate::fromString(box->text().trimmed(), QStringLiteral("dd/MM/yyyy"));
}

} // namespace

// The list's lines made when shown: a year of many thousand entries costs no more to
// list than the lines in view.
class TModelloQuote : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Imposta(std::shared_ptr<const TRiepilogoQuote> r)
    {
        beginResetModel();
        m_riepilogo = std::move(r);
        m_intestazione = m_riepilogo ? RiepilogoQuote::Intestazione() : QString();
        m_coda = m_riepilogo ? RiepilogoQuote::Coda(*m_riepilogo) : QStringList();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        if (parent.isValid() || !m_riepilogo)
            return 0;
        return 1 + int(m_riepilogo->voci.size()) + int(m_coda.size());
    }
    QVariant data(const QModelIndex &i, int ruolo = Qt::DisplayRole) const override
    {
        if (ruolo != Qt::DisplayRole || !i.isValid() || i.row() >= rowCount())
            return {};
        const int voci = int(m_riepilogo->voci.size());
        if (i.row() == 0)
            return m_intestazione;
        if (i.row() <= voci)
            return RiepilogoQuote::Riga(m_riepilogo->voci[size_t(i.row() - 1)]);
        return m_coda.at(i.row() - 1 - voci);
    }

private:
    std::shared_ptr<const TRiepilogoQuote> m_riepilogo;
    QString m_intestazione;
    QStringList m_coda;
};

TfrmRiepilogoQuote::TfrmRiepilogoQuote(QWidget *parent)
    : QDialog(parent, Finestra::FlagsFissa), m_righe(new TModelloQuote(this)),
      repRiepilogo(new TRiepilogo(this))
{
    setObjectName(QStringLiteral("frmRiepilogoQuote"));
    setWindowTitle(QStringLiteral("Riepilogo quote"));
    setStyleSheet(Tavolozza::Colora(QStringLiteral(R"(
        QDialog { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                  stop:0 @Acciaio, stop:0.35 @Bianco); }
        QLabel { color: @Blu; font: bold 9pt "Verdana"; }
        QLineEdit { font: 10pt "Verdana"; background: @Bianco; border: 1px solid @Ardesia;
                    padding: 1px 3px; }
        QLineEdit:focus { background: @Giallo; }
        #lstQuote { font: 9pt "Courier New"; background: @Bianco; border: 1px solid @Acciaio; }
        #lblTotale { background: @Blu; color: @Bianco; font: 10pt "Tahoma"; padding: 3px 8px; }
        QPushButton { font: bold 9pt "Verdana"; color: @Blu; padding: 5px 14px; }
    )")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(14, 12, 14, 12);
    colonna->setSpacing(8);
    auto *periodo = new QHBoxLayout;
    const auto data = [this, periodo](const char *nome, const QString &etichetta) {
        auto *l = new QLabel(etichetta, this);
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(nome));
        box->setInputMask(QStringLiteral("99/99/9999"));
        box->setFixedWidth(110);
        l->setBuddy(box);
        periodo->addWidget(l);
        periodo->addWidget(box);
        return box;
    };
    txtDal = data("txtDal", QStringLiteral("Dal:"));
    txtAl = data("txtAl", QStringLiteral("Al:"));
    cmdMostra = new QPushButton(QStringLiteral("Mostra"), this);
    cmdMostra->setObjectName(QStringLiteral("cmdMostra"));
    cmdMostra->setDefault(true);
    periodo->addWidget(cmdMostra);
    periodo->addStretch();
    colonna->addLayout(periodo);

    lstQuote = new QListView(this);
    lstQuote->setObjectName(QStringLiteral("lstQuote"));
    lstQuote->setModel(m_righe);
    lstQuote->setUniformItemSizes(true);
    lstQuote->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstQuote->setMinimumSize(960, 420);
    colonna->addWidget(lstQuote, 1);

    lblTotale = new QLabel(this);
    lblTotale->setObjectName(QStringLiteral("lblTotale"));
    colonna->addWidget(lblTotale);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    const auto pulsante = [this, pulsanti](const char *nome, const QString &testo,
                                           void (TfrmRiepilogoQuote::*azione)()) {
        auto *b = new QPushButton(testo, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, azione);
        pulsanti->addWidget(b);
        return b;
    };
    cmdStampa =
        pulsante("cmdStampa", QStringLiteral("Stampa"), &TfrmRiepilogoQuote::cmdStampaClick);
    cmdExcel = pulsante("cmdExcel", QStringLiteral("Excel"), &TfrmRiepilogoQuote::cmdExcelClick);
    cmdChiudi =
        pulsante("cmdChiudi", QStringLiteral("Chiudi"), &TfrmRiepilogoQuote::cmdChiudiClick);
    colonna->addLayout(pulsanti);
    connect(cmdMostra, &QPushButton::clicked, this, &TfrmRiepilogoQuote::cmdMostraClick);
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmRiepilogoQuote::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
    Finestra::Centra(this, Finestra::Centro::Schermo);
}

void TfrmRiepilogoQuote::FormShow()
{
    // The current year, then its entries.
    const QDate oggi = Piattaforma::Oggi();
    txtDal->setText(Testo::TestoData(QDate(oggi.year(), 1, 1)));
    txtAl->setText(Testo::TestoData(QDate(oggi.year(), 12, 31)));
    cmdMostraClick();
}

bool TfrmRiepilogoQuote::Periodo(QDate &dal, QDate &al)
{
    dal = LeggiData(txtDal);
    al = LeggiData(txtAl);
    if (!dal.isValid() || !al.isValid()) {
        Piattaforma::Avviso(QStringLiteral("Indicare le date del periodo nel formato gg/mm/aaaa."),
                            this);
        return false;
    }
    if (al < dal) {
        Piattaforma::Avviso(QStringLiteral("La data finale del periodo precede quella iniziale."),
                            this);
        return false;
    }
    return true;
}

void TfrmRiepilogoQuote::cmdMostraClick()
{
    QDate dal, al;
    if (m_inLettura || !Periodo(dal, al))
        return;
    m_inLettura = true;
    for (QPushButton *b : {cmdMostra, cmdStampa, cmdExcel})
        b->setEnabled(false);
    lblTotale->setText(QStringLiteral("Lettura del registro delle quote..."));
    // A long register is read off the window's thread.
    struct Risultato {
        std::shared_ptr<TRiepilogoQuote> riepilogo;
        QString errore;
    };
    auto risultato = std::make_shared<Risultato>();
    const QString cartella = Piattaforma::CartellaProgramma();
    Sottofondo::Esegui(
        [risultato, cartella, dal, al] {
            try {
                const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
                risultato->riepilogo =
                    std::make_shared<TRiepilogoQuote>(RiepilogoQuote::Leggi(*deposito, dal, al));
            } catch (const ErroreFile &e) {
                risultato->errore = e.testo();
            }
        },
        this, [this, risultato] { Mostra(risultato->riepilogo, risultato->errore); });
}

void TfrmRiepilogoQuote::Mostra(std::shared_ptr<const TRiepilogoQuote> r, const QString &errore)
{
    m_inLettura = false;
    for (QPushButton *b : {cmdMostra, cmdStampa, cmdExcel})
        b->setEnabled(true);
    m_riepilogo = std::move(r);
    m_righe->Imposta(m_riepilogo);
    if (!m_riepilogo) {
        lblTotale->clear();
        Piattaforma::Errore(errore, this);
        return;
    }
    const TSomma &t = m_riepilogo->totale;
    lblTotale->setText(
        QStringLiteral("Totale del periodo: %1 %2, \u20AC %3")
            .arg(t.quanti)
            .arg(t.quanti == 1 ? QStringLiteral("ricevuta") : QStringLiteral("ricevute"))
            .arg(ImportoInCifre(t.centesimi)));
}

void TfrmRiepilogoQuote::cmdStampaClick()
{
    if (!m_riepilogo)
        return;
    StampaReport::Riferisci(
        repRiepilogo->Stampa(RiepilogoQuote::Titolo(m_riepilogo->dal, m_riepilogo->al),
                             RiepilogoQuote::Righe(*m_riepilogo), this),
        this);
}

void TfrmRiepilogoQuote::cmdExcelClick()
{
    if (!m_riepilogo)
        return;
    const QString percorso = QDir::toNativeSeparators(
        QDir(Piattaforma::CartellaProgramma()).filePath(NomeEsportazioneQuote));
    try {
        RiepilogoQuote::ScriviEsportazione(percorso, *m_riepilogo);
    } catch (const ErroreFile &) {
        Piattaforma::Messaggio(ErroreEsporta, this);
        return;
    }
    if (Piattaforma::Domanda(DomandaApri, this))
        TMisc::Open(u'"' + percorso + u'"');
}

void TfrmRiepilogoQuote::cmdChiudiClick()
{
    reject();
}
