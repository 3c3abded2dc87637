#include "store/NoteSearch.h"

#include "richtext/RichText.h"
#include "store/NoteDocument.h"

namespace {
constexpr QChar kEllipsis = u'\u2026';

bool isMark(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

// The length of the character (one or two UTF-16 units) at i.
qsizetype unitLength(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

// Appends what one character of text becomes when searched, and for each character appended
// the place it came from. Upper case first, then folded: that takes "ß" to "ss" as well.
void appendFolded(QStringView character, qsizetype origin, QString& out, QList<qsizetype>& from)
{
    const char16_t first = character[0].unicode();
    if (first < 0x80) {
        const bool upper = first >= u'A' && first <= u'Z';
        const bool blank = first == u'\r' || first == u'\n' || first == u'\t';
        out += blank ? u' ' : QChar(upper ? char16_t(first + (u'a' - u'A')) : first);
        from << origin;
        return;
    }
    if (character.size() == 1 && character[0].isSpace()) {
        out += u' ';
        from << origin;
        return;
    }
    const QString decomposed = character.toString().normalized(QString::NormalizationForm_KD);
    for (qsizetype i = 0; i < decomposed.size();) {
        const qsizetype length = unitLength(decomposed, i);
        const QStringView part = QStringView(decomposed).sliced(i, length);
        i += length;
        if (isMark(part.toUcs4().value(0)))
            continue;
        const QString folded = part.toString().toUpper().toCaseFolded();
        out += folded;
        for (qsizetype k = 0; k < folded.size(); ++k)
            from << origin;
    }
}

// Runs of blanks and line ends as one blank, the ends kept.
QString collapsed(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool inBlank = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank || !inBlank)
            out += blank ? QChar(u' ') : c;
        inBlank = blank;
    }
    return out;
}

// The words ahead of start, at most kContextChars, beginning with a whole word.
QString contextBefore(QStringView plain, qsizetype start)
{
    qsizetype from = std::max<qsizetype>(0, start - NoteSearch::kContextChars);
    const bool cut = from > 0 && !plain[from - 1].isSpace();
    if (cut) {
        while (from < start && !plain[from].isSpace())
            ++from;
    }
    QString text = collapsed(plain.sliced(from, start - from));
    while (!text.isEmpty() && text.front().isSpace())
        text.remove(0, 1);
    return from > 0 ? kEllipsis + text : text;
}

// The words behind end, at most kContextChars, ending with a whole word.
QString contextAfter(QStringView plain, qsizetype end)
{
    qsizetype to = std::min<qsizetype>(plain.size(), end + NoteSearch::kContextChars);
    const bool cut = to < plain.size() && !plain[to].isSpace();
    if (cut) {
        while (to > end && !plain[to - 1].isSpace())
            --to;
    }
    QString text = collapsed(plain.sliced(end, to - end));
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return to < plain.size() ? text + kEllipsis : text;
}
} // namespace

SearchableText::SearchableText(const QString& plain) : m_plain(plain)
{
    m_folded.reserve(plain.size());
    m_origin.reserve(plain.size());
    for (qsizetype i = 0; i < plain.size();) {
        const qsizetype length = unitLength(plain, i);
        appendFolded(QStringView(plain).sliced(i, length), i, m_folded, m_origin);
        i += length;
    }
}

QString SearchableText::folded(QStringView text)
{
    QString out;
    QList<qsizetype> from;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = unitLength(text, i);
        appendFolded(text.sliced(i, length), i, out, from);
        i += length;
    }
    return out;
}

std::optional<SearchableText::Span> SearchableText::find(QStringView foldedQuery) const
{
    if (foldedQuery.isEmpty())
        return std::nullopt;
    const qsizetype at = QStringView(m_folded).indexOf(foldedQuery);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = m_origin[at];
    const qsizetype last = m_origin[at + foldedQuery.size() - 1];
    qsizetype end = last + unitLength(m_plain, last);
    // Accents written as marks after their letter belong to the match.
    while (end < m_plain.size() && isMark(m_plain[end].unicode()))
        ++end;
    return Span{start, end};
}

qsizetype SearchableText::count(QStringView foldedQuery) const
{
    return foldedQuery.isEmpty() ? 0 : QStringView(m_folded).count(foldedQuery);
}

QList<SearchMatch> NoteSearch::search(const QList<SearchableNote>& notes, const QString& query)
{
    const QString folded = SearchableText::folded(query.simplified());
    QList<SearchMatch> matches;
    if (folded.isEmpty())
        return matches;
    for (const SearchableNote& note : notes) {
        const std::optional<SearchableText::Span> span = note.text.find(folded);
        if (!span)
            continue;
        const QStringView plain = note.text.plain();
        matches << SearchMatch{firstLine(note.text.plain()),
                               contextBefore(plain, span->start),
                               collapsed(plain.sliced(span->start, span->end - span->start)),
                               contextAfter(plain, span->end),
                               note.text.count(folded),
                               note.color,
                               note.place};
    }
    return matches;
}

QString NoteSearch::firstLine(const QString& plain)
{
    for (QStringView line : QStringView(plain).split(u'\n')) {
        const QString text = line.toString().simplified();
        if (text.isEmpty())
            continue;
        return text.size() > kFirstLineChars ? text.first(kFirstLineChars - 1) + kEllipsis : text;
    }
    return {};
}

QList<SearchableNote> NoteSearch::readFile(const QString& path)
{
    QList<SearchableNote> notes;
    const Expected<NoteRecordList> records = NoteDocument::readRecordsFile(path);
    if (records.failed())
        return notes;
    for (qsizetype i = 0; i < records.value().size(); ++i) {
        const NoteRecord& record = records.value().at(i);
        notes << SearchableNote{SearchableText(RichText::toPlainText(record.Data)), record.Color,
                                NotePlace{nullptr, path, i, record}};
    }
    return notes;
}
