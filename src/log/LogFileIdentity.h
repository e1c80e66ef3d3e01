#pragma once

#include <QString>
#include <QtGlobal>

// Which file stands at a path: its device and inode. A connection kept open on a
// file that was since deleted or replaced still reads and writes the old file, so the
// log compares this before every operation to notice that it must reopen.
struct LogFileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;

    // The file at path now; exists is false when there is none.
    static LogFileIdentity of(const QString& path);

    bool operator==(const LogFileIdentity& other) const {
        return exists == other.exists && device == other.device && inode == other.inode;
    }
    bool operator!=(const LogFileIdentity& other) const { return !(*this == other); }
};
