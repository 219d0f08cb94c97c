#include "registry/InvioAvvisi.h"

#include "registry/Messaggio.h"
#include "registry/RegistroAvvisi.h"

TInvioAvvisi::TInvioAvvisi(TImpostazioniPosta impostazioni, std::vector<TAvviso> avvisi,
                           QString cartella, QDateTime inizio)
    : m_impostazioni(std::move(impostazioni)), m_avvisi(std::move(avvisi)),
      m_cartella(std::move(cartella)), m_inizio(std::move(inizio))
{
}

void TInvioAvvisi::Esegui()
{
    const int totale = static_cast<int>(m_avvisi.size());
    QElapsedTimer trascorso;
    trascorso.start();
    RegistroAvvisi::TRegistro registro(m_cartella);
    int fatti = 0;
    try {
        if (!registro.Aperto())
            throw std::runtime_error("registro");
        TClienteSmtp cliente(m_impostazioni);
        for (const TAvviso &a : m_avvisi) {
            if (m_annulla) {
                m_esito.annullato = true;
                break;
            }
            Posta::TMessaggio m;
            m.nomeMittente = m_impostazioni.nomeMittente;
            m.mittente = m_impostazioni.mittente;
            m.nomeDestinatario = a.nome;
            m.destinatario = a.indirizzo;
            m.oggetto = Posta::OggettoAvviso();
            m.corpo = Posta::CorpoAvviso(a.nome, a.numTessera, a.dataRil, a.dataScade);
            const QDateTime adesso = m_inizio.addMSecs(trascorso.elapsed());
            const TClienteSmtp::Esito e = cliente.Invia(a.indirizzo, Posta::Componi(m, adesso));
            const QString risultato =
                e.tipo == TClienteSmtp::Esito::Inviato
                    ? RegistroAvvisi::Inviato
                    : QStringLiteral("errore: ") +
                          QString(e.risposta).replace(u'\r', u' ').replace(u'\n', u' ');
            const QDateTime scritto = m_inizio.addMSecs(trascorso.elapsed());
            const bool registrato = registro.Scrivi(
                {RegistroAvvisi::Data(scritto.date()),
                 scritto.time().toString(QStringLiteral("HH:mm:ss")), QString::number(a.posizione),
                 a.nome, a.indirizzo, RegistroAvvisi::Data(a.dataScade), risultato});
            ++fatti;
            if (e.tipo == TClienteSmtp::Esito::Inviato)
                ++m_esito.inviati;
            else
                m_esito.falliti.append(a.nome + QStringLiteral(" <") + a.indirizzo +
                                       QStringLiteral(">: ") + e.risposta);
            emit Avanzamento(fatti, totale);
            if (e.tipo == TClienteSmtp::Esito::Interrotto) {
                m_esito.errore = e.messaggio;
                break;
            }
            // Without the log a second run could remind the same members again.
            if (!registrato) {
                m_esito.errore = QStringLiteral("Impossibile scrivere il registro degli "
                                                "avvisi Avvisi.csv: l'invio \u00E8 stato "
                                                "interrotto.");
                break;
            }
        }
        m_esito.connessioni = cliente.Connessioni();
    } catch (const std::exception &) {
        if (m_esito.errore.isEmpty())
            m_esito.errore = QStringLiteral("Impossibile scrivere il registro degli avvisi "
                                            "Avvisi.csv: nessun avviso \u00E8 stato inviato.");
    }
    m_esito.nonInviati = totale - fatti;
    emit Concluso();
}
