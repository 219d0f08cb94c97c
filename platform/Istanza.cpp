#include "platform/Istanza.h"

#include "archive/FileSicuro.h"
#include "platform/Piattaforma.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>

#include <signal.h>
#include <sys/stat.h>

namespace {
// A process of that number runs on this computer.
bool Vivo(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}
} // namespace

TBloccoIstanza::TBloccoIstanza(const QString &cartella)
    : m_cartella(cartella), m_percorso(QDir(cartella).filePath(QStringLiteral("Quorvel.lock"))),
      m_lock(std::make_unique<QLockFile>(m_percorso))
{
    // No age limit: a lock is stale only when the copy that wrote it has ended.
    m_lock->setStaleLockTime(0);
    // A named pipe or a link in place of the lock would block its reading for ever.
    const QFileInfo info(m_percorso);
    m_illeggibile = (info.exists() || info.isSymLink()) && !Scrivibile(m_percorso);
    if (!m_illeggibile)
        m_acquisito = PrendiBlocco();
}

bool TBloccoIstanza::PrendiBlocco()
{
    // QLockFile makes the lock with the umask's modes: it names the computer and process.
    if (!m_lock->tryLock(0))
        return false;
    ::chmod(QFile::encodeName(m_percorso).constData(), S_IRUSR | S_IWUSR);
    return true;
}

QString TBloccoIstanza::Messaggio()
{
    return QStringLiteral(
        "Attenzione: Quorvel è già aperto su questa cartella del programma. Chiudere l'altra "
        "copia prima di avviarne una nuova: due copie aperte insieme potrebbero perdere dati "
        "dell'archivio.");
}

QString TBloccoIstanza::MessaggioCartella(const QString &cartella)
{
    return QStringLiteral("Attenzione: non è possibile scrivere nella cartella del programma:"
                          "\r\n\r\n") +
           QDir::toNativeSeparators(cartella) +
           QStringLiteral("\r\n\r\nQuorvel conserva l'archivio e le impostazioni in questa "
                          "cartella. Accertarsi di possedere i privilegi di scrittura nella "
                          "cartella e che non si trovi su un'unità di sola lettura, poi avviare "
                          "di nuovo il programma.");
}

QString TBloccoIstanza::DomandaSblocco() const
{
    const QDateTime quando = QFileInfo(m_percorso).lastModified();
    const QString data = quando.isValid()
                             ? quando.toString(QStringLiteral("dd/MM/yyyy 'alle' HH:mm"))
                             : QStringLiteral("data sconosciuta");
    qint64 pid = 0;
    QString computer, programma;
    QString chi;
    if (!m_illeggibile && m_lock->getLockInfo(&pid, &computer, &programma))
        chi = QStringLiteral("da Quorvel aperto sul computer \"%1\" (processo %2) il %3")
                  .arg(computer.isEmpty() ? QStringLiteral("sconosciuto") : computer)
                  .arg(pid)
                  .arg(data);
    else
        chi = QStringLiteral("da un file di blocco vuoto o illeggibile (Quorvel.lock, del %1)")
                  .arg(data);
    return QStringLiteral("Attenzione: la cartella del programma risulta bloccata ") + chi +
           QStringLiteral(", ma non è possibile accertare che quella copia sia ancora aperta."
                          "\r\n\r\nSe la cartella è stata copiata o ripristinata da un altro "
                          "computer, e Quorvel non è aperto altrove su questa cartella, si può "
                          "sbloccarla.\r\n\r\nSbloccare la cartella e avviare Quorvel?");
}

bool TBloccoIstanza::Prendi()
{
    if (m_acquisito)
        return true;
    if (!m_illeggibile && m_lock->error() != QLockFile::LockFailedError) {
        Piattaforma::Errore(MessaggioCartella(m_cartella));
        return false;
    }
    qint64 pid = 0;
    QString computer, programma;
    if (!m_illeggibile && m_lock->getLockInfo(&pid, &computer, &programma) &&
        computer == QSysInfo::machineHostName() && Vivo(pid)) {
        Piattaforma::Avviso(Messaggio());
        return false;
    }
    if (!Piattaforma::Domanda(DomandaSblocco()))
        return false;
    // What stands in the lock's place goes: a lock file, a link, a named pipe.
    const bool tolto = m_illeggibile ? QFile::remove(m_percorso) : m_lock->removeStaleLockFile();
    m_illeggibile = false;
    m_acquisito = tolto && PrendiBlocco();
    if (!m_acquisito)
        Piattaforma::Errore(MessaggioCartella(m_cartella));
    return m_acquisito;
}
