// The folder's reminder log "Avvisi.csv": found, read and appended to as the program
// always has. Programs reach it through TDeposito.
#include "archive/CellaCsv.h"
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
    // Records are split on line ends outside quotes (fromUtf8 drops the byte order mark).
    for (const QString &riga : Csv::Righe(QString::fromUtf8(f.readAll()))) {
        const std::optional<TRigaAvviso> l = LeggiRiga(riga);
        if (!l || l->esito != Inviato)
            continue;
        QDate &ultima = r[Chiave(l->posizione, l->tesserato)];
        if (!ultima.isValid() || l->data > ultima)
            ultima = l->data;
    }
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
            "\xEF\xBB\xBF" + (Csv::Riga(Intestazione) + QStringLiteral("\r\n")).toUtf8();
        if (m_file.write(inizio) != inizio.size() || !m_file.flush())
            m_file.close();
    } else if (m_file.seek(m_file.size() - 1)) {
        // A line cut short by a crash is ended before the next one.
        char ultimo = 0;
        if (m_file.getChar(&ultimo) && ultimo != '\n')
            m_file.write("\r\n");
    }
}

bool TRegistro::Scrivi(const TRigaAvviso &riga)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray testo = (Riga(riga) + QStringLiteral("\r\n")).toUtf8();
    return m_file.write(testo) == testo.size() && m_file.flush();
}

} // namespace RegistroAvvisi
