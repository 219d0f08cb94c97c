#include "mail/core/RegistroAvvisi.h"

#include "archive/CellaCsv.h"
#include "archive/FileSicuro.h"

#include <QDir>

namespace RegistroAvvisi {

QString Percorso(const QString &cartella)
{
    return QDir(cartella).filePath(QStringLiteral("Avvisi.csv"));
}

QString UnaRiga(const QString &testo)
{
    QString r = testo;
    for (QChar &c : r)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    return r.trimmed();
}

QString Data(const QDate &d)
{
    return d.toString(Qt::ISODate);
}

QString Data(const QString &ggmmaaaa)
{
    const QDate d = QDate::fromString(ggmmaaaa.trimmed(), QStringLiteral("dd/MM/yyyy"));
    return d.isValid() ? Data(d) : ggmmaaaa;
}

QDate LeggiData(const QString &testo)
{
    const QDate d = QDate::fromString(testo, Qt::ISODate);
    return d.isValid() ? d : QDate::fromString(testo, QStringLiteral("dd/MM/yyyy"));
}

QString Chiave(int posizione, const QString &nome)
{
    return QString::number(posizione) + u'\t' + UnaRiga(nome);
}

QString Riga(const QStringList &campi)
{
    QStringList r;
    r.reserve(campi.size());
    for (const QString &c : campi)
        r.append(Csv::Cella(UnaRiga(c)));
    return r.join(u';');
}

QStringList Campi(const QString &riga)
{
    QStringList r;
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        const QChar c = riga[i];
        if (virgolette) {
            if (c == u'"' && i + 1 < riga.size() && riga[i + 1] == u'"') {
                campo += u'"';
                ++i;
            } else if (c == u'"') {
                virgolette = false;
            } else {
                campo += c;
            }
        } else if (c == u'"') {
            virgolette = true;
        } else if (c == u';') {
            r.append(campo);
            campo.clear();
        } else {
            campo += c;
        }
    }
    r.append(campo);
    for (QString &c : r)
        c = Csv::Valore(c);
    return r;
}

QHash<QString, QDate> UltimiInvii(const QString &cartella)
{
    QHash<QString, QDate> r;
    QFile f(Percorso(cartella));
    if (!ApriRegolare(f, QIODevice::ReadOnly))
        return r;
    // Lines are split on line ends outside quotes (fromUtf8 drops the byte order mark).
    const QString testo = QString::fromUtf8(f.readAll());
    QString riga;
    bool virgolette = false;
    const auto chiudi = [&] {
        const QStringList c = Campi(riga);
        riga.clear();
        if (c.size() < 7 || c[6] != Inviato)
            return;
        const QDate data = LeggiData(c[0]);
        bool ok = false;
        const int posizione = c[2].toInt(&ok);
        if (!data.isValid() || !ok)
            return;
        QDate &ultima = r[Chiave(posizione, c[3])];
        if (!ultima.isValid() || data > ultima)
            ultima = data;
    };
    for (QChar c : testo) {
        if (c == u'"')
            virgolette = !virgolette;
        if (!virgolette && (c == u'\n' || c == u'\r')) {
            if (!riga.isEmpty())
                chiudi();
            continue;
        }
        riga += c;
    }
    if (!riga.isEmpty())
        chiudi();
    return r;
}

TRegistro::TRegistro(const QString &cartella) : m_file(Percorso(cartella))
{
    // A pipe, a folder or a symbolic link named as the log is refused like the archive's.
    if (!ApriRegolare(m_file, QIODevice::ReadWrite | QIODevice::Append))
        return;
    if (m_file.size() == 0) {
        // A new log: the byte order mark and the header tell spreadsheets what it holds.
        const QByteArray inizio =
            "\xEF\xBB\xBF" + (Riga(Intestazione) + QStringLiteral("\r\n")).toUtf8();
        if (m_file.write(inizio) != inizio.size() || !m_file.flush())
            m_file.close();
    } else if (m_file.seek(m_file.size() - 1)) {
        // A line cut short by a crash is ended before the next one.
        char ultimo = 0;
        if (m_file.getChar(&ultimo) && ultimo != '\n')
            m_file.write("\r\n");
    }
}

bool TRegistro::Scrivi(const QStringList &campi)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray riga = (Riga(campi) + QStringLiteral("\r\n")).toUtf8();
    return m_file.write(riga) == riga.size() && m_file.flush();
}

} // namespace RegistroAvvisi
