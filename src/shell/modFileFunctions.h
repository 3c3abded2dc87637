#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QString>

// Path helpers of the note store. Paths use the platform's separator, "/".
namespace modFileFunctions {
// The user's desktop folder, without a trailing separator.
QString GetDesktopPath();
// The part after the last separator (the whole text when there is none).
QString GetFileName(const QString& path);
// The path without its last component; the root keeps its separator ("/a.not" gives "/").
QString GetFolder(const QString& path);
// True for an existing file that is not a directory; false on any failure.
bool FileExists(const QString& path);
// The path with one separator appended unless it already ends with one.
QString AddBackslash(const QString& path);
// The text up to its first NUL character.
QString TrimNull(const QString& text);
// The bytes of a regular file the user named, at most maxBytes of them. Anything else (a
// FIFO, a device, a socket) is refused before a read could wait for ever; a file larger than
// maxBytes fails with Overflow.
Expected<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes);
} // namespace modFileFunctions
