#pragma once
// Safe file access shared by every reader and writer of the program folder: files
// written aside and confirmed, a guard against writing through symbolic links, and
// opening of regular files only (a named pipe would block the program for ever).
// Everything written holds personal data: files are made 0600 and folders 0700,
// set explicitly whatever the umask, so that no other account on the computer reads them.
#include <QFile>
#include <QSaveFile>

// Completes a file written aside with QSaveFile. QSaveFile::commit alone can report
// success after a write that the disk cut short (the buffered data is lost while
// closing), and would put the truncated file in place of the good one: flush first,
// and discard the new file when anything failed.
inline bool ConfermaFile(QSaveFile &file)
{
    if (!file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// Hands what was written so far to the disk without waiting for it, so that the final
// sync of a large file has little left to wait for. Best effort: nothing is reported.
void AvviaScritturaSuDisco(QSaveFile &file);

// The write guard: true when `percorso` may be written or replaced, that is when
// nothing is there yet or it is a regular file. A symbolic link (its target may lie
// outside the folder), a named pipe, a device or a folder is refused.
bool Scrivibile(const QString &percorso);

// Opens a file written aside after the write guard, readable by its owner alone; false
// when refused or not opened.
bool ApriInScrittura(QSaveFile &file);

// Why a write to `file` failed, in Italian, for a message: call it at once after the
// failing call, while errno still tells (a short write leaves "Unknown error" in the
// file's own text). A full disk or quota, a file grown past the allowed size and a path
// that is not a regular file get their own words.
QString MotivoScrittura(const QFileDevice &file);

// Opens `file` only when it is a regular file, without ever blocking on a named pipe;
// a write mode also passes the write guard, creates a missing file and makes a file of
// the user's readable by its owner alone. False (and the file closed) for anything else.
bool ApriRegolare(QFile &file, QIODevice::OpenMode modo);

// Makes the folder and any missing folder above it, each new one 0700. False when a
// folder cannot be made or something else stands in its place.
bool CreaCartella(const QString &percorso);

// Takes from group and others what a folder of the user and what lies below it allow:
// the folder and its subfolders become 0700, its files 0600. Only what belongs to the
// user who runs the program is changed; symbolic links are never followed.
void RestringiCartella(const QString &percorso);
