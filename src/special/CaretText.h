#pragma once

#include <QString>
#include <QTextCharFormat>
#include <QTextEdit>

// Special notes write their text as typing would: at the caret, in the insertion formatting
// set just before, so each step continues in the formatting the earlier ones left.
namespace CaretText {

template <typename Change> void setInsertionFormat(QTextEdit* rtb, Change change)
{
    QTextCharFormat format = rtb->currentCharFormat();
    change(format);
    rtb->setCurrentCharFormat(format);
}

} // namespace CaretText
