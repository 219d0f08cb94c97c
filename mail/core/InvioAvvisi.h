#pragma once
// Sends a batch of renewal reminders off the user-interface thread: one connection for
// the whole batch, one log line per attempt and per member skipped, progress after each
// message and a stop between messages when asked. No widgets.
#include "archive/Avanzamento.h"
#include "mail/core/Messaggio.h"
#include "mail/core/SceltaAvvisi.h"
#include "mail/core/Smtp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <vector>

struct TEsitoInvio {
    int inviati = 0;
    int nonInviati = 0;  // left out by a stop, a broken connection or a cancel
    QStringList falliti; // "name <address>: reason", one per refused message
    QString errore;      // the one message of a connection or login failure
    bool annullato = false;
    // The server could not be reached or refused the login: nobody is to blame.
    bool erroreDelServer = false;
    int connessioni = 0;
};

class TInvioAvvisi : public QObject {
    Q_OBJECT
public:
    // `inizio` is the date and time the batch starts; each log line adds the time elapsed.
    TInvioAvvisi(TImpostazioniPosta impostazioni, std::vector<TAvviso> avvisi, QString cartella,
                 QDateTime inizio);

    // The text to send (the default one unless set) and the association's name.
    void ImpostaModello(TModelloAvviso modello, QString ente);
    // The members left out, logged with their reason before the first message.
    void ImpostaSaltati(std::vector<TSaltato> saltati, int giorni);

    // The message one member gets.
    static PostaElettronica::TMessaggio Messaggio(const TImpostazioniPosta &impostazioni,
                                                  const TModelloAvviso &modello,
                                                  const QString &ente, const TAvviso &avviso);

    // Hears, on the worker's thread, the messages done after each one; false stops the
    // batch before the next message.
    void ImpostaAvanzamento(Avanzamento avanzamento) { m_avanzamento = std::move(avanzamento); }
    // Valid after Concluso.
    const TEsitoInvio &Esito() const { return m_esito; }

public slots:
    void Esegui();

signals:
    void Concluso();

private:
    TImpostazioniPosta m_impostazioni;
    std::vector<TAvviso> m_avvisi;
    QString m_cartella;
    QDateTime m_inizio;
    TModelloAvviso m_modello = TModelloAvviso::Predefinito();
    QString m_ente;
    std::vector<TSaltato> m_saltati;
    int m_giorni = 0;
    Avanzamento m_avanzamento;
    TEsitoInvio m_esito;
};
