#include "LiveText.h"

#include <QLocale>
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
} // namespace

Size operator+(Size a, Size b)
{
    return {a.paragraphs + b.paragraphs, a.characters + b.characters};
}

Size operator-(Size a, Size b)
{
    return {a.paragraphs - b.paragraphs, a.characters - b.characters};
}

Size sizeOf(const QTextDocument* document)
{
    if (!document)
        return {};
    const qsizetype paragraphs = document->blockCount();
    // characterCount() counts each paragraph's end, the last one included.
    return {paragraphs, document->characterCount() - paragraphs};
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
    return size;
}

bool fits(Size size)
{
    return size.paragraphs <= kMaxParagraphs && size.characters <= kMaxCharacters;
}

QString limitText()
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("%1 lines and %2 characters")
        .arg(english.toString(kMaxParagraphs), english.toString(kMaxCharacters));
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

void replaceText(QTextEdit* edit, const QTextDocument& built)
{
    if (!edit)
        return;
    QTextCursor cursor(edit->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.insertFragment(QTextDocumentFragment(&built));
    cursor.endEditBlock();
    edit->moveCursor(QTextCursor::Start);
}

} // namespace LiveText
