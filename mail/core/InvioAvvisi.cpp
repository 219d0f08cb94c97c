#include "mail/core/InvioAvvisi.h"

#include "archive/Errori.h"
#include "archive/Testo.h"
#include "mail/core/RegistroAvvisi.h"
#include "storage/Deposito.h"

TInvioAvvisi::TInvioAvvisi(TImpostazioniPosta impostazioni, std::vector<TAvviso> avvisi,
                           QString cartella, QDateTime inizio)
    : m_impostazioni(std::move(impostazioni)), m_avvisi(std::move(avvisi)),
      m_cartella(std::move(cartella)), m_inizio(std::move(inizio))
{
}

void TInvioAvvisi::ImpostaModello(TModelloAvviso modello, QString ente)
{
    m_modello = std::move(modello);
    m_ente = std::move(ente);
}

void TInvioAvvisi::ImpostaSaltati(std::vector<TSaltato> saltati, int giorni)
{
    m_saltati = std::move(saltati);
    m_giorni = giorni;
}

PostaElettronica::TMessaggio TInvioAvvisi::Messaggio(const TImpostazioniPosta &impostazioni,
                                                     const TModelloAvviso &modello,
                                                     const QString &ente, const TAvviso &avviso)
{
    const PostaElettronica::TTestoAvviso testo =
        PostaElettronica::ComponiAvviso(modello, avviso, ente);
    PostaElettronica::TMessaggio m;
    m.nomeMittente = impostazioni.nomeMittente;
    m.mittente = impostazioni.mittente;
    m.nomeDestinatario = avviso.nome;
    m.destinatario = avviso.indirizzo;
    m.oggetto = testo.oggetto;
    m.corpo = testo.corpo;
    return m;
}

void TInvioAvvisi::Esegui()
{
    const int totale = static_cast<int>(m_avvisi.size());
    QElapsedTimer trascorso;
    trascorso.start();
    // The archive is opened for its log alone, and stays open for the run.
    std::unique_ptr<TDeposito> deposito;
    std::unique_ptr<TDeposito::TRegistroInvii> registro;
    // One log line: when, who (empty for the whole run), what happened.
    const auto scrivi = [&](const TAvviso &a, const QString &risultato) {
        const QDateTime scritto = m_inizio.addMSecs(trascorso.elapsed());
        return registro->Scrivi({scritto.date(), scritto.time(), a.posizione, a.nome, a.indirizzo,
                                 Testo::ConvertiData(a.dataScade.trimmed()), risultato});
    };
    const QString erroreRegistro =
        QStringLiteral("Impossibile scrivere il registro degli avvisi Avvisi.csv: l'invio "
                       "\u00E8 stato interrotto.");
    int fatti = 0;
    try {
        deposito = ApriDeposito(m_cartella);
        registro = deposito->ApriRegistroAvvisi();
    } catch (const ErroreFile &) {
        registro.reset();
    }
    // Nothing goes out unless the log takes the members left out first.
    bool pronto = registro != nullptr;
    for (const TSaltato &s : m_saltati)
        if (pronto &&
            !scrivi(s.avviso, QStringLiteral("saltato: ") + TestoMotivo(s.motivo, m_giorni)))
            pronto = false;
    if (!pronto) {
        m_esito.errore = QStringLiteral("Impossibile scrivere il registro degli avvisi "
                                        "Avvisi.csv: nessun avviso \u00E8 stato inviato.");
        m_esito.nonInviati = totale;
        emit Concluso();
        return;
    }
    try {
        TClienteSmtp cliente(m_impostazioni);
        bool avanti = !m_avanzamento || m_avanzamento(0, totale);
        for (const TAvviso &a : m_avvisi) {
            if (!avanti) {
                m_esito.annullato = true;
                break;
            }
            const PostaElettronica::TMessaggio m = Messaggio(m_impostazioni, m_modello, m_ente, a);
            const QDateTime adesso = m_inizio.addMSecs(trascorso.elapsed());
            const TClienteSmtp::Esito e =
                cliente.Invia(a.indirizzo, PostaElettronica::Componi(m, adesso));
            if (e.tipo == TClienteSmtp::Esito::Interrotto && e.delServer) {
                // The server's failure, not this member's: one line for the run, and she
                // stays to be reminded next time.
                m_esito.errore = e.messaggio;
                m_esito.erroreDelServer = true;
                if (!scrivi(TAvviso(), e.motivo))
                    m_esito.errore += QStringLiteral("\r\n") + erroreRegistro;
                break;
            }
            const QString risultato =
                e.tipo == TClienteSmtp::Esito::Inviato
                    ? RegistroAvvisi::Inviato
                    : QStringLiteral("errore: ") +
                          QString(e.risposta).replace(u'\r', u' ').replace(u'\n', u' ');
            const bool registrato = scrivi(a, risultato);
            ++fatti;
            if (e.tipo == TClienteSmtp::Esito::Inviato)
                ++m_esito.inviati;
            else
                m_esito.falliti.append(a.nome + QStringLiteral(" <") + a.indirizzo +
                                       QStringLiteral(">: ") + e.risposta);
            avanti = !m_avanzamento || m_avanzamento(fatti, totale);
            if (e.tipo == TClienteSmtp::Esito::Interrotto) {
                m_esito.errore = e.messaggio;
                break;
            }
            // Without the log a second run could remind the same members again.
            if (!registrato) {
                m_esito.errore = erroreRegistro;
                break;
            }
        }
        m_esito.connessioni = cliente.Connessioni();
    } catch (const ErroreFile &e) {
        m_esito.errore = e.testo();
    }
    m_esito.nonInviati = totale - fatti;
    emit Concluso();
}
