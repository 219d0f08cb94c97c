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
    // Start-up: true when this copy may start. A copy proved running on this computer
    // is reported; a lock whose owner cannot be proved alive here (written on another
    // computer, empty, unreadable) names who and when and asks whether to unlock; a
    // folder that cannot be written gets its own message.
    bool Prendi();
    static QString Messaggio();
    static QString MessaggioCartella(const QString &cartella);

private:
    bool PrendiBlocco();
    QString DomandaSblocco() const;

    QString m_cartella;
    QString m_percorso;
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquisito = false;
    bool m_illeggibile = false; // something other than a lock file stands in its place
};
