#pragma once

#include <QByteArray>

class QTextDocument;

namespace RichText {

// Replaces the content of `into` with the text and formatting of `rtf`. Input that does not
// start with "{\rtf" is taken as plain text (UTF-8, or Windows-1252 when it is not valid
// UTF-8). Never fails: whatever cannot be understood is skipped and the readable text is kept.
void readRtf(const QByteArray& rtf, QTextDocument* into);

} // namespace RichText
