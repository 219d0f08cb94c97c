#include "platform/Istanza.h"

#include <QDir>

TBloccoIstanza::TBloccoIstanza(const QString &cartella)
    : m_lock(std::make_unique<QLockFile>(QDir(cartella).filePath(QStringLiteral("Quorvel.lock"))))
{
    // No age limit: a lock is stale only when the copy that wrote it has ended.
    m_lock->setStaleLockTime(0);
    m_acquisito = m_lock->tryLock(0);
}

QString TBloccoIstanza::Messaggio()
{
    return QStringLiteral(
        "Attenzione: Quorvel è già aperto su questa cartella del programma. Chiudere l'altra "
        "copia prima di avviarne una nuova: due copie aperte insieme potrebbero perdere dati "
        "dell'archivio.");
}
