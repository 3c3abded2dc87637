#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;
class QTextEdit;

namespace RichText {

// The plain text of RTF as the classic rich-edit control reports it: paragraphs joined by
// CR LF, list markers left out.
QString toPlainText(const QByteArray& rtf);
// From RTF held as text (a note's Data): characters above 0x7F are taken as themselves.
QString toPlainText(const QString& rtf);
// The same for a document already read.
QString plainText(const QTextDocument* document);
QString toHtml(const QByteArray& rtf);
QString toHtml(const QString& rtf);

// The note text area's rich text, read and written whole. Setting it replaces content and
// formatting and starts a new undo history.
void setTextRTF(QTextEdit* edit, const QByteArray& rtf);
// For a note's Data: characters above 0x7F are taken as themselves, as a file written by
// another program may hold them.
void setTextRTF(QTextEdit* edit, const QString& rtf);
QByteArray textRTF(const QTextEdit* edit);

// Maps the fonts that notes name to installed look-alikes; the stored names stay.
void installFontSubstitutes();

} // namespace RichText
