#pragma once

#include "store/NoteRecord.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

// A note's plain text made ready for searching once: decomposed, without accents, case folded,
// with the way back from each folded character to the text it came from. "cafe" finds "Café",
// "strasse" finds "Straße".
class SearchableText {
public:
    SearchableText() = default;
    explicit SearchableText(const QString& plain);

    // A stretch of the plain text.
    struct Span {
        qsizetype start = 0;
        qsizetype end = 0;
    };

    const QString& plain() const { return m_plain; }
    // The first place of the plain text that a folded query matches.
    std::optional<Span> find(QStringView foldedQuery) const;
    qsizetype count(QStringView foldedQuery) const;

    // Text as it is searched: a query goes through this once, then find() and count() take it.
    static QString folded(QStringView text);

private:
    QString m_plain;
    QString m_folded;
    QList<qsizetype> m_origin; // where in m_plain each character of m_folded comes from
};

// Where a note lives: an open note window, or a note of a note file that is not open there.
struct NotePlace {
    QPointer<QWidget> window;
    QString file;
    qsizetype index = -1; // of the note in its file
    NoteRecord record;    // the file's note as read, to open it from
};

struct SearchableNote {
    SearchableText text;
    QString color; // as stored: a name or a decimal value
    NotePlace place;
};

// One note that matches: what a row of the results shows, and where to go.
struct SearchMatch {
    QString firstLine;
    QString before; // the words ahead of the match, "…" first when cut
    QString matched;
    QString after;       // the words behind it, "…" last when cut
    qsizetype count = 0; // how often the note holds the query
    QString color;
    NotePlace place;
};

namespace NoteSearch {
inline constexpr int kContextChars = 40; // at most, on either side of a match
inline constexpr int kFirstLineChars = 60;

// Every note holding the query, in the order given, each shown at its first match. No match
// for a query of blanks only.
QList<SearchMatch> search(const QList<SearchableNote>& notes, const QString& query);
// The first line of a text that is not blank, trimmed and shortened.
QString firstLine(const QString& plain);
// The notes of a note file, made searchable. Reads the file and its rich text, so it may run
// on a pooled thread; a file that cannot be read gives none.
QList<SearchableNote> readFile(const QString& path);
} // namespace NoteSearch
