#pragma once
// Completes a file written aside with QSaveFile. QSaveFile::commit alone can report
// success after a write that the disk cut short (the buffered data is lost while
// closing), and would put the truncated file in place of the good one: flush first,
// and discard the new file when anything failed.
#include <QSaveFile>

inline bool ConfermaFile(QSaveFile &file)
{
    if (!file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
