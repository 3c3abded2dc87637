#include "shell/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString ensured(const QString& folder)
{
    QDir().mkpath(folder);
    return folder;
}

QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
} // namespace

QString AppPaths::appDirectory()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return ensured(dataHome + QStringLiteral("/Jottex"));
}

QString AppPaths::mainDataFile()
{
    return appDirectory() + QStringLiteral("/jottex.dat");
}

QString AppPaths::logFile()
{
    return appDirectory() + QStringLiteral("/jottex.log");
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
