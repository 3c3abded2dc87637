#pragma once

#include "shell/AppError.h"

#include <QLockFile>
#include <QString>

// Held while a note file or the main data file is read and written back, so that two writers
// (a note's Save or Append To, the manager's delete, copies ending a session together) never
// write over each other's notes: a lock file beside the file. Let go when it ends.
//
// A holder that is alive and at work is waited for (a logout of many big notes takes a while);
// one that did nothing for the seams' lock patience is given up on. A lock whose holder is
// gone is taken over at once, but never one of a live holder, however old.
class NoteFileLock {
public:
    explicit NoteFileLock(const QString& path);

    // Takes the lock; the failure when another holder keeps it. Where no lock file can be made
    // (a read-only or full folder) no other writer can write either: the read or write that
    // follows goes ahead and tells its own failure.
    [[nodiscard]] Result lock();

private:
    QString m_path;
    QLockFile m_lock;
};
