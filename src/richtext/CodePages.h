#pragma once

#include <QByteArrayView>
#include <QString>

namespace RichText {

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252: text files and notes from the
// older 8-bit writers carry no encoding mark, and read this way.
QString decodeUtf8OrWindows1252(QByteArrayView bytes);
// Windows-1252 bytes as text, for files that declare that encoding.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace RichText
