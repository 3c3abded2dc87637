#pragma once

#include "shell/AppError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDomDocument>
#include <QLatin1StringView>
#include <QString>

// Reading XML that may come from anyone: a note file someone sent, a feed off the web. A
// document the DOM reader would spend minutes or gigabytes on, or one whose document type
// declares entities, is refused by a streaming pass before any tree is built, so nothing
// expands or is read from elsewhere. Failures name the document in its reader's words.
namespace SafeXml {

// What one kind of document may be, and what its failures call it and its entries.
struct Rules {
    QLatin1StringView document; // "note file": "The note file was not read: ..."
    QLatin1StringView entries;  // what the elements under the root are: "notes"
    qint64 maxBytes;
    int maxNesting;
    int maxEntries;
};

// "The <document> was not read: <why>", as an invalid file format.
AppError refused(const Rules& rules, const QString& why);
// refused: "it is larger than <maxBytes> MB".
AppError tooLarge(const Rules& rules);

// Document bytes as text: UTF-8 or UTF-16 after a byte order mark, else the encoding the
// XML declaration names, else UTF-8 when the bytes are valid UTF-8 and Windows-1252 when
// they are not.
Expected<QString> decode(QByteArrayView bytes, const Rules& rules);
// Bytes in the named encoding (UTF-8, ISO-8859-1, Windows-1252 and what the system knows).
Expected<QString> decodeAs(QByteArrayView bytes, const QString& encoding, const Rules& rules);

// Parses document bytes, dropping whitespace-only text between elements. Documents beyond
// the rules' limits, or with a document type that declares entities, fail without a DOM parse.
Expected<QDomDocument> parse(const QByteArray& bytes, const Rules& rules);
// The same for text already decoded; an encoding declaration in it is not looked at.
Expected<QDomDocument> parseText(const QString& text, const Rules& rules);

} // namespace SafeXml
