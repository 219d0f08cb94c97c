#include "archive/FileSicuro.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool Scrivibile(const QString &percorso)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(percorso).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

void AvviaScritturaSuDisco(QSaveFile &file)
{
    if (!file.flush())
        return;
#ifdef Q_OS_LINUX
    ::sync_file_range(file.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

QString MotivoScrittura(const QFileDevice &file)
{
    const int errore = errno;
    // errno tells only about a file that was open; one refused by the write guard is not.
    const bool aperto = file.isOpen();
    if (aperto && (errore == ENOSPC || errore == EDQUOT))
        return QStringLiteral("il disco è pieno, liberare spazio e riprovare");
    if (aperto && errore == EFBIG)
        return QStringLiteral("il file supera la dimensione massima consentita");
    if (!Scrivibile(file.fileName()))
        return QStringLiteral("non è un file regolare (è un collegamento, una cartella o un "
                              "dispositivo)");
    const QString proprio = file.errorString(); // "Unknown error", or its translation
    if (file.error() != QFileDevice::NoError && proprio != u"Unknown error" &&
        proprio != u"Errore sconosciuto")
        return proprio;
    if (errore != 0)
        return qt_error_string(errore);
    return QStringLiteral("errore di scrittura");
}

bool ApriInScrittura(QSaveFile &file)
{
    return Scrivibile(file.fileName()) && file.open(QIODevice::WriteOnly);
}

bool ApriRegolare(QFile &file, QIODevice::OpenMode modo)
{
    const bool scrive = modo.testFlag(QIODevice::WriteOnly);
    if (scrive && !Scrivibile(file.fileName()))
        return false;
    // Non-blocking while opening: a named pipe with no writer would wait for ever.
    int flag = O_CLOEXEC | O_NONBLOCK;
    if (scrive) {
        flag |= O_CREAT | O_NOFOLLOW;
        flag |= modo.testFlag(QIODevice::ReadOnly) ? O_RDWR : O_WRONLY;
        if (modo.testFlag(QIODevice::Truncate))
            flag |= O_TRUNC;
        if (modo.testFlag(QIODevice::Append))
            flag |= O_APPEND;
    } else {
        flag |= O_RDONLY;
    }
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), flag, 0666);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, modo, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}
