// The renewal list's reminders by e-mail: the preview to confirm, the batch on its own
// thread with a progress bar and a cancel button, the summary, and the date of the
// last reminder on each line.
#include "lists/Sospesi.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "lists/PannelloElenco.h"
#include "lists/RiepilogoQuote.h"
#include "mail/AnteprimaAvvisi.h"
#include "mail/Posta.h"
#include "mail/core/InvioAvvisi.h"
#include "mail/core/Messaggio.h"
#include "mail/core/RegistroAvvisi.h"
#include "platform/Piattaforma.h"
#include "rinnovi/core/RegoleRinnovo.h"
#include "storage/Deposito.h"
#include "widgets/Modale.h"
#include "widgets/Sottofondo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <memory>

QWidget *TfrmSospesi::BarraAvvisi()
{
    auto *barra = new QWidget(this);
    barra->setObjectName(QStringLiteral("panAvvisi"));
    auto *h = new QHBoxLayout(barra);
    h->setContentsMargins(16, 0, 16, 12);
    chkRipeti = new QCheckBox(
        QStringLiteral("Includi anche i tesserati gi\u00E0 avvisati di recente"), barra);
    chkRipeti->setObjectName(QStringLiteral("chkRipeti"));
    prgAvvisi = new QProgressBar(barra);
    prgAvvisi->setObjectName(QStringLiteral("prgAvvisi"));
    prgAvvisi->setVisible(false);
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), barra);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdAnnulla->setVisible(false);
    cmdPosta = new QPushButton(QStringLiteral("Impostazioni posta"), barra);
    cmdPosta->setObjectName(QStringLiteral("cmdPosta"));
    cmdAvvisi = new QPushButton(QStringLiteral("Invia avvisi"), barra);
    cmdAvvisi->setObjectName(QStringLiteral("cmdAvvisi"));
    h->addWidget(chkRipeti);
    h->addWidget(prgAvvisi, 1);
    h->addWidget(cmdAnnulla);
    h->addStretch(0);
    for (QPushButton *b : {cmdAnnulla, cmdPosta, cmdAvvisi}) {
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
    }
    // The season's takings, beside its reminders.
    auto *quote = new QPushButton(QStringLiteral("Riepilogo quote"), barra);
    quote->setObjectName(QStringLiteral("cmdRiepilogoQuote"));
    quote->setMinimumWidth(110);
    quote->setAutoDefault(false);
    connect(quote, &QPushButton::clicked, this, &TfrmSospesi::cmdRiepilogoQuoteClick);
    h->addWidget(quote);
    h->addWidget(cmdPosta);
    h->addWidget(cmdAvvisi);
    connect(cmdAvvisi, &QPushButton::clicked, this, &TfrmSospesi::cmdAvvisiClick);
    connect(cmdPosta, &QPushButton::clicked, this, &TfrmSospesi::cmdPostaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmSospesi::cmdAnnullaClick);
    return barra;
}

void TfrmSospesi::SegnaUltimiAvvisi(Elenco &elenco) const
{
    // A column of its own right after the expiry date, blank for members never reminded,
    // so the columns after it stay aligned.
    const QString vuota(21, u' ');
    const std::unique_ptr<TDeposito> deposito = ApriDeposito(Piattaforma::CartellaProgramma());
    const QHash<QString, QDate> ultimi = deposito->UltimiInvii();
    if (ultimi.isEmpty())
        return;
    for (size_t r = 0; r < elenco.size(); ++r) {
        const int posizione = elenco.Posizione(r);
        // The name the line was made from; a line given as text reads its record.
        QString nome = elenco.Tesserato(r);
        if (nome.isNull())
            nome = deposito->LeggiScheda(posizione).Leggi(Campo::Tesserato);
        const auto i = ultimi.constFind(RegistroAvvisi::Chiave(posizione, nome));
        elenco.ImpostaColonna(r, i == ultimi.constEnd()
                                     ? vuota
                                     : QStringLiteral("  Avvisato ") + Testo::TestoData(*i));
    }
}

void TfrmSospesi::cmdPostaClick()
{
    TfrmPosta posta(this);
    Piattaforma::MostraModale(&posta);
}

