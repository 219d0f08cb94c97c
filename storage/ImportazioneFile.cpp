#include "storage/ImportazioneFile.h"

#include "archive/Archivio.h"
#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "storage/CopieImportazione.h"

#include <QDir>
#include <QFileInfo>

namespace {
// One buffer for the new records, written a megabyte at a time and kept allocated;
// every 16 megabytes the disk is set to work, so the final sync waits little.
constexpr qsizetype Blocco = 1 << 20;

// Copies the first `byte` bytes of one file to another, written aside and renamed.
void Copia(const QString &da, QSaveFile &a, qint64 byte)
{
    QFile sorgente(da);
    if (!ApriRegolare(sorgente, QIODevice::ReadOnly))
        throw ErroreFile(
            QStringLiteral("Impossibile leggere il file %1: %2").arg(da, sorgente.errorString()));
    QByteArray blocco;
    while (byte > 0) {
        blocco = sorgente.read(std::min<qint64>(byte, 1 << 20));
        if (blocco.isEmpty() || a.write(blocco) != blocco.size())
            throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                                 .arg(a.fileName(), MotivoScrittura(a)));
        byte -= blocco.size();
    }
}
} // namespace

TImportazioneFile::TImportazioneFile(const QString &cartella, int schede)
    : m_cartella(cartella), m_percorso(TArchivio::Percorso(cartella)), m_nuovo(m_percorso),
      m_copia(QDir(cartella).filePath(NomeCopiaArchivio))
{
    // The copy is put in place only together with the new archive, so a refused file
    // writes nothing at all.
    if (!ApriInScrittura(m_copia))
        throw ErroreFile(QStringLiteral("Impossibile creare la copia %1: %2")
                             .arg(m_copia.fileName(), MotivoScrittura(m_copia)));
    Copia(m_percorso, m_copia, QFileInfo(m_percorso).size());
    if (!m_copia.flush())
        throw ErroreFile(QStringLiteral("Impossibile scrivere la copia %1: %2")
                             .arg(m_copia.fileName(), MotivoScrittura(m_copia)));
    if (!ApriInScrittura(m_nuovo))
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(m_percorso, MotivoScrittura(m_nuovo)));
    Copia(m_percorso, m_nuovo, qint64(schede) * DimensioneScheda);
    m_blocco.reserve(Blocco + DimensioneScheda);
}

void TImportazioneFile::Svuota()
{
    if (!m_blocco.isEmpty() && m_nuovo.write(m_blocco) != m_blocco.size())
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(m_percorso, MotivoScrittura(m_nuovo)));
    m_blocco.resize(0);
    if (++m_blocchi % 16 == 0)
        AvviaScritturaSuDisco(m_nuovo);
}

void TImportazioneFile::Accoda(const TScheda &s)
{
    m_blocco.append(reinterpret_cast<const char *>(s.byte.data()), DimensioneScheda);
    if (m_blocco.size() >= Blocco)
        Svuota();
}

bool TImportazioneFile::Conferma(const QList<int> &foto)
{
    Svuota();
    // The dated copy that lets this import be undone, with the photos it replaces.
    CopieImportazione::TCopia datata(m_cartella, foto);
    if (!ConfermaFile(m_copia))
        throw ErroreFile(QStringLiteral("Impossibile scrivere la copia %1: %2")
                             .arg(m_copia.fileName(), MotivoScrittura(m_copia)));
    if (!ConfermaFile(m_nuovo))
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file %1: %2")
                             .arg(m_percorso, MotivoScrittura(m_nuovo)));
    return datata.Conferma();
}
