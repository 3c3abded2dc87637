#pragma once

#include <QString>

// Where this program keeps its files. Folders are created on first use.
namespace AppPaths {
// $XDG_DATA_HOME/Jottex: the main data file, the log, the dictionaries. Created for its owner
// alone (0700), as is any folder above it that is missing.
QString appDirectory();
QString mainDataFile();
QString logFile();
// $TMPDIR/jottex-<uid>: where notes go while the data folder refuses them, often on another
// device. This user's alone (mode 0700), created on first use; empty when it cannot be had.
QString spareDirectory();
// $XDG_CONFIG_HOME/Jottex/user.reg: the per-user settings hive.
QString hiveFile();
// $XDG_CONFIG_HOME/autostart/jottex.desktop: the entry that starts the program at login.
QString autostartFile();
// A file that comes with the program (the about page, translations), under <datadir>/jottex
// found from the program's own folder, so a package, a ~/.local install and the build tree all
// work; empty when it is missing.
QString installedDataFile(const QString& name);
// Absolute path of the running executable.
QString executablePath();
} // namespace AppPaths
