#include "special/CaretText.h"
#include "special/modSpecialNote.h"

#include <QTextCursor>
#include <QTextEdit>

// The two routines every special note writes its text with. They work at the caret with the
// insertion formatting set just before, as typing would, so a builder's later steps continue
// in the formatting the earlier ones left.
namespace {
const QColor kHeaderBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

} // namespace

using CaretText::setInsertionFormat;

void modSpecialNote::SetInsertionColor(QTextEdit* rtb, const QColor& color)
{
    setInsertionFormat(rtb, [&color](QTextCharFormat& format) { format.setForeground(color); });
}

void modSpecialNote::SetBodyInsertion(QTextEdit* rtb)
{
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Normal);
        format.setFontPointSize(10);
        format.setForeground(kBlack);
    });
}

// The cursor takes "\r\n" as one paragraph break.
void modSpecialNote::InsertAtCaret(QTextEdit* rtb, const QString& text)
{
    QTextCursor cursor = rtb->textCursor();
    cursor.insertText(text, rtb->currentCharFormat());
    rtb->setTextCursor(cursor);
}

void modSpecialNote::MoveCaretToEnd(QTextEdit* rtb)
{
    const QTextCharFormat insertion = rtb->currentCharFormat();
    QTextCursor cursor = rtb->textCursor();
    cursor.movePosition(QTextCursor::End);
    rtb->setTextCursor(cursor);
    // Moving the caret would take the formatting found at the end; the insertion keeps its own.
    rtb->setCurrentCharFormat(insertion);
}

void modSpecialNote::WriteSpecialHeader(QTextEdit* rtb, const QString& header)
{
    rtb->clear();
    // Each drawing starts from the note's default format, whatever the note showed before.
    rtb->setCurrentCharFormat(QTextCharFormat());
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(10);
        format.setForeground(kHeaderBlue);
    });
    InsertAtCaret(rtb, header);
    setInsertionFormat(rtb, [](QTextCharFormat& format) { format.setFontWeight(QFont::Normal); });
}

void modSpecialNote::AppendLabelledLine(QTextEdit* rtb, const QString& value, const QString& label)
{
    SetInsertionColor(rtb, kBlack);
    if (!label.isEmpty()) {
        setInsertionFormat(rtb, [](QTextCharFormat& format) {
            format.setFontPointSize(8);
            format.setFontWeight(QFont::Bold);
        });
        InsertAtCaret(rtb, label + QStringLiteral(": "));
    }
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Normal);
        format.setFontPointSize(10);
    });
    InsertAtCaret(rtb, value + QStringLiteral("\r\n"));
}
