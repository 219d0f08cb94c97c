#include "archive/FileSicuro.h"

#include <QDir>

#include <cerrno>
#include <cstring>

#include <dirent.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr mode_t ModoFile = 0600;
constexpr mode_t ModoCartella = 0700;
// Deep enough for the folders the program makes; a loop of folders ends here.
constexpr int ProfonditaMassima = 8;

// Tightens the folder open on `fd` and, when it is the user's, what lies below it.
void Restringi(int fd, int livello)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return;
    }
    if ((st.st_mode & 07777) != ModoCartella)
        ::fchmod(fd, ModoCartella);
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent *voce = ::readdir(dir)) {
        const char *nome = voce->d_name;
        if (std::strcmp(nome, ".") == 0 || std::strcmp(nome, "..") == 0)
            continue;
        struct stat figlio {};
        if (::fstatat(fd, nome, &figlio, AT_SYMLINK_NOFOLLOW) != 0 || figlio.st_uid != ::geteuid())
            continue;
        if (S_ISDIR(figlio.st_mode) && livello < ProfonditaMassima) {
            const int sotto = ::openat(fd, nome, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sotto >= 0)
                Restringi(sotto, livello + 1);
        } else if (S_ISREG(figlio.st_mode) && (figlio.st_mode & 07777) != ModoFile) {
            // Changed through the opened file, so that a link put in its place is not followed.
            const int f = ::openat(fd, nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (f < 0)
                continue;
            struct stat aperto {};
            if (::fstat(f, &aperto) == 0 && S_ISREG(aperto.st_mode) && aperto.st_uid == ::geteuid())
                ::fchmod(f, ModoFile);
            ::close(f);
        }
    }
    ::closedir(dir); // closes fd too
}
} // namespace

bool CreaCartella(const QString &percorso)
{
    const QString pulito = QDir::cleanPath(QDir(percorso).absolutePath());
    QString parziale;
    const QStringList parti = pulito.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &parte : parti) {
        parziale += QLatin1Char('/') + parte;
        const QByteArray nome = QFile::encodeName(parziale);
        if (::mkdir(nome.constData(), ModoCartella) == 0) {
            // The umask may have taken bits away: set the mode itself.
            if (::chmod(nome.constData(), ModoCartella) != 0)
                return false;
            continue;
        }
        struct stat st {};
        if (errno != EEXIST || ::stat(nome.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

void RestringiCartella(const QString &percorso)
{
    const int fd = ::open(QFile::encodeName(percorso).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        Restringi(fd, 0);
}

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
    if (!Scrivibile(file.fileName()) || !file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile keeps the modes of the file it replaces, or takes them from the umask.
    if (::fchmod(file.handle(), ModoFile) != 0) {
        file.cancelWriting();
        return false;
    }
    return true;
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
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), flag, ModoFile);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (scrive && st.st_uid == ::geteuid() && (st.st_mode & 07777) != ModoFile &&
         ::fchmod(fd, ModoFile) != 0)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, modo, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}
