#pragma once
// Receipts of the fee register by e-mail: each a message with the receipt's PDF attached,
// sent over one connection and logged in the reminder log one line per attempt, as the
// reminders are. No widgets: the screen runs it off the window's thread.
#include "archive/Pagamento.h"
#include "mail/core/InvioAvvisi.h"
#include "mail/core/Messaggio.h"
#include "mail/core/Smtp.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

struct TRicevutaDaInviare {
    TPagamento pagamento;
    QString indirizzo; // the member's e-mail
    QString sesso;     // for the greeting
    QByteArray pdf;    // the receipt as printed
};

namespace InvioRicevute {

// The attachment's file name: "Ricevuta 12-2026.pdf".
QString NomeFile(const TPagamento &p);
// The log's result for a receipt sent, or refused with the server's answer.
QString EsitoInviata(const TPagamento &p);
QString EsitoRifiutata(const TPagamento &p, const QString &risposta);
// The message one member gets: greeting, number, amount and purpose, the PDF attached.
PostaElettronica::TMessaggio Messaggio(const TImpostazioniPosta &impostazioni,
                                       const TRicevutaDaInviare &r, const QString &ente);
// Sends them in order, each logged as soon as the server answered; stops at a broken
// connection or a log that cannot be written. `inizio` dates the log lines.
TEsitoInvio Invia(const TImpostazioniPosta &impostazioni,
                  const std::vector<TRicevutaDaInviare> &ricevute, const QString &ente,
                  const QString &cartella, const QDateTime &inizio);

} // namespace InvioRicevute