void TfrmSospesi::cmdAvvisiClick()
{
    if (m_filo)
        return;
    TImpostazioniPosta impostazioni = TfrmPosta::ImpostazioniSalvate();
    if (!impostazioni.Complete()) {
        // No mail server yet: its screen first.
        cmdPostaClick();
        impostazioni = TfrmPosta::ImpostazioniSalvate();
        if (!impostazioni.Complete())
            return;
    }
    if (!impostazioni.utente.isEmpty() && !AccessoConsentito(impostazioni)) {
        // Said before anything is asked or sent.
        Piattaforma::Errore(MessaggioAccessoInChiaro(impostazioni.server), this);
        return;
    }
    const QString cartella = Piattaforma::CartellaProgramma();
    const QDate oggi = Piattaforma::Oggi();
    std::vector<TAvviso> tesserati;
    QHash<QString, QDate> ultimi;
    QHash<int, QDate> rinnovati;
    TDatiEnte datiEnte;
    try {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
        const Elenco &voci = m_pannello->modello->Voci();
        for (size_t r = 0; r < voci.size(); ++r) {
            const TScheda s = deposito->LeggiScheda(voci.Posizione(r));
            TAvviso a;
            a.posizione = voci.Posizione(r);
            a.nome = s.Leggi(Campo::Tesserato);
            a.indirizzo = s.Leggi(Campo::Email);
            a.numTessera = s.Leggi(Campo::NumTessera);
            a.dataRil = s.Leggi(Campo::DataRil);
            a.dataScade = s.Leggi(Campo::DataScade);
            a.sesso = s.Leggi(Campo::Sesso);
            // Cancelled since the list was built.
            a.annullata = s.Leggi(Campo::Annullata) != AnnullataNo;
            tesserati.push_back(std::move(a));
        }
        ultimi = deposito->UltimiInvii();
        // Who paid since the oldest of those reminders.
        QDate primo;
        for (const QDate &d : std::as_const(ultimi))
            if (!primo.isValid() || d < primo)
                primo = d;
        if (primo.isValid())
            rinnovati = UltimiRinnovi(*deposito, primo, oggi.addYears(10));
        datiEnte = deposito->LeggiDatiEnte();
    } catch (const ErroreFile &) {
        Piattaforma::Errore(QStringLiteral("Impossibile leggere l'archivio dei tesserati."), this);
        return;
    }
    const int giorni = impostazioni.giorni;
    TSceltaAvvisi scelta =
        ScegliDestinatari(tesserati, ultimi, oggi, giorni, chkRipeti->isChecked(), rinnovati);
    if (scelta.daAvvisare.empty()) {
        QString conteggi =
            QStringLiteral("Senza indirizzo e-mail o con indirizzo non valido: %1.\r\n"
                           "Gi\u00E0 avvisati %2: %3.")
                .arg(scelta.Saltati(MotivoSalto::SenzaIndirizzo) +
                     scelta.Saltati(MotivoSalto::IndirizzoNonValido))
                .arg(giorni == 1 ? QStringLiteral("nell'ultimo giorno")
                                 : QStringLiteral("negli ultimi %1 giorni").arg(giorni))
                .arg(scelta.Saltati(MotivoSalto::AvvisatoDiRecente));
        if (scelta.Saltati(MotivoSalto::RinnovatoDopoAvviso) > 0)
            conteggi += QStringLiteral("\r\nRinnovati dopo l'ultimo avviso: %1.")
                            .arg(scelta.Saltati(MotivoSalto::RinnovatoDopoAvviso));
        if (scelta.Saltati(MotivoSalto::Annullata) > 0)
            conteggi += QStringLiteral("\r\nTessere annullate: %1.")
                            .arg(scelta.Saltati(MotivoSalto::Annullata));
        Piattaforma::Messaggio(QStringLiteral("Nessun avviso da inviare.\r\n\r\n") + conteggi,
                               this);
        return;
    }

    // What will go, to whom, and who is left out: the user confirms or goes back.
    TModelloAvviso modello = TModelloAvviso::Carica(cartella);
    QString ente = datiEnte.Denominazione.simplified();
    if (ente.isEmpty())
        ente = impostazioni.nomeMittente;
    {
        TfrmAnteprimaAvvisi anteprima(this);
        anteprima.Mostra(
            scelta, giorni,
            TInvioAvvisi::Messaggio(impostazioni, modello, ente, scelta.daAvvisare.front()));
        if (Piattaforma::MostraModale(&anteprima) != QDialog::Accepted)
            return;
    }

    m_saltati.clear();
    for (const TSaltato &s : scelta.saltati)
        m_saltati.append(s.avviso.nome.simplified() + QStringLiteral(": ") +
                         TestoMotivo(s.motivo, giorni));
    const int totale = static_cast<int>(scelta.daAvvisare.size());
    m_invio = new TInvioAvvisi(std::move(impostazioni), std::move(scelta.daAvvisare), cartella,
                               QDateTime(oggi, Piattaforma::Ora()));
    m_invio->ImpostaModello(std::move(modello), ente);
    m_invio->ImpostaSaltati(std::move(scelta.saltati), giorni);
    m_condiviso = std::make_shared<Sottofondo::TCondiviso>();
    m_invio->ImpostaAvanzamento(Sottofondo::Riporta(m_condiviso));
    if (!m_tic) {
        m_tic = new QTimer(this);
        connect(m_tic, &QTimer::timeout, this,
                [this] { prgAvvisi->setValue(int(m_condiviso->fatti)); });
    }
    m_tic->start(100);
    connect(m_invio, &TInvioAvvisi::Concluso, this, &TfrmSospesi::FineInvio);
    prgAvvisi->setRange(0, totale);
    prgAvvisi->setValue(0);
    prgAvvisi->setFormat(QStringLiteral("%v di %m"));
    prgAvvisi->setVisible(true);
    cmdAnnulla->setVisible(true);
    cmdAnnulla->setEnabled(true);
    chkRipeti->setVisible(false);
    for (QWidget *w :
         std::initializer_list<QWidget *>{cmdAvvisi, cmdPosta, m_pannello->btnStampa,
                                          m_pannello->btnChiudi, m_pannello->lstRecords})
        w->setEnabled(false);
    TInvioAvvisi *invio = m_invio;
    m_filo = Sottofondo::Avvia(invio, [invio] { invio->Esegui(); });
}

