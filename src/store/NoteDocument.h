#pragma once

#include "shell/AppError.h"
#include "shell/SafeXml.h"
#include "store/NoteRecord.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// The note file format: a whole document for one note, appending to a parsed tree, and
// reading a parsed tree back into records. No logging here; modNote decides what to log.
namespace NoteDocument {

// What a note file may be before it is read: beyond these the DOM reader takes minutes or
// gigabytes, so such a file is refused before it is parsed. A note is some 16 nodes, so the
// most notes fit the nodes SafeXml allows with room to spare.
inline constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;
inline constexpr int kMaxNesting = 64;
inline constexpr int kMaxNotes = 20000;

// Which markup characters an escape replaces: all five XML entities, as whole documents are
// written; or only those a tree writer must escape in text (& < >) or in attribute values
// (& < > ").
enum class XmlEscape { AllFive, TextNode, Attribute };

// The text with those characters replaced by their entities, in one pass so nothing is
// escaped twice.
QString EscapeXml(const QString& text, XmlEscape which = XmlEscape::AllFive);

// The text with every character XML 1.0 forbids (C0 controls other than tab, CR and LF,
// U+FFFE, U+FFFF, unpaired surrogates) replaced by U+FFFD, so what is written can be read.
QString xmlSafe(const QString& text);

// The exact text of a one-note document, CR LF after every line, UTF-8.
QByteArray wholeDocument(const NoteRecord& record);
// How the notes after the first reached a file: appended together in one write, or each by
// its own append, which reads the whole file back first and so drops the line breaks around
// the notes before it and reads their line ends as LF.
enum class AppendWrites { One, EachOwn };
// One document holding all records in order, as writing the first whole and appending each
// further one as writes says gives it; no record gives a root without notes.
Expected<QByteArray> build(const NoteRecordList& records, AppendWrites writes);
// build with one write; empty bytes when the first note cannot be read back.
QByteArray noteList(const NoteRecordList& records);
// build with one write per append: the file saving the first note and appending each further
// one gives, built on one tree instead of reading the growing file once per note.
Expected<QByteArray> savedThenAppended(const NoteRecordList& records);
// A record as reading it back from a note file gives it: only its stored fields, with text of
// nothing but blanks empty and every line end LF.
NoteRecord readBack(const NoteRecord& written);

// Under parent: a line break, the element name holding text, a line break.
void AppendChildElement(QDomElement& parent, const QString& name, const QString& text);

// Adds record as the last NOTE of the root, with the line-break text nodes around it.
void appendNote(QDomDocument& document, const NoteRecord& record);

// Replaces the root's first child element with record, written as appendNote writes it, and
// keeps everything else of the document.
void replaceFirstNote(QDomDocument& document, const NoteRecord& record);

// Removes count child nodes of the root from the one at index from on: the records that
// records() gives for them.
void removeNotes(QDomDocument& document, qsizetype from, qsizetype count);

// The number of child elements of the root.
int noteCount(const QDomDocument& document);

// The tree as text: the prolog and top-level nodes each on their own line, element content
// exactly as the tree holds it (no indentation), text escaped. The text is UTF-8, and an
// encoding declaration is rewritten to say so.
QByteArray serialize(const QDomDocument& document);

// What note files may be, and what their failures call them.
const SafeXml::Rules& rules();
// Parses note file bytes through SafeXml under the note file rules.
Expected<QDomDocument> parse(const QByteArray& bytes);
Expected<QDomDocument> parseFile(const QString& path);

// One record per child node of the root, in document order, each with FileName = path.
// A number that does not convert fails the whole read.
Expected<NoteRecordList> records(const QDomDocument& document, const QString& path);

// The records of note file bytes, or of the note file at path, read straight from the text:
// what records() of the parsed document gives, without holding a tree (which costs some
// 300 bytes a node, 25 times a file of small notes).
Expected<NoteRecordList> readRecords(const QByteArray& bytes, const QString& path);
Expected<NoteRecordList> readRecordsFile(const QString& path);

// Whether a read failed on a note's number rather than on the file or its XML.
bool failedOnField(const AppError& error);

// Whole twips from a number text: blanks around it allowed, halves to the even neighbour.
Expected<qint32> toTwipsNumber(const QString& text);

} // namespace NoteDocument
