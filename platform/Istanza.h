#pragma once
// One copy of Quorvel at a time on a program folder: two copies would both append
// at the same position and lose a record. A lock file beside the archive, released
// on exit and recovered when the copy that held it is no longer running.
#include <QLockFile>
#include <QString>

#include <memory>

class TBloccoIstanza {
public:
    explicit TBloccoIstanza(const QString &cartella);
    // True when this copy holds the folder.
    bool Acquisito() const { return m_acquisito; }
    static QString Messaggio();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquisito = false;
};
