#pragma once
// The renewal reminder as an e-mail message: its editable text with fields filled from
// the member and the association, the address form check and the message itself
// (UTF-8 body, RFC 2047 headers, Date, Message-ID). No widgets.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One member to remind, as the archive holds it.
struct TAvviso {
    int posizione = 0;
    QString nome, indirizzo, numTessera, dataRil, dataScade;
    QString sesso;          // "M", "F" or anything else
    bool annullata = false; // the card is cancelled
};

// The reminder's text with its fields ({gentile}, {nome}, ...): "Oggetto" and "Testo" of
// section "Posta Elettronica" in "Quorvel.ini", the text's line breaks stored as \n.
struct TModelloAvviso {
    QString oggetto, testo;

    static TModelloAvviso Predefinito();
    // A missing or empty key gives the default text.
    static TModelloAvviso Carica(const QString &cartella);
    // Throws ErroreFile when the file cannot be written.
    void Salva(const QString &cartella) const;
};

namespace PostaElettronica {

// The fields a reminder's text may hold, in the order they are offered.
QStringList CampiAvviso();
// The fields written in a text that are not among CampiAvviso(), each once, braces kept.
QStringList CampiSconosciuti(const QString &testo);
// "Gentile Sig." (Sesso M), "Gentile Sig.ra" (F) or "Gentile".
QString Gentile(const QString &sesso);
// A name as it is written in a letter: each word capitalised ("DELL'ORTO" gives
// "Dell'Orto", "ROSSI-BIANCHI" gives "Rossi-Bianchi"); a name typed in mixed case is
// kept as typed.
QString NomeProprio(const QString &nome);

struct TTestoAvviso {
    QString oggetto, corpo;
};
// The template with the fields of this member and association filled in; unknown
// fields stay as written. The subject is one line.
TTestoAvviso ComponiAvviso(const TModelloAvviso &modello, const TAvviso &tesserato,
                           const QString &ente);

// Settings values hold no line break: LF as the two characters \n, the backslash doubled.
QString CodificaRighe(const QString &testo);
QString DecodificaRighe(const QString &valore);

// One "@", a local part and a domain with a dot, printable ASCII without blanks or the
// characters that would end the address in a mail command or header.
bool IndirizzoValido(const QString &indirizzo);

// A header value as RFC 2047 encoded words when it needs them; line breaks and other
// control characters become blanks first, so no value can start a header of its own.
QByteArray CodificaIntestazione(const QString &testo);
// "Name <address>", the name quoted or encoded as needed; the bare address without a name.
QByteArray IntestazioneIndirizzo(const QString &nome, const QString &indirizzo);

// A file sent with a message: its name, MIME type ("application/pdf") and bytes.
struct TAllegato {
    QString nome;
    QByteArray tipo;
    QByteArray dati;
};

struct TMessaggio {
    QString nomeMittente, mittente;
    QString nomeDestinatario, destinatario;
    QString oggetto, corpo;
    QList<TAllegato> allegati;
};
// The whole message with CR LF line ends: headers, blank line, body in base64. With
// attachments the message is multipart/mixed: the text first, then each file in base64.
QByteArray Componi(const TMessaggio &m, const QDateTime &data);

} // namespace PostaElettronica
