#pragma once

#include "shell/AppError.h"

#include <QString>

class QTextEdit;
class clsRSS;
class clsStockQuote;

// The text of the feed and quote notes, written from a fetch that has ended.
namespace modSpecialNote {

inline constexpr int kFeedDescriptionLength = 64;

QString NoFeedText();     // "...no feed could be loaded. Re-attempting connection in 2min."
QString QuoteErrorText(); // "error looking up symbol"

// The channel's description (its first 64 characters), then headline and link of each item;
// the caret ends at the start. A feed without items gives the failure text. Returns Count().
int WriteRSSFeed(QTextEdit* rtb, const clsRSS& feed);

// The header with the symbol in upper case, then the labelled quote lines. A field that is not
// a number ends the lines there and is returned.
Result WriteStockQuote(QTextEdit* rtb, const QString& symbol, const clsStockQuote& quote);
void WriteStockError(QTextEdit* rtb, const QString& symbol);

} // namespace modSpecialNote
