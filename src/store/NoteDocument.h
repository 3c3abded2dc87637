#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// The note file format: a whole document for one note, appending to a parsed tree, and
// reading a parsed tree back into records. No logging here; modNote decides what to log.
namespace NoteDocument {

// Which markup characters an escape replaces: all five XML entities, as whole documents are
// written; or only those a tree writer must escape in text (& < >) or in attribute values
// (& < > ").
enum class XmlEscape { AllFive, TextNode, Attribute };

// The text with those characters replaced by their entities, in one pass so nothing is
// escaped twice.
QString EscapeXml(const QString& text, XmlEscape which = XmlEscape::AllFive);

// The exact text of a one-note document, CR LF after every line, UTF-8.
QByteArray wholeDocument(const NoteRecord& record);

// Under parent: a line break, the element name holding text, a line break.
void AppendChildElement(QDomElement& parent, const QString& name, const QString& text);

// Adds record as the last NOTE of the root, with the line-break text nodes around it.
void appendNote(QDomDocument& document, const NoteRecord& record);

// The tree as text: the prolog and top-level nodes each on their own line, element content
// exactly as the tree holds it (no indentation), text escaped.
QByteArray serialize(const QDomDocument& document);

// Parses note file bytes (UTF-8, or Windows-1252 from the older writer), dropping
// whitespace-only text between elements.
Expected<QDomDocument> parse(const QByteArray& bytes);
Expected<QDomDocument> parseFile(const QString& path);

// One record per child node of the root, in document order, each with FileName = path.
// A number that does not convert fails the whole read.
Expected<NoteRecordList> records(const QDomDocument& document, const QString& path);

// Whole twips from a number text: blanks around it allowed, halves to the even neighbour.
Expected<qint32> toTwipsNumber(const QString& text);

} // namespace NoteDocument
