#include "window/SelectionFormat.h"

#include "richtext/RtfUnits.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <functional>

namespace {
// The paragraph's left indent: Qt keeps it in points, and shows a negative one as none.
int leftIndentTwips(const QTextBlockFormat& format)
{
    return RichText::pointsToTwips(format.leftMargin());
}

void setLeftIndentTwips(QTextBlockFormat& format, int twips)
{
    format.setLeftMargin(RichText::twipsToPoints(twips));
}

Qt::Alignment qtAlignment(SelectionFormat::Alignment alignment)
{
    switch (alignment) {
    case SelectionFormat::Alignment::Right:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case SelectionFormat::Alignment::Center:
        return Qt::AlignHCenter;
    case SelectionFormat::Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignAbsolute;
}

void addBullet(QTextCursor& cursor, QTextList*& bullets)
{
    const QTextBlock block = cursor.block();
    QTextList* list = block.textList();
    if (list && list->format().style() == QTextListFormat::ListDisc) {
        bullets = list;
        return;
    }
    if (list)
        list->remove(block);
    if (bullets)
        bullets->add(block);
    else
        bullets = cursor.createList(QTextListFormat::ListDisc);
}

void removeBullet(QTextCursor& cursor)
{
    const QTextBlock block = cursor.block();
    QTextList* list = block.textList();
    if (!list)
        return;
    list->remove(block);
    // Qt keeps the list's indentation on the freed paragraph; the indent is ours to set.
    QTextBlockFormat format = cursor.blockFormat();
    format.setIndent(0);
    cursor.setBlockFormat(format);
}

// Runs the change on every paragraph the selection touches, as one undo step.
void forEachSelectedBlock(QTextEdit* edit, const std::function<void(QTextCursor&)>& change)
{
    const QTextCursor selection = edit->textCursor();
    QTextDocument* document = edit->document();
    const QTextBlock last = document->findBlock(selection.selectionEnd());
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->findBlock(selection.selectionStart()); block.isValid();
         block = block.next()) {
        cursor.setPosition(block.position());
        change(cursor);
        if (block == last)
            break;
    }
    cursor.endEditBlock();
}
} // namespace

void SelectionFormat::merge(QTextEdit* edit, const QTextCharFormat& format)
{
    edit->mergeCurrentCharFormat(format);
}

void SelectionFormat::setBold(QTextEdit* edit, bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    merge(edit, format);
}

void SelectionFormat::setItalic(QTextEdit* edit, bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    merge(edit, format);
}

void SelectionFormat::setUnderline(QTextEdit* edit, bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    merge(edit, format);
}

void SelectionFormat::setStrikeOut(QTextEdit* edit, bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    merge(edit, format);
}

void SelectionFormat::setPointSize(QTextEdit* edit, int points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    merge(edit, format);
}

void SelectionFormat::setColor(QTextEdit* edit, const QColor& color)
{
    QTextCharFormat format;
    format.setForeground(color);
    merge(edit, format);
}

void SelectionFormat::setAlignment(QTextEdit* edit, Alignment alignment)
{
    QTextBlockFormat format;
    format.setAlignment(qtAlignment(alignment));
    forEachSelectedBlock(edit, [&format](QTextCursor& cursor) { cursor.mergeBlockFormat(format); });
}

void SelectionFormat::setBullet(QTextEdit* edit, bool on)
{
    QTextList* bullets = nullptr; // neighbouring paragraphs made bullets together share it
    forEachSelectedBlock(edit, [on, &bullets](QTextCursor& cursor) {
        if (on)
            addBullet(cursor, bullets);
        else
            removeBullet(cursor);
    });
}

void SelectionFormat::setIndent(QTextEdit* edit, int twips)
{
    forEachSelectedBlock(edit, [twips](QTextCursor& cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        setLeftIndentTwips(format, twips);
        cursor.setBlockFormat(format);
    });
}

void SelectionFormat::addIndent(QTextEdit* edit, int deltaTwips)
{
    forEachSelectedBlock(edit, [deltaTwips](QTextCursor& cursor) {
        QTextBlockFormat format = cursor.blockFormat();
        setLeftIndentTwips(format, leftIndentTwips(format) + deltaTwips);
        cursor.setBlockFormat(format);
    });
}
