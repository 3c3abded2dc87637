#include "shell/modFileFunctions.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
