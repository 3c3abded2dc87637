#pragma once

#include <QByteArray>

class QTextDocument;

namespace RichText {

// The document as RTF in the style of the classic rich-edit control: font and colour tables,
// one \par per paragraph, Windows-1252 escapes and \uN? for the rest. The output is pure ASCII.
QByteArray writeRtf(const QTextDocument* document);

} // namespace RichText
