#include "special/modSpecialNote.h"

#include <QTextCursor>
#include <QTextEdit>

// The two routines every special note writes its text with. They work at the caret with the
// insertion formatting set just before, as typing would, so a builder's later steps continue
// in the formatting the earlier ones left.
namespace {
const QColor kHeaderBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

template <typename Change> void setInsertionFormat(QTextEdit* rtb, Change change)
{
    QTextCharFormat format = rtb->currentCharFormat();
    change(format);
    rtb->setCurrentCharFormat(format);
}

// CR LF pairs become paragraph breaks: the cursor takes "\r\n" as one.
void insertAtCaret(QTextEdit* rtb, const QString& text)
{
    QTextCursor cursor = rtb->textCursor();
    cursor.insertText(text, rtb->currentCharFormat());
    rtb->setTextCursor(cursor);
}
} // namespace

void modSpecialNote::WriteSpecialHeader(QTextEdit* rtb, const QString& header)
{
    rtb->clear();
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(10);
        format.setForeground(kHeaderBlue);
    });
    insertAtCaret(rtb, header);
    setInsertionFormat(rtb, [](QTextCharFormat& format) { format.setFontWeight(QFont::Normal); });
}

void modSpecialNote::AppendLabelledLine(QTextEdit* rtb, const QString& value, const QString& label)
{
    setInsertionFormat(rtb, [](QTextCharFormat& format) { format.setForeground(kBlack); });
    if (!label.isEmpty()) {
        setInsertionFormat(rtb, [](QTextCharFormat& format) {
            format.setFontPointSize(8);
            format.setFontWeight(QFont::Bold);
        });
        insertAtCaret(rtb, label + QStringLiteral(": "));
    }
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Normal);
        format.setFontPointSize(10);
    });
    insertAtCaret(rtb, value + QStringLiteral("\r\n"));
}
