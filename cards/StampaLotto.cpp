#include "cards/StampaLotto.h"

#include "archive/Errori.h"
#include "cards/FinestraStampa.h"
#include "cards/Segnaposto.h"
#include "platform/Piattaforma.h"
#include "report/Anteprima.h"
#include "report/Stampa.h"
#include "report/core/Pittore.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/Sottofondo.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <optional>

namespace {

QString Quante(int n, const char *uno, const char *molti)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? uno : molti));
}

// The preview's pages: composed when shown, one held at a time.
class TPagineLotto : public TSorgentePagine {
public:
    explicit TPagineLotto(const TLottoTessere &lotto) : m_lotto(lotto) {}
    QString Nome() const override { return m_lotto.Nome(); }
    int Conta() const override { return m_lotto.Pagine(); }
    const TPaginaPreparata &Pagina(int i) override
    {
        if (i != m_indice) {
            m_indice = -1;
            m_pagina = m_lotto.ComponiPagina(i);
            m_indice = i;
        }
        return m_pagina;
    }
    void Stampa(QWidget *owner, int corrente) override
    {
        StampaLotto::Riferisci(StampaLotto::Stampa(m_lotto, owner, corrente), owner);
    }

private:
    const TLottoTessere &m_lotto;
    int m_indice = -1;
    TPaginaPreparata m_pagina;
};

// A batch print off the window's thread. It owns what it uses, a copy of the cards and
// the printer set in the dialog, so nothing it touches goes away under it.
struct TLavoroStampa {
    explicit TLavoroStampa(const TLottoTessere &l) : lotto(l) {}
    TLottoTessere lotto;
    QPrinter stampante{QPrinter::HighResolution};
    QList<int> pagine;
    std::optional<TPaginaPreparata> prima;
    Avanzamento avanzamento;
    TEsitoStampa esito;
};

TEsitoStampa Fallita(int pagina, int n)
{
    return {
        TEsitoStampa::Tipo::Fallito,
        QStringLiteral("Attenzione: la stampa si \u00e8 interrotta alla pagina %1 di %2.\n\r\n\r"
                       "Accertarsi che la stampante sia configurata correttamente.")
            .arg(pagina)
            .arg(n)};
}

// The chosen pages, each composed, drawn and dropped in turn, on the work's thread.
TEsitoStampa StampaPagine(TLavoroStampa &l)
{
    const int n = l.lotto.Pagine();
    const QList<int> &pagine = l.pagine;
    QPainter p;
    int pagina = pagine.front() + 1;
    try {
        for (int k = 0; k < pagine.size(); ++k) {
            const int i = pagine[k];
            pagina = i + 1;
            TPaginaPreparata pp =
                (i == 0 && l.prima) ? std::move(*l.prima) : l.lotto.ComponiPagina(i);
            l.prima.reset();
            l.stampante.setPageLayout(Pittore::LayoutPagina(pp));
            if (k == 0 ? !p.begin(&l.stampante) : !l.stampante.newPage()) {
                if (p.isActive())
                    p.end();
                return Fallita(pagina, n);
            }
            Pittore::Trasforma(p);
            Pittore::DisegnaPagina(p, pp);
            if (l.avanzamento && !l.avanzamento(k + 1, pagine.size()) && k + 1 < pagine.size()) {
                l.stampante.abort();
                p.end();
                return {TEsitoStampa::Tipo::Annullato,
                        QStringLiteral("Stampa interrotta dopo la pagina %1 di %2.")
                            .arg(pagina)
                            .arg(n)};
            }
        }
    } catch (const std::exception &) {
        if (p.isActive())
            p.end();
        return Fallita(pagina, n);
    }
    if (!p.end())
        return Fallita(pagina, n);
    return {TEsitoStampa::Tipo::Stampato, QString()};
}

} // namespace

