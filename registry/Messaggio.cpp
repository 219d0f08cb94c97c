#include "registry/Messaggio.h"

#include <QUrl>
#include <QUuid>

namespace Posta {

namespace {
// Control characters (line breaks included) become blanks.
QString SenzaControlli(const QString &testo)
{
    QString r = testo;
    for (QChar &c : r)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    return r.trimmed();
}

bool SoloAsciiStampabile(const QString &testo)
{
    for (QChar c : testo)
        if (c.unicode() < 32 || c.unicode() > 126)
            return false;
    return true;
}

// Encoded words of at most 75 characters, never splitting a UTF-8 sequence.
QByteArray ParoleCodificate(const QString &testo)
{
    const QByteArray utf8 = testo.toUtf8();
    QByteArray r;
    qsizetype i = 0;
    while (i < utf8.size()) {
        qsizetype fine = std::min<qsizetype>(i + 45, utf8.size());
        while (fine < utf8.size() && (static_cast<unsigned char>(utf8[fine]) & 0xC0) == 0x80)
            --fine;
        if (!r.isEmpty())
            r += "\r\n ";
        r += "=?UTF-8?B?" + utf8.mid(i, fine - i).toBase64() + "?=";
        i = fine;
    }
    return r;
}
} // namespace

QString OggettoAvviso()
{
    return QStringLiteral("Rinnovo tessera");
}

QString CorpoAvviso(const QString &tesserato, const QString &numTessera, const QString &dataRil,
                    const QString &dataScade)
{
    return QStringLiteral("Gentilissimo Sig. ") + tesserato +
           QStringLiteral(", con la presente le ricordiamo che la sua tessera n. ") + numTessera +
           QStringLiteral(", rilasciata in data ") + dataRil +
           QStringLiteral(" e con scadenza in data ") + dataScade +
           QStringLiteral(", ha bisogno di essere rinnovata. Pertanto, la preghiamo di recarsi con "
                          "cortese sollecitudine presso i nostri uffici per provvedere al "
                          "rinnovo. In attesa di un suo riscontro, le porgiamo cordiali saluti.");
}

bool IndirizzoValido(const QString &indirizzo)
{
    if (indirizzo.size() > 254 || indirizzo.count(u'@') != 1)
        return false;
    for (QChar c : indirizzo) {
        const char16_t u = c.unicode();
        // Printable ASCII only: the server is not asked for internationalized addresses.
        if (u <= 32 || u >= 127 || u == u'<' || u == u'>' || u == u'"' || u == u',' || u == u';' ||
            u == u'(' || u == u')' || u == u'[' || u == u']' || u == u'\\')
            return false;
    }
    const qsizetype chiocciola = indirizzo.indexOf(u'@');
    const QString locale = indirizzo.left(chiocciola);
    const QString dominio = indirizzo.mid(chiocciola + 1);
    if (locale.isEmpty() || locale.size() > 64 || dominio.size() < 3)
        return false;
    const qsizetype punto = dominio.indexOf(u'.');
    return punto > 0 && !dominio.endsWith(u'.') && !dominio.contains(QLatin1String("..")) &&
           !dominio.startsWith(u'-');
}

QByteArray CodificaIntestazione(const QString &testo)
{
    const QString pulito = SenzaControlli(testo);
    // Plain ASCII goes as it is unless it could be read as an encoded word.
    if (SoloAsciiStampabile(pulito) && !pulito.contains(QLatin1String("=?")) && pulito.size() < 70)
        return pulito.toLatin1();
    return ParoleCodificate(pulito);
}

QByteArray IntestazioneIndirizzo(const QString &nome, const QString &indirizzo)
{
    const QString pulito = SenzaControlli(nome);
    const QByteArray angolato = "<" + SenzaControlli(indirizzo).toUtf8() + ">";
    if (pulito.isEmpty())
        return angolato;
    QByteArray visualizzato;
    if (SoloAsciiStampabile(pulito) && !pulito.contains(QLatin1String("=?")) &&
        pulito.size() < 60) {
        // A quoted string: quotes and backslashes escaped.
        QByteArray q = pulito.toLatin1();
        q.replace("\\", "\\\\").replace("\"", "\\\"");
        visualizzato = "\"" + q + "\"";
    } else {
        visualizzato = ParoleCodificate(pulito);
    }
    return visualizzato + " " + angolato;
}

QByteArray Componi(const TMessaggio &m, const QDateTime &data)
{
    const QString mittente = SenzaControlli(m.mittente);
    const QString dominio = mittente.mid(mittente.indexOf(u'@') + 1);
    const QByteArray ace = QUrl::toAce(dominio);
    const QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    QByteArray r;
    r += "Date: " + data.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    r += "From: " + IntestazioneIndirizzo(m.nomeMittente, m.mittente) + "\r\n";
    r += "To: " + IntestazioneIndirizzo(m.nomeDestinatario, m.destinatario) + "\r\n";
    r += "Subject: " + CodificaIntestazione(m.oggetto) + "\r\n";
    r += "Message-ID: <" + id + "@" + (ace.isEmpty() ? QByteArray("localhost") : ace) + ">\r\n";
    r += "MIME-Version: 1.0\r\n";
    r += "Content-Type: text/plain; charset=UTF-8\r\n";
    r += "Content-Transfer-Encoding: base64\r\n";
    r += "\r\n";
    const QByteArray corpo = m.corpo.toUtf8().toBase64();
    for (qsizetype i = 0; i < corpo.size(); i += 76)
        r += corpo.mid(i, 76) + "\r\n";
    return r;
}

} // namespace Posta