void TfrmSospesi::cmdAnnullaClick()
{
    if (m_invio) {
        m_condiviso->fermo = true;
        cmdAnnulla->setEnabled(false);
    }
}

void TfrmSospesi::FineInvio()
{
    // Its thread frees the worker and itself: nothing waits here.
    const TEsitoInvio esito = m_invio->Esito();
    m_tic->stop();
    Sottofondo::Congeda(m_invio);
    m_invio = nullptr;
    m_filo = nullptr;

    prgAvvisi->setVisible(false);
    cmdAnnulla->setVisible(false);
    chkRipeti->setVisible(true);
    for (QWidget *w :
         std::initializer_list<QWidget *>{cmdAvvisi, cmdPosta, m_pannello->btnStampa,
                                          m_pannello->btnChiudi, m_pannello->lstRecords})
        w->setEnabled(true);

    QString riepilogo = QStringLiteral("Avvisi inviati: %1.\r\nSaltati: %2.\r\nNon riusciti: %3.")
                            .arg(esito.inviati)
                            .arg(m_saltati.size())
                            .arg(esito.falliti.size());
    if (esito.nonInviati > 0)
        riepilogo += QStringLiteral("\r\nNon inviati: %1.").arg(esito.nonInviati);
    if (!esito.falliti.isEmpty())
        riepilogo += QStringLiteral("\r\n\r\n") + esito.falliti.join(QStringLiteral("\r\n"));
    if (!m_saltati.isEmpty()) {
        // A long list is cut: the log names every one.
        constexpr qsizetype Massimo = 15;
        riepilogo += QStringLiteral("\r\n\r\nSaltati:\r\n") +
                     m_saltati.mid(0, Massimo).join(QStringLiteral("\r\n"));
        if (m_saltati.size() > Massimo)
            riepilogo += QStringLiteral("\r\n... e altri %1 (vedere il registro Avvisi.csv).")
                             .arg(m_saltati.size() - Massimo);
    }
    if (esito.erroreDelServer)
        Piattaforma::Errore(QStringLiteral("Invio degli avvisi non riuscito.\r\n") + esito.errore +
                                QStringLiteral("\r\n\r\n") + riepilogo,
                            this);
    else if (!esito.errore.isEmpty())
        Piattaforma::Errore(esito.errore + QStringLiteral("\r\n\r\n") + riepilogo, this);
    else if (esito.annullato)
        Piattaforma::Avviso(QStringLiteral("Invio degli avvisi interrotto.\r\n\r\n") + riepilogo,
                            this);
    else // nothing to confirm or cancel: OK alone
        Piattaforma::Messaggio(QStringLiteral("Invio degli avvisi concluso.\r\n\r\n") + riepilogo,
                               this);
    FormShow();
}

void TfrmSospesi::done(int r)
{
    // The screen stays open while reminders are being sent.
    if (m_filo)
        return;
    QDialog::done(r);
}

TfrmSospesi::~TfrmSospesi()
{
    // A batch still running is told to stop and left to end on its thread: a server step
    // can take 20 seconds, and the window does not wait for it.
    if (m_invio) {
        m_condiviso->fermo = true;
        disconnect(m_invio, nullptr, this, nullptr);
        Sottofondo::Congeda(m_invio);
    }
}

void TfrmSospesi::cmdRiepilogoQuoteClick()
{
    ApriModale<TfrmRiepilogoQuote>(this);
}
