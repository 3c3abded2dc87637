#include "shell/modFileFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr QChar kSeparator = QLatin1Char('/');
} // namespace

QString modFileFunctions::GetDesktopPath()
{
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty())
        desktop = AddBackslash(QDir::homePath()) + QStringLiteral("Desktop");
    while (desktop.size() > 1 && desktop.endsWith(kSeparator))
        desktop.chop(1);
    return desktop;
}

QString modFileFunctions::GetFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(kSeparator) + 1);
}

QString modFileFunctions::GetFolder(const QString& path)
{
    const qsizetype last = path.lastIndexOf(kSeparator);
    if (last < 0)
        return QString();
    return last == 0 ? QString(kSeparator) : path.left(last);
}

bool modFileFunctions::FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString modFileFunctions::AddBackslash(const QString& path)
{
    return path.endsWith(kSeparator) ? path : path + kSeparator;
}

QString modFileFunctions::TrimNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

Expected<QByteArray> modFileFunctions::ReadRegularFile(const QString& path, qint64 maxBytes)
{
    const auto failure = [&path](int number) {
        AppError error = AppError::fromNumber(number);
        error.description += QStringLiteral(": ") + path;
        return error;
    };
    // Opened without waiting, so a FIFO with no writer cannot block the open; what it is
    // decides next, from the handle, so nothing can be swapped in after the check.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int openErrno = errno;
        if (openErrno == ENOENT)
            return failure(ErrorNumber::FileNotFound);
        AppError error = AppError::fromErrno(openErrno);
        error.description += QStringLiteral(": ") + path;
        return error;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return failure(ErrorNumber::PathFileAccessError);
    }
    if (status.st_size > maxBytes) {
        ::close(fd);
        return failure(ErrorNumber::Overflow);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(ErrorNumber::PathFileAccessError);
    }
    // One byte past the limit: the file may have grown since it was measured.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(ErrorNumber::DeviceIoError);
    if (bytes.size() > maxBytes)
        return failure(ErrorNumber::Overflow);
    return bytes;
}
