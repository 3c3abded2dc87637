#include "store/NoteFileLock.h"

NoteFileLock::NoteFileLock(const QString& path)
    : m_path(path), m_lock(path + QStringLiteral(".lock"))
{
}

Result NoteFileLock::lock(int waitMs)
{
    // A folder that cannot take the lock file cannot take the note file's new version either;
    // the write then says why, in its own words.
    if (m_lock.tryLock(waitMs) || m_lock.error() != QLockFile::LockFailedError)
        return {};
    AppError error = AppError::fromNumber(ErrorNumber::PathFileAccessError);
    error.description += QStringLiteral(" (%1 stays locked by another program)").arg(m_path);
    return error;
}
