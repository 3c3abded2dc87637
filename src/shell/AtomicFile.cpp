#include "shell/AtomicFile.h"

#include "shell/Seams.h"

#include <QFileDevice>
#include <QSaveFile>

namespace {
int errorNumberFor(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::NoError: // a write that stopped short without an error: the disk is full
    case QFileDevice::ResourceError:
        return ErrorNumber::DiskFull;
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return ErrorNumber::PermissionDenied;
    case QFileDevice::WriteError:
        return ErrorNumber::DeviceIoError;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

AppError failureOf(const QSaveFile& file)
{
    AppError error = AppError::fromNumber(errorNumberFor(file.error()));
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty())
        error.description += QStringLiteral(" (") + file.errorString() + QLatin1Char(')');
    return error;
}
} // namespace

Failure AtomicFile::write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failureOf(file);
    // Without a commit, the temporary file goes away with the QSaveFile.
    if (Seams::current().writeFile(file, bytes) != bytes.size() || !file.commit())
        return failureOf(file);
    return std::nullopt;
}