namespace StampaLotto {

TEsitoStampa Stampa(const TLottoTessere &lotto, QWidget *owner, int corrente,
                    const Avanzamento &avanzamento)
{
    const int n = lotto.Pagine();
    if (n == 0)
        return {};
    auto lavoro = std::make_shared<TLavoroStampa>(lotto);
    // The first page sets the paper the dialog shows; it is printed as it is.
    try {
        lavoro->prima = lotto.ComponiPagina(0);
    } catch (const std::exception &) {
        return {TEsitoStampa::Tipo::Fallito,
                QStringLiteral("Attenzione: la stampa si \u00e8 interrotta alla pagina 1 di %1.")
                    .arg(n)};
    }
    QPrinter &stampante = lavoro->stampante;
    StampaReport::PreparaStampante(stampante, lotto.Nome());
    stampante.setPageLayout(Pittore::LayoutPagina(*lavoro->prima));
    if (!Piattaforma::DialogoStampa(stampante, owner, n))
        return {};
    lavoro->pagine = StampaReport::PagineScelte(stampante, n, corrente);
    if (lavoro->pagine.isEmpty())
        return {};
    lavoro->avanzamento = avanzamento;

    // The pages go out on a thread of their own; the window answers while the result is
    // awaited here. Started from the loop, so that what was already waiting (a press of
    // Annulla) is handled first.
    QEventLoop ciclo;
    bool finito = false;
    QTimer::singleShot(0, &ciclo, [&ciclo, &finito, lavoro] {
        Sottofondo::Esegui([lavoro] { lavoro->esito = StampaPagine(*lavoro); }, &ciclo,
                           [&ciclo, &finito] {
                               finito = true;
                               ciclo.quit();
                           });
    });
    ciclo.exec();
    // Only the program's end leaves the loop early; the work, told nothing, ends alone.
    if (!finito)
        return {TEsitoStampa::Tipo::Annullato, QStringLiteral("Stampa interrotta.")};
    return lavoro->esito;
}

bool Riferisci(const TEsitoStampa &esito, QWidget *owner)
{
    if (esito.Fallito())
        Piattaforma::Avviso(esito.errore, owner);
    else if (!esito.errore.isEmpty())
        Piattaforma::Informazione(esito.errore, owner);
    return esito.Stampato();
}

void Apri(QWidget *owner, const QList<int> &posizioni)
{
    const QString cartella = Piattaforma::CartellaProgramma();
    const auto deposito = ApriDeposito(cartella);
    const TDatiEnte ente = deposito->LeggiDatiEnte();
    TDatiTessera d;
    d.Logo = deposito->LeggiLogo();
    if (d.Logo.isNull())
        d.Logo = Segnaposto::Logo(Segnaposto::LogoGrande);
    d.Foto = Segnaposto::Ritratto(Segnaposto::RitrattoGrande);
    d.Associazione = ente.Denominazione;
    d.Sottotitolo01 = ente.Sottotitolo1;
    d.Sottotitolo02 = ente.Sottotitolo2;
    d.Annotazioni = ente.Annotazioni;
    // The QR code and the back as on the single card and the sheet.
    const TOpzioniTessera opzioni = deposito->LeggiOpzioniTessera();
    d.CodiceQR = opzioni.CodiceQR;
    d.TestoQR = opzioni.TestoQR;
    if (opzioni.CodiceQR && opzioni.Verifica)
        d.ChiaveQR = deposito->ChiaveVerifica();
    d.Retro = opzioni.Retro;
    d.TestoRetro = opzioni.TestoRetro;

    std::optional<TLottoTessere> lotto;
    try {
        lotto.emplace(TLottoTessere::DaArchivio(cartella, posizioni, std::move(d)));
    } catch (const ErroreFile &) {
        Piattaforma::Messaggio(
            QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio."), owner);
        return;
    }
    if (lotto->Tessere() == 0) {
        QString testo = QStringLiteral("Nessuna tessera da stampare.");
        if (lotto->Annullate() > 0)
            testo += QStringLiteral(" Escluse perch\u00e9 annullate: %1.").arg(lotto->Annullate());
        Piattaforma::Messaggio(testo, owner);
        return;
    }
    TfrmStampaLotto frm(std::move(*lotto), owner);
    Piattaforma::MostraModale(&frm);
}

} // namespace StampaLotto

TfrmStampaLotto::TfrmStampaLotto(TLottoTessere lotto, QWidget *parent)
    : TFinestraStampa(parent, nullptr, "frmStampaLotto", QStringLiteral(" Stampa tessere"),
                      QSize(560, 400)),
      m_lotto(std::move(lotto))
{
    imgStampante = new TImmagine(this);
    imgStampante->setObjectName(QStringLiteral("imgStampante"));
    imgStampante->setGeometry(14, 14, 150, 150);
    imgStampante->SetSvg(QStringLiteral(":/cards/stampante.svg"), QSize(150, 150));

    const int x = 180, w = 560 - x - 14;
    lblTessere = new QLabel(this);
    lblTessere->setObjectName(QStringLiteral("lblTessere"));
    lblTessere->setGeometry(x, 14, w, 64);
    lblTessere->setWordWrap(true);
    QFont fb = lblTessere->font();
    fb.setBold(true);
    fb.setPointSize(11);
    lblTessere->setFont(fb);
    lblTessere->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));

    auto *gruppo = new QGroupBox(this);
    gruppo->setGeometry(x, 86, w, 68);
    optFoglio = new QRadioButton(QStringLiteral("Nove per foglio A4"), gruppo);
    optFoglio->setObjectName(QStringLiteral("optFoglio"));
    optFoglio->setGeometry(12, 8, w - 24, 24);
    optFoglio->setChecked(true);
    optSingola = new QRadioButton(QStringLiteral("Una per pagina"), gruppo);
    optSingola->setObjectName(QStringLiteral("optSingola"));
    optSingola->setGeometry(12, 36, w - 24, 24);

    lblInizio = new QLabel(QStringLiteral("Prima posizione libera del foglio:"), this);
    lblInizio->setObjectName(QStringLiteral("lblInizio"));
    lblInizio->setGeometry(x, 166, w - 90, 28);
    txtInizio = new QSpinBox(this);
    txtInizio->setObjectName(QStringLiteral("txtInizio"));
    txtInizio->setGeometry(x + w - 80, 166, 80, 28);
    txtInizio->setRange(1, 9);
    txtInizio->setValue(1);
    txtInizio->setAlignment(Qt::AlignCenter);

    chkAdatta = new QCheckBox(QStringLiteral("Riduci il carattere dei testi troppo lunghi"), this);
    chkAdatta->setObjectName(QStringLiteral("chkAdatta"));
    chkAdatta->setGeometry(x, 204, w, 26);
    chkAdatta->setChecked(ImpostazioniStampa::LeggiScelta(Piattaforma::CartellaProgramma(),
                                                          ImpostazioniStampa::ChiaveAdatta));

    CreaAttesa(QRect(14, 260, 532, 24), Qt::AlignCenter);
    prgPagine = new QProgressBar(this);
    prgPagine->setObjectName(QStringLiteral("prgPagine"));
    prgPagine->setGeometry(14, 290, 532, 22);
    prgPagine->setFormat(QStringLiteral("Pagina %v di %m"));
    prgPagine->hide();

    btnAnnulla =
        Pulsante(this, "btnAnnulla", QStringLiteral("Annulla"), QRect(14, 400 - 46, 140, 32));
    btnAnteprima =
        Pulsante(this, "btnAnteprima", QStringLiteral("Anteprima"), QRect(236, 400 - 46, 150, 32));
    btnStampa =
        Pulsante(this, "btnStampa", QStringLiteral("Stampa"), QRect(396, 400 - 46, 150, 32));

    connect(optFoglio, &QRadioButton::clicked, this, &TfrmStampaLotto::optFoglioClick);
    connect(optSingola, &QRadioButton::clicked, this, &TfrmStampaLotto::optSingolaClick);
    connect(txtInizio, &QSpinBox::valueChanged, this, &TfrmStampaLotto::txtInizioChange);
    connect(chkAdatta, &QCheckBox::clicked, this, &TfrmStampaLotto::chkAdattaClick);
    connect(btnAnteprima, &QPushButton::clicked, this, &TfrmStampaLotto::btnAnteprimaClick);

    Aggiorna();
    Collega();
}

