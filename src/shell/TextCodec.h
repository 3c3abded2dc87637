#pragma once

#include <QByteArray>
#include <QString>

// Note files are UTF-8; files from the older 8-bit writer are Windows-1252.
namespace TextCodec {
bool isValidUtf8(const QByteArray& bytes);
QString fromWindows1252(const QByteArray& bytes);
// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252.
QString decodeNoteText(const QByteArray& bytes);
} // namespace TextCodec
