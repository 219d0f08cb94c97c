#pragma once
// Safe file access shared by every reader and writer of the program folder: files
// written aside and confirmed, a guard against writing through symbolic links, and
// opening of regular files only (a named pipe would block the program for ever).
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

// Opens a file written aside after the write guard; false when refused or not opened.
bool ApriInScrittura(QSaveFile &file);

// Why a write to `file` failed, in Italian, for a message: call it at once after the
// failing call, while errno still tells (a short write leaves "Unknown error" in the
// file's own text). A full disk or quota, a file grown past the allowed size and a path
// that is not a regular file get their own words.
QString MotivoScrittura(const QFileDevice &file);

// Opens `file` only when it is a regular file, without ever blocking on a named pipe;
// a write mode also passes the write guard and creates a missing file. False (and the
// file closed) for anything else.
bool ApriRegolare(QFile &file, QIODevice::OpenMode modo);
