#include "report/Ricevute.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "mail/Posta.h"
#include "mail/core/InvioRicevute.h"
#include "mail/core/Messaggio.h"
#include "platform/Piattaforma.h"
#include "report/ConsegnaRicevute.h"
#include "report/ReportGui.h"
#include "report/Stampa.h"
#include "report/core/Report.h"
#include "report/core/Ricevuta.h"
#include "storage/Deposito.h"
#include "widgets/Sottofondo.h"

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QPointer>

namespace Ricevute {

namespace {

QString Descrizione(const std::vector<TPagamento> &pagamenti)
{
    if (pagamenti.size() == 1)
        return QStringLiteral("la ricevuta n. ") + pagamenti.front().Ricevuta();
    return QStringLiteral("le %1 ricevute").arg(pagamenti.size());
}

void SalvaPdf(QWidget *padre, TReport &rep, const std::vector<TPagamento> &pagamenti)
{
    const QString proposto = pagamenti.size() == 1 ? InvioRicevute::NomeFile(pagamenti.front())
                                                   : QStringLiteral("Ricevute.pdf");
    const QString percorso =
        Piattaforma::SalvaFile(padre, QStringLiteral("Salva le ricevute in PDF"), proposto,
                               QStringLiteral("Documento PDF (*.pdf)"), QStringLiteral("pdf"));
    if (percorso.isEmpty() || !ReportGui::PrepareReport(rep, true))
        return;
    if (!rep.EsportaPdf(percorso))
        Piattaforma::Errore(
            QStringLiteral("Impossibile salvare le ricevute nel file ") + percorso + u'.', padre);
}

// The receipt of one entry as a PDF in memory; empty when it cannot be made.
QByteArray Pdf(const TPagamento &p, const TDatiEnte &ente, const QImage &logo)
{
    const std::unique_ptr<TReport> rep = Ricevuta::Crea({p}, ente, logo);
    if (!rep->Componi(Piattaforma::Oggi()))
        return {};
    QByteArray dati;
    QBuffer buffer(&dati);
    if (!buffer.open(QIODevice::WriteOnly) || !rep->EsportaPdf(&buffer))
        return {};
    return dati;
}

void InviaPerPosta(QWidget *padre, TDeposito &deposito, const std::vector<TPagamento> &pagamenti,
                   const TDatiEnte &ente, const QImage &logo)
{
    TImpostazioniPosta impostazioni = TfrmPosta::ImpostazioniSalvate();
    if (!impostazioni.Complete()) {
        // No mail server yet: its screen first.
        TfrmPosta posta(padre);
        Piattaforma::MostraModale(&posta);
        impostazioni = TfrmPosta::ImpostazioniSalvate();
        if (!impostazioni.Complete())
            return;
    }
    if (!impostazioni.utente.isEmpty() && !AccessoConsentito(impostazioni)) {
        Piattaforma::Errore(MessaggioAccessoInChiaro(impostazioni.server), padre);
        return;
    }
    std::vector<TRicevutaDaInviare> ricevute;
    QStringList senzaIndirizzo;
    for (const TPagamento &p : pagamenti) {
        TRicevutaDaInviare r;
        r.pagamento = p;
        if (p.posizione >= 1 && p.posizione <= deposito.NumeroSchede()) {
            const TScheda s = deposito.LeggiScheda(p.posizione);
            r.indirizzo = s.Leggi(Campo::Email).trimmed();
            r.sesso = s.Leggi(Campo::Sesso);
        }
        if (!PostaElettronica::IndirizzoValido(r.indirizzo)) {
            senzaIndirizzo << p.Ricevuta() + QStringLiteral(" - ") +
                                  Testo::UnaRiga(p.nominativo).trimmed();
            continue;
        }
        r.pdf = Pdf(p, ente, logo);
        if (r.pdf.isEmpty())
            throw ErroreFile(QStringLiteral("Impossibile preparare la ricevuta n. ") +
                             p.Ricevuta() + u'.');
        ricevute.push_back(std::move(r));
    }
    const QString saltate =
        senzaIndirizzo.isEmpty()
            ? QString()
            : QStringLiteral("Senza un indirizzo e-mail valido nella scheda:\r\n") +
                  senzaIndirizzo.join(QStringLiteral("\r\n"));
    if (ricevute.empty()) {
        Piattaforma::Avviso(
            QStringLiteral("Nessuna ricevuta \u00E8 stata inviata.\r\n\r\n") + saltate, padre);
        return;
    }
    // The server may take seconds to answer: the sending runs off the window's thread.
    const QString cartella = Piattaforma::CartellaProgramma();
    const QDateTime inizio(Piattaforma::Oggi(), Piattaforma::Ora());
    auto esito = std::make_shared<TEsitoInvio>();
    QObject *contesto = padre ? static_cast<QObject *>(padre) : qApp;
    QPointer<QWidget> finestra(padre);
    Sottofondo::Esegui(
        [=] {
            *esito =
                InvioRicevute::Invia(impostazioni, ricevute, ente.Denominazione, cartella, inizio);
        },
        contesto,
        [=] {
            QString testo = QStringLiteral("Ricevute inviate per e-mail: %1.").arg(esito->inviati);
            if (!esito->falliti.isEmpty())
                testo +=
                    QStringLiteral("\r\nNon riuscite: %1.\r\n\r\n").arg(esito->falliti.size()) +
                    esito->falliti.join(QStringLiteral("\r\n"));
            if (esito->nonInviati > 0)
                testo += QStringLiteral("\r\nNon inviate: %1.").arg(esito->nonInviati);
            if (!saltate.isEmpty())
                testo += QStringLiteral("\r\n\r\n") + saltate;
            if (!esito->errore.isEmpty())
                Piattaforma::Errore(esito->errore + QStringLiteral("\r\n\r\n") + testo, finestra);
            else if (!esito->falliti.isEmpty() || !saltate.isEmpty())
                Piattaforma::Avviso(testo, finestra);
            else
                Piattaforma::Informazione(testo, finestra);
        });
}

} // namespace

void Consegna(QWidget *padre, const std::vector<TPagamento> &pagamenti)
{
    if (pagamenti.empty())
        return;
    TfrmConsegnaRicevute scelta(Descrizione(pagamenti), padre);
    const int come = Piattaforma::MostraModale(&scelta);
    if (come != TfrmConsegnaRicevute::Stampa && come != TfrmConsegnaRicevute::Pdf &&
        come != TfrmConsegnaRicevute::Email)
        return;
    try {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const TDatiEnte ente = deposito->LeggiDatiEnte();
        const QImage logo = deposito->LeggiLogo();
        const std::unique_ptr<TReport> rep = Ricevuta::Crea(pagamenti, ente, logo);
        if (come == TfrmConsegnaRicevute::Stampa) {
            if (ReportGui::PrepareReport(*rep, true))
                StampaReport::Riferisci(ReportGui::Print(*rep, padre), padre);
        } else if (come == TfrmConsegnaRicevute::Pdf) {
            SalvaPdf(padre, *rep, pagamenti);
        } else {
            InviaPerPosta(padre, *deposito, pagamenti, ente, logo);
        }
    } catch (const ErroreFile &e) {
        Piattaforma::Errore(e.testo(), padre);
    }
}

} // namespace Ricevute
