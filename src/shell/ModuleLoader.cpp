#include "shell/ModuleLoader.h"

#include "shell/ErrorLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QStringList>

namespace {
// Where the modules lie: relative to the program's directory, installed or in the build tree
// (laid out alike), and nowhere else, so no other directory can hand the program code.
QStringList moduleDirectories()
{
    return {QDir(QCoreApplication::applicationDirPath())
                .absoluteFilePath(QStringLiteral(JOTTEX_MODULE_RELATIVE_DIR))};
}

// The loaded module, or nullptr after logging why none of the places gave it. Modules stay
// loaded for the rest of the run: objects they made may live until the end.
QLibrary* load(const QString& module)
{
    QStringList failures;
    for (const QString& directory : moduleDirectories()) {
        const QString file = QDir(directory).absoluteFilePath(module + QLatin1String(".so"));
        if (!QFileInfo::exists(file)) {
            failures.append(QStringLiteral("%1 not found").arg(file));
            continue;
        }
        auto* library = new QLibrary(file);
        if (library->load())
            return library;
        failures.append(library->errorString());
        delete library;
    }
    modMain::WriteLogEntry(QStringLiteral("ModuleLoader: load"), QStringLiteral("0"),
                           QStringLiteral("The module %1 cannot be loaded: %2")
                               .arg(module, failures.join(QStringLiteral("; "))));
    return nullptr;
}
} // namespace

QFunctionPointer ModuleLoader::resolve(const char* module, const char* function)
{
    // Tried once per module, so a missing one costs one log line and no further lookups. Never
    // freed, as the modules are never unloaded.
    static auto* const loaded = new QHash<QString, QLibrary*>;
    const QString name = QString::fromLatin1(module);
    auto found = loaded->constFind(name);
    if (found == loaded->constEnd())
        found = loaded->insert(name, load(name));
    return *found ? (*found)->resolve(function) : nullptr;
}
