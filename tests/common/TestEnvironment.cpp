#include "TestEnvironment.h"

#include "dialogs/DialogSeam.h"
#include "shell/Paths.h"
#include "shell/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTranslator>

TestEnvironment::TestEnvironment()
{
    const QString base = m_root.path();
    for (const char* folder : {"data", "config", "home/Desktop", "cache", "runtime", "tmp"})
        QDir().mkpath(base + QLatin1Char('/') + QLatin1String(folder));
    qputenv("XDG_DATA_HOME", (base + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (base + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (base + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (base + QStringLiteral("/runtime")).toUtf8());
    // The spare folder for notes lives under the temporary folder: one per test program.
    qputenv("TMPDIR", (base + QStringLiteral("/tmp")).toUtf8());
    qputenv("HOME", (base + QStringLiteral("/home")).toUtf8());
    qputenv("XDG_DESKTOP_DIR", (base + QStringLiteral("/home/Desktop")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    DialogSeam::arm();
}

TestEnvironment::~TestEnvironment()
{
    DialogSeam::disarm();
}

void TestEnvironment::resetFolders()
{
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        QDir folder(qEnvironmentVariable(variable));
        folder.removeRecursively();
        QDir().mkpath(folder.path());
    }
    if (const QString spare = AppPaths::spareDirectory(); !spare.isEmpty())
        QDir(spare).removeRecursively();
    DialogSeam::arm();
}

QByteArray TestEnvironment::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestEnvironment::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QStringList TestEnvironment::logLines()
{
    const QString text = QString::fromUtf8(readFile(AppPaths::logFile()));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

GermanTexts::GermanTexts()
    : m_language(Translations::install(QLocale(QLocale::German, QLocale::Germany)))
{
}

GermanTexts::~GermanTexts()
{
    // A translator leaves the application as it is deleted.
    qDeleteAll(
        QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly));
}
