#pragma once
// The renewal reminder as an e-mail message: its text, the address form check and
// the message itself (UTF-8 body, RFC 2047 headers, Date, Message-ID). No widgets.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Posta {

// Subject and body of the renewal reminder, as the desktop mail link also uses them.
QString OggettoAvviso();
QString CorpoAvviso(const QString &tesserato, const QString &numTessera, const QString &dataRil,
                    const QString &dataScade);

// One "@", a local part and a domain with a dot, printable ASCII without blanks or the
// characters that would end the address in a mail command or header.
bool IndirizzoValido(const QString &indirizzo);

// A header value as RFC 2047 encoded words when it needs them; line breaks and other
// control characters become blanks first, so no value can start a header of its own.
QByteArray CodificaIntestazione(const QString &testo);
// "Name <address>", the name quoted or encoded as needed; the bare address without a name.
QByteArray IntestazioneIndirizzo(const QString &nome, const QString &indirizzo);

struct TMessaggio {
    QString nomeMittente, mittente;
    QString nomeDestinatario, destinatario;
    QString oggetto, corpo;
};
// The whole message with CR LF line ends: headers, blank line, body in base64.
QByteArray Componi(const TMessaggio &m, const QDateTime &data);

} // namespace Posta
