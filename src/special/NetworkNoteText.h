#pragma once

#include "shell/AppError.h"

#include <QString>
#include <atomic>
#include <memory>

class QTextDocument;
class QTextEdit;
class clsRSS;
class clsStockQuote;
struct RSSChannel;

// The text of the feed and quote notes, written from a fetch that has ended.
namespace modSpecialNote {

inline constexpr int kFeedDescriptionLength = 64;
// The items a feed note shows at most. Putting more in place at once holds up the interface
// beyond 50 ms, whatever the live area's own limits allow (bench_stall); no reader needs
// more headlines than this in a note.
inline constexpr int kFeedMaxItems = 500;

QString NoFeedText();     // "...no feed could be loaded. Re-attempting connection in 2min."
QString QuoteErrorText(); // "error looking up symbol"

// The channel's description (its first 64 characters), then headline and link of each item;
// the caret ends at the start. A feed without items gives the failure text. Returns Count().
int WriteRSSFeed(QTextEdit* rtb, const clsRSS& feed);
// The same text, built apart from any text area, on any thread. It holds kFeedMaxItems items
// at most, and no more than the live area can take (LiveText), and then a line that says how
// many of them; long words are broken. The build stops early, leaving a part, once abandoned
// is set.
std::unique_ptr<QTextDocument> RSSFeedText(const RSSChannel& feed,
                                           const std::atomic<bool>* abandoned = nullptr);

// The header with the symbol in upper case, then the labelled quote lines. A field that is not
// a number ends the lines there and is returned.
Result WriteStockQuote(QTextEdit* rtb, const QString& symbol, const clsStockQuote& quote);
void WriteStockError(QTextEdit* rtb, const QString& symbol);

} // namespace modSpecialNote
