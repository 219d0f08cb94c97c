#include "archive/Impostazioni.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Testo.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {
// The section name of a "[name]" line, or a null string for any other line.
QString NomeSezione(const QString &riga)
{
    const QString t = Testo::Trim32(riga);
    if (t.size() >= 2 && t.startsWith(u'[') && t.endsWith(u']'))
        return t.mid(1, t.size() - 2);
    return QString();
}

bool StessoNome(const QString &a, const QString &b)
{
    return Testo::Trim32(a).compare(Testo::Trim32(b), Qt::CaseInsensitive) == 0;
}
} // namespace

QStringList TFileIni::Righe(const QByteArray &contenuto)
{
    QByteArray b = contenuto;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(b);
    if (utf8.hasError())
        testo = Testo::FromWin1252(b);
    QStringList righe = testo.split(u'\n');
    for (QString &r : righe)
        if (r.endsWith(u'\r'))
            r.chop(1);
    if (!righe.isEmpty() && righe.last().isEmpty())
        righe.removeLast();
    return righe;
}

TFileIni::TFileIni(const QString &percorso) : m_percorso(percorso)
{
    QFile f(percorso);
    if (ApriRegolare(f, QIODevice::ReadOnly))
        m_righe = Righe(f.readAll());
}

int TFileIni::RigaSezione(const QString &sezione) const
{
    for (int i = 0; i < m_righe.size(); ++i) {
        const QString nome = NomeSezione(m_righe.at(i));
        if (!nome.isNull() && StessoNome(nome, sezione))
            return i;
    }
    return -1;
}

int TFileIni::RigaChiave(int rigaSezione, const QString &chiave) const
{
    for (int i = rigaSezione + 1; i < m_righe.size(); ++i) {
        const QString &r = m_righe.at(i);
        if (!NomeSezione(r).isNull())
            break;
        const qsizetype uguale = r.indexOf(u'=');
        if (uguale > 0 && StessoNome(r.left(uguale), chiave))
            return i;
    }
    return -1;
}

QString TFileIni::Leggi(const QString &sezione, const QString &chiave,
                        const QString &predefinito) const
{
    const int s = RigaSezione(sezione);
    if (s < 0)
        return predefinito;
    const int k = RigaChiave(s, chiave);
    if (k < 0)
        return predefinito;
    const QString &r = m_righe.at(k);
    return Testo::Trim32(r.mid(r.indexOf(u'=') + 1));
}

void TFileIni::Imposta(const QString &sezione, const QString &chiave, const QString &valore)
{
    // A line break would end the line: the rest would fall outside its section.
    QString unaRiga = valore;
    unaRiga.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString riga = chiave + u'=' + unaRiga;
    int s = RigaSezione(sezione);
    if (s < 0) {
        m_righe.append(u'[' + sezione + u']');
        m_righe.append(riga);
        return;
    }
    const int k = RigaChiave(s, chiave);
    if (k >= 0) {
        m_righe[k] = riga;
        return;
    }
    // New key at the end of its section, before any blank lines that close it.
    int fine = s + 1;
    while (fine < m_righe.size() && NomeSezione(m_righe.at(fine)).isNull())
        ++fine;
    while (fine > s + 1 && Testo::Trim32(m_righe.at(fine - 1)).isEmpty())
        --fine;
    m_righe.insert(fine, riga);
}

void TFileIni::Salva() const
{
    QByteArray contenuto;
    for (const QString &r : m_righe) {
        contenuto += r.toUtf8();
        contenuto += "\r\n";
    }
    // Written aside and renamed over the old file: a failure leaves the old one whole.
    QSaveFile f(m_percorso);
    if (!ApriInScrittura(f) || f.write(contenuto) != contenuto.size() || !ConfermaFile(f))
        throw ErroreFile(QStringLiteral("Unable to write to ") + m_percorso);
}

void TFileIni::Scrivi(const QString &sezione, const QString &chiave, const QString &valore)
{
    Imposta(sezione, chiave, valore);
    Salva();
}
