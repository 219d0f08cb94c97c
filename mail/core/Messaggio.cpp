#include "mail/core/Messaggio.h"

#include "archive/Impostazioni.h"
#include "archive/Testo.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <QUuid>

namespace {
const QString Sezione = QStringLiteral("Posta Elettronica");
}

TModelloAvviso TModelloAvviso::Predefinito()
{
    return {QStringLiteral("Rinnovo della tessera n. {tessera}"),
            QStringLiteral("{gentile} {nome},\n\n"
                           "le ricordiamo che la sua tessera n. {tessera}, rilasciata il "
                           "{rilascio} e con scadenza il {scadenza}, deve essere rinnovata.\n\n"
                           "Per il rinnovo pu\u00F2 rivolgersi ai nostri uffici oppure rispondere "
                           "a questo messaggio: le indicheremo come procedere.\n\n"
                           "Cordiali saluti.\n\n"
                           "{ente}")};
}

TModelloAvviso TModelloAvviso::Carica(const QString &cartella)
{
    const TFileIni ini(QDir(cartella).filePath(QStringLiteral("Quorvel.ini")));
    const TModelloAvviso predefinito = Predefinito();
    TModelloAvviso m;
    m.oggetto = ini.Leggi(Sezione, QStringLiteral("Oggetto")).trimmed();
    m.testo = PostaElettronica::DecodificaRighe(ini.Leggi(Sezione, QStringLiteral("Testo")));
    if (m.oggetto.isEmpty())
        m.oggetto = predefinito.oggetto;
    if (m.testo.trimmed().isEmpty())
        m.testo = predefinito.testo;
    return m;
}

void TModelloAvviso::Salva(const QString &cartella) const
{
    TFileIni ini(QDir(cartella).filePath(QStringLiteral("Quorvel.ini")));
    ini.Imposta(Sezione, QStringLiteral("Oggetto"), oggetto.simplified());
    ini.Imposta(Sezione, QStringLiteral("Testo"), PostaElettronica::CodificaRighe(testo));
    ini.Salva();
}

