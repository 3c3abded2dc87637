#include "LiveText.h"

#include "Pictures.h"
#include "RichText.h"
#include "RtfReader.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <algorithm>

namespace LiveText {

namespace {
bool isBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

// Where the paragraph break that starts at position ends: CR LF is one break.
qsizetype breakEnd(QStringView text, qsizetype position)
{
    if (text[position] == QLatin1Char('\r') && position + 1 < text.size() &&
        text[position + 1] == QLatin1Char('\n'))
        return position + 2;
    return position + 1;
}
// Each run between two places where a line may break, from the end of the previous one.
template <typename Visit> void forEachRun(QStringView text, Visit visit)
{
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype end = lines.toNextBoundary(); end > 0; end = lines.toNextBoundary()) {
        visit(start, end);
        start = end;
    }
}

qsizetype longestRun(QStringView text)
{
    qsizetype longest = 0;
    forEachRun(text, [&longest](qsizetype start, qsizetype end) {
        longest = std::max(longest, end - start);
    });
    return longest;
}

bool withinCounts(Size size)
{
    return size.paragraphs <= kMaxParagraphs && size.characters <= kMaxCharacters;
}
} // namespace

Size operator+(Size a, Size b)
{
    return {a.paragraphs + b.paragraphs, a.characters + b.characters,
            std::max(a.longestWord, b.longestWord)};
}

Size operator-(Size a, Size b)
{
    return {a.paragraphs - b.paragraphs, a.characters - b.characters, a.longestWord};
}

Size countsOf(const QTextDocument* document)
{
    if (!document)
        return {};
    const qsizetype paragraphs = document->blockCount();
    // characterCount() counts each paragraph's end, the last one included.
    return {paragraphs, document->characterCount() - paragraphs};
}

Size sizeOf(const QTextDocument* document)
{
    Size size = countsOf(document);
    if (!document || !withinCounts(size))
        return size;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        size.longestWord = std::max(size.longestWord, longestRun(block.text()));
    return size;
}

Size sizeOf(QStringView text)
{
    Size size{1, 0};
    for (qsizetype position = 0; position < text.size();) {
        if (isBreak(text[position])) {
            ++size.paragraphs;
            position = breakEnd(text, position);
        } else {
            ++size.characters;
            ++position;
        }
    }
    // Paragraph breaks are places to break lines as well, so one pass over the whole text.
    if (withinCounts(size))
        size.longestWord = longestRun(text);
    return size;
}

bool fits(Size size)
{
    return withinCounts(size) && size.longestWord <= kMaxWord;
}

QString limitText()
{
    return QCoreApplication::translate("LiveText",
                                       "%L1 lines, %L2 characters and words of %L3 characters")
        .arg(kMaxParagraphs)
        .arg(kMaxCharacters)
        .arg(kMaxWord);
}

QString breakLongWords(const QString& text)
{
    if (longestRun(text) <= kMaxWord)
        return text;
    QString broken;
    broken.reserve(text.size() + text.size() / kMaxWord);
    forEachRun(text, [&](qsizetype start, qsizetype end) {
        for (qsizetype from = start; from < end; from += kMaxWord) {
            if (from > start)
                broken += QLatin1Char('\n');
            broken += QStringView(text).sliced(from, std::min(kMaxWord, end - from));
        }
    });
    return broken;
}

QStringView part(QStringView text, Size budget, Keep keep)
{
    // Walks from the kept end and stops where the next character would overrun the budget;
    // a cut inside a paragraph moves back to its edge when a whole paragraph is kept already.
    const qsizetype count = text.size();
    qsizetype paragraphs = 1;
    qsizetype characters = 0;
    qsizetype lastEdge = -1; // characters kept up to the last paragraph edge passed
    qsizetype kept = 0;
    while (kept < count) {
        const qsizetype at = keep == Keep::Start ? kept : count - 1 - kept;
        const QChar c = text[at];
        if (isBreak(c)) {
            if (paragraphs + 1 > budget.paragraphs)
                break;
            ++paragraphs;
            lastEdge = kept;
            kept += (c == QLatin1Char('\n') && keep == Keep::End && at > 0 &&
                     text[at - 1] == QLatin1Char('\r')) ||
                            (c == QLatin1Char('\r') && keep == Keep::Start && at + 1 < count &&
                             text[at + 1] == QLatin1Char('\n'))
                        ? 2
                        : 1;
            continue;
        }
        if (characters + 1 > budget.characters)
            break;
        ++characters;
        ++kept;
    }
    if (kept < count && lastEdge >= 0)
        kept = lastEdge;
    return keep == Keep::Start ? text.first(kept) : text.last(kept);
}

std::optional<QString> startIfTooLong(const QString& rtf, Size budget)
{
    // No text this short can break any of the limits: each character reads as one at most.
    if (rtf.size() <= kMaxWord)
        return std::nullopt;
    QTextDocument built;
    RichText::readRtf(rtf, &built, kMaxParagraphs);
    if (fits(sizeOf(&built)))
        return std::nullopt;
    // Each word broken below adds a paragraph.
    budget.paragraphs -= budget.characters / kMaxWord + 1;
    return breakLongWords(part(RichText::plainText(&built), budget, Keep::Start).toString());
}

void replaceText(QTextEdit* edit, const QTextDocument& built)
{
    if (!edit)
        return;
    // Marks on the old text (the links shown) go with it: each would be moved at every
    // paragraph removed, a cost that grows with their number times the text's length.
    edit->setExtraSelections({});
    // A fragment carries the names of its pictures, not the pictures.
    RichText::copyPictures(built, edit->document());
    QTextCursor cursor(edit->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.insertFragment(QTextDocumentFragment(&built));
    cursor.endEditBlock();
    edit->moveCursor(QTextCursor::Start);
}

} // namespace LiveText
