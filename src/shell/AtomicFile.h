#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file in the same folder, forced onto the device,
// and renames it over the old one, so a failure at any point leaves the old file as it was.
// The failure's number follows the system's reason (disk full, permission denied, path not
// found). After a successful write, temporary files that an earlier crash left beside the file
// are removed.
namespace AtomicFile {
Result write(const QString& path, const QByteArray& bytes);
} // namespace AtomicFile
