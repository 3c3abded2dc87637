#include "special/CaretText.h"
#include "special/modSpecialNote.h"

#include <QTextCursor>

// The two routines every special note writes its text with.
namespace {
const QColor kHeaderBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);
} // namespace

using CaretText::setInsertionFormat;

// The cursor takes "\r\n" as one paragraph break.
void CaretText::insert(QTextEdit* rtb, const QString& text)
{
    QTextCursor cursor = rtb->textCursor();
    cursor.insertText(text, rtb->currentCharFormat());
    rtb->setTextCursor(cursor);
}

void modSpecialNote::WriteSpecialHeader(QTextEdit* rtb, const QString& header)
{
    rtb->clear();
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(10);
        format.setForeground(kHeaderBlue);
    });
    CaretText::insert(rtb, header);
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
        CaretText::insert(rtb, label + QStringLiteral(": "));
    }
    setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Normal);
        format.setFontPointSize(10);
    });
    CaretText::insert(rtb, value + QStringLiteral("\r\n"));
}
