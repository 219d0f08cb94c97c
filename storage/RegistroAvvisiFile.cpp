// The folder's reminder log "Avvisi.csv": found, read and appended to as the program
// always has. Programs reach it through TDeposito.
#include "archive/FileSicuro.h"
#include "mail/core/RegistroAvvisi.h"

#include <QDir>

namespace RegistroAvvisi {

QString Percorso(const QString &cartella)
{
    return QDir(cartella).filePath(QStringLiteral("Avvisi.csv"));
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