namespace PostaElettronica {

namespace {
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

// A field: a short word in braces.
const QRegularExpression &Campo()
{
    static const QRegularExpression e(QStringLiteral("\\{[^{}\\s]{1,40}\\}"));
    return e;
}
} // namespace

QStringList CampiAvviso()
{
    return {QStringLiteral("{gentile}"),  QStringLiteral("{nome}"),     QStringLiteral("{tessera}"),
            QStringLiteral("{rilascio}"), QStringLiteral("{scadenza}"), QStringLiteral("{ente}")};
}

QStringList CampiSconosciuti(const QString &testo)
{
    const QStringList noti = CampiAvviso();
    QStringList r;
    QRegularExpressionMatchIterator i = Campo().globalMatch(testo);
    while (i.hasNext()) {
        const QString campo = i.next().captured(0);
        if (!noti.contains(campo) && !r.contains(campo))
            r.append(campo);
    }
    return r;
}

QString Gentile(const QString &sesso)
{
    const QString s = sesso.trimmed().toUpper();
    if (s == QLatin1String("M"))
        return QStringLiteral("Gentile Sig.");
    if (s == QLatin1String("F"))
        return QStringLiteral("Gentile Sig.ra");
    return QStringLiteral("Gentile");
}

QString NomeProprio(const QString &nome)
{
    const QString t = nome.simplified();
    bool maiuscole = false, minuscole = false;
    for (QChar c : t) {
        maiuscole = maiuscole || c.isUpper();
        minuscole = minuscole || c.isLower();
    }
    // Typed in mixed case: the user chose how it is written.
    if (maiuscole && minuscole)
        return t;
    QString r;
    r.reserve(t.size());
    bool inizio = true;
    for (QChar c : t) {
        if (c.isLetter()) {
            r += inizio ? c.toUpper() : c.toLower();
            inizio = false;
        } else {
            r += c;
            // A new word after a blank, a hyphen, an apostrophe (DELL'ORTO) or a dot.
            inizio = c == u' ' || c == u'-' || c == u'\'' || c == u'\u2019' || c == u'.';
        }
    }
    return r;
}

TTestoAvviso ComponiAvviso(const TModelloAvviso &modello, const TAvviso &tesserato,
                           const QString &ente)
{
    const QHash<QString, QString> valori = {
        {QStringLiteral("{gentile}"), Gentile(tesserato.sesso)},
        {QStringLiteral("{nome}"), NomeProprio(tesserato.nome)},
        {QStringLiteral("{tessera}"), tesserato.numTessera.simplified()},
        {QStringLiteral("{rilascio}"), tesserato.dataRil.simplified()},
        {QStringLiteral("{scadenza}"), tesserato.dataScade.simplified()},
        {QStringLiteral("{ente}"), ente.simplified()}};
    // One pass: a value that looks like a field is not filled in again.
    const auto riempi = [&](const QString &testo) {
        QString r;
        qsizetype da = 0;
        QRegularExpressionMatchIterator i = Campo().globalMatch(testo);
        while (i.hasNext()) {
            const QRegularExpressionMatch m = i.next();
            r += testo.mid(da, m.capturedStart() - da);
            r += valori.value(m.captured(0), m.captured(0));
            da = m.capturedEnd();
        }
        return r + testo.mid(da);
    };
    TTestoAvviso r;
    r.oggetto = Testo::UnaRiga(riempi(modello.oggetto)).simplified();
    QString corpo = riempi(QString(modello.testo).remove(u'\r'));
    // Blanks at the ends of lines and blank lines at the end (an empty {ente}) go.
    QStringList righe = corpo.split(u'\n');
    for (QString &riga : righe)
        while (!riga.isEmpty() && riga.back().isSpace())
            riga.chop(1);
    while (!righe.isEmpty() && righe.constLast().isEmpty())
        righe.removeLast();
    r.corpo = righe.join(u'\n');
    return r;
}

QString CodificaRighe(const QString &testo)
{
    QString t = testo;
    t.remove(u'\r');
    t.replace(u'\\', QStringLiteral("\\\\"));
    t.replace(u'\n', QStringLiteral("\\n"));
    return t;
}

QString DecodificaRighe(const QString &valore)
{
    QString r;
    r.reserve(valore.size());
    for (qsizetype i = 0; i < valore.size(); ++i) {
        if (valore[i] == u'\\' && i + 1 < valore.size()) {
            const QChar c = valore[++i];
            r += c == u'n' ? QChar(u'\n') : c;
        } else {
            r += valore[i];
        }
    }
    return r;
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
    const QString pulito = Testo::UnaRiga(testo);
    // Plain ASCII goes as it is unless it could be read as an encoded word.
    if (SoloAsciiStampabile(pulito) && !pulito.contains(QLatin1String("=?")) && pulito.size() < 70)
        return pulito.toLatin1();
    return ParoleCodificate(pulito);
}

QByteArray IntestazioneIndirizzo(const QString &nome, const QString &indirizzo)
{
    const QString pulito = Testo::UnaRiga(nome);
    const QByteArray angolato = "<" + Testo::UnaRiga(indirizzo).toUtf8() + ">";
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
    const QString mittente = Testo::UnaRiga(m.mittente);
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
    // Text lines end in CR LF on the wire.
    QString testo = m.corpo;
    testo.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\n', QLatin1String("\r\n"));
    const auto base64 = [&r](const QByteArray &dati) {
        const QByteArray b = dati.toBase64();
        for (qsizetype i = 0; i < b.size(); i += 76)
            r += b.mid(i, 76) + "\r\n";
    };
    if (m.allegati.isEmpty()) {
        r += "Content-Type: text/plain; charset=UTF-8\r\n";
        r += "Content-Transfer-Encoding: base64\r\n";
        r += "\r\n";
        base64(testo.toUtf8());
        return r;
    }
    // Base64 never holds "=_", so the boundary cannot occur inside a part.
    const QByteArray confine = "=_quorvel_" + id;
    r += "Content-Type: multipart/mixed; boundary=\"" + confine + "\"\r\n";
    r += "\r\n";
    r += "--" + confine + "\r\n";
    r += "Content-Type: text/plain; charset=UTF-8\r\n";
    r += "Content-Transfer-Encoding: base64\r\n";
    r += "\r\n";
    base64(testo.toUtf8());
    for (const TAllegato &a : m.allegati) {
        // The name goes between quotes: no quote or backslash of its own.
        const QByteArray nome =
            CodificaIntestazione(QString(a.nome).replace(u'"', u'_').replace(u'\\', u'_'));
        r += "--" + confine + "\r\n";
        r += "Content-Type: " + Testo::UnaRiga(QString::fromLatin1(a.tipo)).toLatin1() +
             "; name=\"" + nome + "\"\r\n";
        r += "Content-Transfer-Encoding: base64\r\n";
        r += "Content-Disposition: attachment; filename=\"" + nome + "\"\r\n";
        r += "\r\n";
        base64(a.dati);
    }
    r += "--" + confine + "--\r\n";
    return r;
}

} // namespace PostaElettronica
