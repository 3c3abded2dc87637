#include "store/NoteFileLock.h"

NoteFileLock::NoteFileLock(const QString& path)
    : m_path(path), m_lock(path + QStringLiteral(".lock"))
{
}

Result NoteFileLock::lock(int waitMs)
{
    if (m_lock.tryLock(waitMs))
        return {};
    // A folder that cannot take the lock file cannot take the note file's new version either.
    if (m_lock.error() == QLockFile::PermissionError) {
        AppError error = AppError::fromNumber(ErrorNumber::PermissionDenied);
        error.description += QStringLiteral(": ") + m_path;
        return error;
    }
    AppError error = AppError::fromNumber(ErrorNumber::PathFileAccessError);
    if (m_lock.error() == QLockFile::LockFailedError)
        error.description += QStringLiteral(" (%1 stays locked by another program)").arg(m_path);
    else
        error.description += QStringLiteral(": ") + m_path;
    return error;
}
