#include "mail/core/InvioRicevute.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "report/core/Ricevuta.h"
#include "storage/Deposito.h"

#include <QElapsedTimer>

namespace InvioRicevute {

QString NomeFile(const TPagamento &p)
{
    return QStringLiteral("Ricevuta %1-%2.pdf").arg(p.numero).arg(p.anno);
}

QString EsitoInviata(const TPagamento &p)
{
    return QStringLiteral("ricevuta %1 inviata").arg(p.Ricevuta());
}

QString EsitoRifiutata(const TPagamento &p, const QString &risposta)
{
    return QStringLiteral("ricevuta %1 non inviata: ").arg(p.Ricevuta()) +
           QString(risposta).replace(u'\r', u' ').replace(u'\n', u' ');
}

PostaElettronica::TMessaggio Messaggio(const TImpostazioniPosta &impostazioni,
                                       const TRicevutaDaInviare &r, const QString &ente)
{
    const TPagamento &p = r.pagamento;
    const QString nome = PostaElettronica::NomeProprio(Testo::UnaRiga(p.nominativo).trimmed());
    PostaElettronica::TMessaggio m;
    m.nomeMittente = impostazioni.nomeMittente;
    m.mittente = impostazioni.mittente;
    m.nomeDestinatario = nome;
    m.destinatario = r.indirizzo;
    m.oggetto = Ricevuta::Titolo(p);
    QStringList righe;
    righe << PostaElettronica::Gentile(r.sesso) + u' ' + nome + u',' << QString()
          << QStringLiteral("in allegato la ricevuta n. %1 del %2 per \u20AC %3")
                     .arg(p.Ricevuta(), Testo::TestoData(p.data), ImportoInCifre(p.centesimi)) +
                 (p.causale.trimmed().isEmpty()
                      ? QStringLiteral(".")
                      : QStringLiteral(" (") + Testo::UnaRiga(p.causale).trimmed() +
                            QStringLiteral(")."))
          << QString() << QStringLiteral("Cordiali saluti");
    if (!ente.trimmed().isEmpty())
        righe << Testo::UnaRiga(ente).trimmed();
    m.corpo = righe.join(u'\n');
    m.allegati.append({NomeFile(p), QByteArrayLiteral("application/pdf"), r.pdf});
    return m;
}

TEsitoInvio Invia(const TImpostazioniPosta &impostazioni,
                  const std::vector<TRicevutaDaInviare> &ricevute, const QString &ente,
                  const QString &cartella, const QDateTime &inizio)
{
    TEsitoInvio esito;
    const int totale = static_cast<int>(ricevute.size());
    QElapsedTimer trascorso;
    trascorso.start();
    std::unique_ptr<TDeposito> deposito;
    std::unique_ptr<TDeposito::TRegistroInvii> registro;
    try {
        deposito = ApriDeposito(cartella);
        registro = deposito->ApriRegistroAvvisi();
    } catch (const ErroreFile &) {
        registro.reset();
    }
    if (!registro) {
        esito.errore = QStringLiteral("Impossibile scrivere il registro degli avvisi "
                                      "Avvisi.csv: nessuna ricevuta \u00E8 stata inviata.");
        esito.nonInviati = totale;
        return esito;
    }
    const auto scrivi = [&](const TRicevutaDaInviare &r, const QString &risultato) {
        const QDateTime adesso = inizio.addMSecs(trascorso.elapsed());
        return registro->Scrivi({adesso.date(), adesso.time(), r.pagamento.posizione,
                                 r.pagamento.nominativo, r.indirizzo, r.pagamento.al, risultato});
    };
    int fatti = 0;
    try {
        TClienteSmtp cliente(impostazioni);
        for (const TRicevutaDaInviare &r : ricevute) {
            const QDateTime adesso = inizio.addMSecs(trascorso.elapsed());
            const TClienteSmtp::Esito e = cliente.Invia(
                r.indirizzo, PostaElettronica::Componi(Messaggio(impostazioni, r, ente), adesso));
            const bool inviata = e.tipo == TClienteSmtp::Esito::Inviato;
            const bool registrato = scrivi(
                r, inviata ? EsitoInviata(r.pagamento)
                           : EsitoRifiutata(r.pagamento, e.delServer ? e.motivo : e.risposta));
            ++fatti;
            if (inviata)
                ++esito.inviati;
            else
                esito.falliti.append(Testo::UnaRiga(r.pagamento.nominativo).trimmed() +
                                     QStringLiteral(" <") + r.indirizzo + QStringLiteral(">: ") +
                                     e.risposta);
            if (e.tipo == TClienteSmtp::Esito::Interrotto) {
                esito.errore = e.messaggio;
                esito.erroreDelServer = e.delServer;
                break;
            }
            if (!registrato) {
                esito.errore = QStringLiteral("Impossibile scrivere il registro degli avvisi "
                                              "Avvisi.csv: l'invio \u00E8 stato interrotto.");
                break;
            }
        }
        esito.connessioni = cliente.Connessioni();
    } catch (const ErroreFile &e) {
        esito.errore = e.testo();
    }
    esito.nonInviati = totale - fatti;
    return esito;
}

} // namespace InvioRicevute