TfrmStampaLotto::~TfrmStampaLotto() = default;

void TfrmStampaLotto::Aggiorna()
{
    if (optFoglio->isChecked())
        m_lotto.ImpostaFoglio(txtInizio->value());
    else
        m_lotto.ImpostaSingola();
    // The offsets of the printer the print dialog offers first, as on the other screens.
    TImpostazioniStampa imp = ImpostazioniStampa::Leggi(Piattaforma::CartellaProgramma(),
                                                        Piattaforma::StampantePredefinita());
    imp.Adatta = chkAdatta->isChecked();
    m_lotto.ImpostaStampa(imp);
    txtInizio->setEnabled(optFoglio->isChecked());
    lblInizio->setEnabled(optFoglio->isChecked());
    QString testo = QStringLiteral("Saranno stampate %1 su %2.")
                        .arg(Quante(m_lotto.Tessere(), "tessera", "tessere"),
                             Quante(m_lotto.Pagine(), "pagina", "pagine"));
    if (m_lotto.Tessere() == 1)
        testo = QStringLiteral("Sar\u00e0 stampata 1 tessera su 1 pagina.");
    if (m_lotto.Annullate() > 0)
        testo += QStringLiteral("\nEscluse perch\u00e9 annullate: %1.").arg(m_lotto.Annullate());
    lblTessere->setText(testo);
}

