#include "archive/Archivio.h"

#include "archive/FileSicuro.h"

#include <QDir>

#include <unistd.h>

#include <limits>

#include <vector>

QString TArchivio::Percorso(const QString &cartella)
{
    return QDir(cartella).filePath(NomeArchivio);
}

QString PercorsoFoto(const QString &cartella, int posizione)
{
    return QDir(cartella).filePath(QString::number(posizione) + QStringLiteral(".jpg"));
}

TArchivio::TArchivio(const QString &cartella) : m_file(Percorso(cartella))
{
    // Unbuffered: every write reaches the system at once, so a short write is seen.
    // Only a regular file, never through a symbolic link.
    if (!ApriRegolare(m_file, QIODevice::ReadWrite | QIODevice::Unbuffered))
        Fallisci(QStringLiteral("aprire"));
    // Positions are int: an archive with more records cannot be addressed.
    if (m_file.size() / DimensioneScheda > std::numeric_limits<int>::max())
        Fallisci(QStringLiteral("leggere"));
}

TArchivio::~TArchivio()
{
    ChiudiArchivio();
}

void TArchivio::ChiudiArchivio()
{
    if (m_file.isOpen())
        m_file.close();
}

void TArchivio::Fallisci(const QString &azione)
{
    const QString testo = QStringLiteral("Impossibile %1 il file %2: %3")
                              .arg(azione, m_file.fileName(), MotivoScrittura(m_file));
    ChiudiArchivio();
    throw ErroreFile(testo);
}

int TArchivio::NumeroSchede() const
{
    // Counted in 64 bits; a file grown past the last position since opening counts
    // as full, so no position beyond it is ever made.
    const qint64 n = m_file.size() / DimensioneScheda;
    return static_cast<int>(std::min<qint64>(n, std::numeric_limits<int>::max()));
}

TScheda TArchivio::LeggiScheda(int p)
{
    if (p < 1 || p > NumeroSchede())
        Fallisci(QStringLiteral("leggere la scheda %1 dal").arg(p));
    TScheda s;
    if (!m_file.seek(qint64(p - 1) * DimensioneScheda) ||
        m_file.read(reinterpret_cast<char *>(s.byte.data()), DimensioneScheda) != DimensioneScheda)
        Fallisci(QStringLiteral("leggere"));
    return s;
}

void TArchivio::Scrivi(qint64 offset, const TScheda &s, bool attendi)
{
    const qint64 prima = m_file.size();
    bool ok = m_file.seek(offset) && m_file.write(reinterpret_cast<const char *>(s.byte.data()),
                                                  DimensioneScheda) == DimensioneScheda;
    ok = ok && m_file.flush() && (!attendi || ::fsync(m_file.handle()) == 0);
    if (!ok) {
        // An append that failed half way leaves no partial record behind.
        if (offset >= prima)
            m_file.resize(prima);
        Fallisci(QStringLiteral("scrivere"));
    }
}

void TArchivio::ScriviScheda(int p, const TScheda &s)
{
    if (p < 1 || p > NumeroSchede())
        Fallisci(QStringLiteral("scrivere la scheda %1 nel").arg(p));
    Scrivi(qint64(p - 1) * DimensioneScheda, s);
}

void TArchivio::ScriviSchede(std::span<const std::pair<int, TScheda>> schede)
{
    const int n = NumeroSchede();
    for (const auto &[p, s] : schede) {
        if (p < 1 || p > n)
            Fallisci(QStringLiteral("scrivere la scheda %1 nel").arg(p));
        Scrivi(qint64(p - 1) * DimensioneScheda, s, false);
    }
    if (!schede.empty() && ::fsync(m_file.handle()) != 0)
        Fallisci(QStringLiteral("scrivere"));
}

int TArchivio::AccodaScheda(const TScheda &s)
{
    const int n = NumeroSchede();
    if (n == std::numeric_limits<int>::max())
        Fallisci(QStringLiteral("scrivere"));
    Scrivi(qint64(n) * DimensioneScheda, s);
    return n + 1;
}

void TArchivio::Scorri(const std::function<bool(int, const TScheda &)> &f)
{
    constexpr int PerBlocco = 512; // about 1.4 MB a read
    const int n = NumeroSchede();
    if (n == 0)
        return;
    if (!m_file.seek(0))
        Fallisci(QStringLiteral("leggere"));
    std::vector<TScheda> blocco(static_cast<size_t>(std::min(n, PerBlocco)));
    for (int inizio = 0; inizio < n; inizio += PerBlocco) {
        const int quante = std::min(PerBlocco, n - inizio);
        const qint64 byte = qint64(quante) * DimensioneScheda;
        if (m_file.read(reinterpret_cast<char *>(blocco.data()), byte) != byte)
            Fallisci(QStringLiteral("leggere"));
        for (int i = 0; i < quante; ++i)
            if (!f(inizio + i + 1, blocco[static_cast<size_t>(i)]))
                return;
    }
}
