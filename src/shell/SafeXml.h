#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDomDocument>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <optional>

// Reading XML that may come from anyone: a note file someone sent, a feed off the web. A
// document the reader would spend minutes or gigabytes on, or one whose document type declares
// anything of its own, is refused by a linear survey of its markup before any reader runs, so
// nothing expands or is read from elsewhere. Failures name the document in its reader's words.
namespace SafeXml {

// Beyond these a document is refused before the reader sees it. The reader checks each new
// attribute against all before it on its element, so many on one element take it minutes; and
// its tree costs some 300 bytes a node, so a file has few enough nodes for a tree of 120 MB.
inline constexpr int kMaxAttributes = 64;
inline constexpr qint64 kMaxNodes = 400000;

// What one kind of document may be, and what its failures call it and its entries.
struct Rules {
    QLatin1StringView document; // "note file": "The note file was not read: ..."
    QLatin1StringView entries;  // what the nodes under the root are: "notes"
    qint64 maxBytes;
    int maxNesting;
    int maxEntries;
    int maxAttributes = kMaxAttributes; // on one element
    qint64 maxNodes = kMaxNodes;        // elements, attributes, texts, comments and the rest
};

// What a look at a document's markup counted, before any of it was parsed.
struct Census {
    qint64 elements = 0;
    qint64 nodes = 0; // every node a tree of it holds, attributes included
    int mostAttributes = 0;
    int deepest = 0;
    int entries = 0;                 // nodes directly under the root
    qint64 reach = 0;                // how far into the document the survey read before its verdict
    std::optional<AppError> refusal; // the first limit passed
};

// One linear pass over the markup that refuses a document at the first limit it passes, or
// with a document type that has an internal subset (which is where entities and default
// attributes multiply a small file into gigabytes; note files and feeds need none). Bytes in
// any encoding that keeps ASCII as it is; UTF-16 must be decoded first. A document that is not
// well-formed is counted as far as it goes and left to the reader, which says where.
Census survey(QByteArrayView bytes, const Rules& rules);
Census survey(QStringView text, const Rules& rules);

// "The <document> was not read: <why>", as an invalid file format.
AppError refused(const Rules& rules, const QString& why);
// "The <document> is not well-formed XML: <message> (line <line>, column <column>)".
AppError notWellFormed(const Rules& rules, const QString& message, qint64 line, qint64 column);
// refused: "it is larger than <maxBytes> MB".
AppError tooLarge(const Rules& rules);

// Document bytes as text: UTF-8 or UTF-16 after a byte order mark, else the encoding the
// XML declaration names, else UTF-8 when the bytes are valid UTF-8 and Windows-1252 when
// they are not.
Expected<QString> decode(QByteArrayView bytes, const Rules& rules);
// Bytes in the named encoding (UTF-8, ISO-8859-1, Windows-1252 and what the system knows).
Expected<QString> decodeAs(QByteArrayView bytes, const QString& encoding, const Rules& rules);

// Document bytes as text, once their survey passed: what parse() builds its tree from, for
// readers that need no tree.
Expected<QString> surveyedText(const QByteArray& bytes, const Rules& rules);
// The same for the regular file at path.
Expected<QString> surveyedFileText(const QString& path, const Rules& rules);

// Parses document bytes, dropping whitespace-only text between elements. Documents the survey
// refuses, or with a processing instruction that could not be written back, fail without a
// DOM parse.
Expected<QDomDocument> parse(const QByteArray& bytes, const Rules& rules);
// The same for text already decoded; an encoding declaration in it is not looked at.
Expected<QDomDocument> parseText(const QString& text, const Rules& rules);
// The document in the regular file at path, surveyed before it is read into memory, so a
// huge hostile file is refused without being held. Files of other kinds (a FIFO, a device)
// are refused unopened.
Expected<QDomDocument> parseFile(const QString& path, const Rules& rules);
// The bytes of the regular file at path after the survey passed them; parseFile's first half.
Expected<QByteArray> readSurveyed(const QString& path, const Rules& rules);

// Whether text is an XML name, as a processing instruction's target must be to be written
// back and read again.
bool isXmlName(QStringView text);

} // namespace SafeXml
