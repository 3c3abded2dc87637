#include "shell/AtomicFile.h"

#include <QFileDevice>
#include <QSaveFile>

namespace {
qint64& failAfter()
{
    static qint64 bytes = -1;
    return bytes;
}

int errorNumberFor(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return ErrorNumber::PermissionDenied;
    case QFileDevice::ResourceError:
        return ErrorNumber::DiskFull;
    case QFileDevice::WriteError:
        return ErrorNumber::DeviceIoError;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

AppError failureOf(const QSaveFile& file)
{
    AppError error = AppError::fromNumber(errorNumberFor(file.error()));
    if (!file.errorString().isEmpty())
        error.description += QStringLiteral(" (") + file.errorString() + QLatin1Char(')');
    return error;
}
} // namespace

Failure AtomicFile::write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failureOf(file);
    if (failAfter() >= 0 && bytes.size() > failAfter()) {
        file.write(bytes.left(failAfter()));
        file.cancelWriting();
        return AppError::fromNumber(ErrorNumber::DiskFull);
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        return failureOf(file);
    return std::nullopt;
}

void AtomicFile::failWritesAfter(qint64 bytes)
{
    failAfter() = bytes;
}
