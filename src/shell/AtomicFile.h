#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QString>

// Writes a whole file through a temporary file in the same folder and renames it over the
// old one, so a failure at any point leaves the old file as it was.
namespace AtomicFile {
Failure write(const QString& path, const QByteArray& bytes);
} // namespace AtomicFile