void TfrmStampaLotto::optFoglioClick()
{
    Aggiorna();
}

void TfrmStampaLotto::optSingolaClick()
{
    Aggiorna();
}

void TfrmStampaLotto::txtInizioChange()
{
    Aggiorna();
}

void TfrmStampaLotto::chkAdattaClick()
{
    Aggiorna();
}

void TfrmStampaLotto::btnAnteprimaClick()
{
    Aggiorna();
    TPagineLotto pagine(m_lotto);
    TfrmAnteprimaReport anteprima(pagine, this);
    Piattaforma::MostraModale(&anteprima);
}

void TfrmStampaLotto::btnStampaClick()
{
    Aggiorna();
    const QString avviso =
        ImpostazioniStampa::Avviso(m_lotto.Voci(), chkAdatta->isChecked(), m_lotto.NomiAnnullate());
    if (!ConfermaStampa(avviso))
        return;
    FinestraStampa::RicordaScelta(ImpostazioniStampa::ChiaveAdatta, chkAdatta, this);
    lblAttendere->show();
    prgPagine->setRange(0, m_lotto.Pagine());
    prgPagine->setValue(0);
    prgPagine->show();
    repaint();
    // Only Annulla stays usable while the pages go out: it stops the run.
    const QList<QWidget *> bloccati = {optFoglio, optSingola,   txtInizio,
                                       chkAdatta, btnAnteprima, btnStampa};
    for (QWidget *w : bloccati)
        w->setEnabled(false);
    // The pages go out on the work's thread; the bar follows what it reports.
    m_inStampa = true;
    m_condiviso = std::make_shared<Sottofondo::TCondiviso>();
    const auto condiviso = m_condiviso;
    QTimer tic;
    connect(&tic, &QTimer::timeout, this, [this, condiviso] {
        if (condiviso->totale > 0)
            prgPagine->setRange(0, int(condiviso->totale));
        prgPagine->setValue(int(condiviso->fatti));
    });
    tic.start(100);
    const TEsitoStampa esito =
        StampaLotto::Stampa(m_lotto, this, 0, Sottofondo::Riporta(m_condiviso));
    tic.stop();
    m_inStampa = false;
    for (QWidget *w : bloccati)
        w->setEnabled(true);
    Aggiorna();
    lblAttendere->hide();
    prgPagine->hide();
    // A failed or stopped run leaves the screen open to try again, unless it was closed.
    if (StampaLotto::Riferisci(esito, this))
        accept();
    else if (m_chiudi)
        TFinestraStampa::reject();
    m_chiudi = false;
}

void TfrmStampaLotto::reject()
{
    if (m_inStampa) {
        m_condiviso->fermo = true;
        return;
    }
    TFinestraStampa::reject();
}

void TfrmStampaLotto::closeEvent(QCloseEvent *e)
{
    // Closed while printing: the run stops after the page going out, and the screen goes.
    if (m_inStampa) {
        m_condiviso->fermo = true;
        m_chiudi = true;
        e->ignore();
        return;
    }
    TFinestraStampa::closeEvent(e);
}
