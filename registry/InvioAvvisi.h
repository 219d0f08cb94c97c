#pragma once
// Sends a batch of renewal reminders off the user-interface thread: one connection for
// the whole batch, one log line per attempt, progress after each message and a stop
// between messages when asked. No widgets.
#include "registry/Smtp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <vector>

struct TAvviso {
    int posizione = 0;
    QString nome, indirizzo, numTessera, dataRil, dataScade;
};

struct TEsitoInvio {
    int inviati = 0;
    int nonInviati = 0;  // left out by a stop, a broken connection or a cancel
    QStringList falliti; // "name <address>: reason", one per refused message
    QString errore;      // the one message of a connection or login failure
    bool annullato = false;
    int connessioni = 0;
};

class TInvioAvvisi : public QObject {
    Q_OBJECT
public:
    // `inizio` is the date and time the batch starts; each log line adds the time elapsed.
    TInvioAvvisi(TImpostazioniPosta impostazioni, std::vector<TAvviso> avvisi, QString cartella,
                 QDateTime inizio);

    // Thread-safe: stops before the next message.
    void Annulla() { m_annulla = true; }
    // Valid after Concluso.
    const TEsitoInvio &Esito() const { return m_esito; }

public slots:
    void Esegui();

signals:
    void Avanzamento(int fatti, int totale);
    void Concluso();

private:
    TImpostazioniPosta m_impostazioni;
    std::vector<TAvviso> m_avvisi;
    QString m_cartella;
    QDateTime m_inizio;
    std::atomic<bool> m_annulla{false};
    TEsitoInvio m_esito;
};
