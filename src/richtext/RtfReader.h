#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace RichText {

// Replaces the content of `into` with the text and formatting of `rtf`. Input that does not
// start with "{\rtf" is taken as plain text (UTF-8, or Windows-1252 when it is not valid
// UTF-8). Never fails: whatever cannot be understood is skipped and the readable text is kept.
void readRtf(const QByteArray& rtf, QTextDocument* into);
// The same, but the reading stops soon after the document has more than maxParagraphs
// paragraphs: enough to tell that it holds more, without the cost of building the rest.
void readRtf(const QByteArray& rtf, QTextDocument* into, qsizetype maxParagraphs);
// The same for RTF held as text, as a note file's DATA is: a character above 0x7F that stands
// outside an escape is taken as itself, not as a byte of the document's code page.
void readRtf(const QString& rtf, QTextDocument* into);
// The same, stopping soon after maxParagraphs paragraphs.
void readRtf(const QString& rtf, QTextDocument* into, qsizetype maxParagraphs);

// Whether the bytes are RTF: "{\rtf" after at most a UTF-8 byte order mark, NULs and white space.
bool isRtf(QByteArrayView bytes);

} // namespace RichText
