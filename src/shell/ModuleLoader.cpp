#include "shell/ModuleLoader.h"

#include "shell/ErrorLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QStringList>

namespace {
// Where the modules lie: relative to the program's directory once installed; and, for programs
// and tests run in the build tree, that tree's module directory. An installed program never
// looks there, so a stray directory at the build path cannot hand it code.
QStringList moduleDirectories()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList directories{
        QDir(programDir).absoluteFilePath(QStringLiteral(JOTTEX_MODULE_RELATIVE_DIR))};
    const QString buildTree = QDir(QStringLiteral(JOTTEX_BUILD_DIR)).canonicalPath();
    if (!buildTree.isEmpty() && programDir.startsWith(buildTree + QLatin1Char('/')))
        directories.append(QStringLiteral(JOTTEX_MODULE_BUILD_DIR));
    return directories;
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
