#pragma once

#include "shell/AppError.h"

#include <QLockFile>
#include <QString>

// Held while a note file is read and written back, so that two writers (a note's Save or
// Append To, the manager's delete, another running copy) never write over each other's
// notes: a lock file beside the note file, as the main data file has. Let go when it ends.
class NoteFileLock {
public:
    // As long as a writer holds it for one file write.
    static constexpr int WaitMs = 10000;

    explicit NoteFileLock(const QString& path);

    // Takes the lock, waiting up to waitMs for another holder; the failure when another holds
    // it still. Where no lock file can be made, the write that follows fails and tells why.
    [[nodiscard]] Result lock(int waitMs = WaitMs);

private:
    QString m_path;
    QLockFile m_lock;
};
