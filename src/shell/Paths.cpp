#include "shell/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString ensured(const QString& folder)
{
    QDir().mkpath(folder);
    return folder;
}

// Creates the folder, and any folder above it that is missing, for its owner alone: notes are
// private. A folder that exists keeps its mode.
void makePrivateFolder(const QString& folder)
{
    constexpr mode_t kOwnerOnly = 0700;
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), kOwnerOnly) == 0 || errno != ENOENT)
        return;
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent == folder)
        return;
    makePrivateFolder(parent);
    ::mkdir(name.constData(), kOwnerOnly);
}

QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
} // namespace

QString AppPaths::appDirectory()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString folder = dataHome + QStringLiteral("/Jottex");
    makePrivateFolder(folder);
    return folder;
}

QString AppPaths::mainDataFile()
{
    return appDirectory() + QStringLiteral("/jottex.dat");
}

QString AppPaths::logFile()
{
    return appDirectory() + QStringLiteral("/jottex.log");
}

QString AppPaths::spareDirectory()
{
    QString folder = QDir::tempPath() + QStringLiteral("/jottex-") + QString::number(::getuid());
    const QByteArray name = QFile::encodeName(folder);
    constexpr mode_t kOwnerOnly = 0700;
    ::mkdir(name.constData(), kOwnerOnly);
    // A shared folder: another user's folder, or a link, under that name is never used.
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 077) != 0)
        return {};
    return folder;
}

QString AppPaths::hiveFile()
{
    return ensured(configHome() + QStringLiteral("/Jottex")) + QStringLiteral("/user.reg");
}

QString AppPaths::autostartFile()
{
    return ensured(configHome() + QStringLiteral("/autostart")) + QStringLiteral("/jottex.desktop");
}

QString AppPaths::executablePath()
{
    QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty())
        return path;
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString AppPaths::installedDataFile(const QString& name)
{
    // The build tree keeps the same layout, so a program run there finds its copy the same way.
    const QDir folder(QDir(QCoreApplication::applicationDirPath())
                          .absoluteFilePath(QStringLiteral(JOTTEX_DATA_RELATIVE_DIR)));
    const QString file = QDir::cleanPath(folder.absoluteFilePath(name));
    return QFileInfo::exists(file) ? file : QString();
}
