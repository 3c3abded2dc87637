#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file in the same folder, forced onto the device,
// and renames it over the old one, so a failure at any point leaves the old file as it was.
// The failure's number follows the system's reason (disk full, permission denied, path not
// found). The temporary file stays locked while its write lasts, so one whose writer was killed
// is told apart from a write in progress; after a successful write, those an earlier crash left
// beside the file are removed. A replaced file keeps its mode; a new one gets the mode any new
// file gets, under the user's umask.
namespace AtomicFile {
Result write(const QString& path, const QByteArray& bytes);
// Removes the temporary files beside path whose writer is gone.
void removeLeftovers(const QString& path);
// The same for every file of folder, a folder only this program writes in.
void removeLeftoversIn(const QString& folder);
} // namespace AtomicFile
