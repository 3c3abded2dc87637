#include "special/NetworkNoteText.h"

#include "shell/LocaleFormat.h"
#include "special/CaretText.h"
#include "special/clsRSS.h"
#include "special/clsStockQuote.h"
#include "special/modSpecialNote.h"

#include <QTextEdit>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

constexpr qreal kFailurePoints = 8;
constexpr qreal kDescriptionPoints = 12;
constexpr qreal kHeadlinePoints = 9;
constexpr qreal kLinkPoints = 7;

void writeNoFeed(QTextEdit* rtb)
{
    rtb->clear();
    CaretText::setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontPointSize(kFailurePoints);
        format.setFontWeight(QFont::Normal);
        format.setFontItalic(true);
    });
    modSpecialNote::InsertAtCaret(rtb, modSpecialNote::NoFeedText());
}

void writeItem(QTextEdit* rtb, const clsRSSItem& item)
{
    modSpecialNote::MoveCaretToEnd(rtb);
    CaretText::setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Bold);
        format.setFontItalic(false);
        format.setFontPointSize(kHeadlinePoints);
        format.setForeground(QColor(0, 0, 255));
    });
    modSpecialNote::InsertAtCaret(rtb, item.HeadLine + kCrLf);
    CaretText::setInsertionFormat(rtb, [](QTextCharFormat& format) {
        format.setFontWeight(QFont::Normal);
        format.setFontItalic(true);
        format.setFontPointSize(kLinkPoints);
        format.setForeground(QColor(0, 0, 0));
    });
    modSpecialNote::InsertAtCaret(rtb, item.ArticleLink + kCrLf + kCrLf);
}

void writeHeader(QTextEdit* rtb, const QString& symbol)
{
    modSpecialNote::WriteSpecialHeader(rtb,
                                       QStringLiteral("Stock Symbol: ") + symbol.toUpper() + kCrLf);
}
} // namespace

QString modSpecialNote::NoFeedText()
{
    return QStringLiteral("...no feed could be loaded. Re-attempting connection in 2min.");
}

QString modSpecialNote::QuoteErrorText()
{
    return QStringLiteral("error looking up symbol");
}

int modSpecialNote::WriteRSSFeed(QTextEdit* rtb, const clsRSS& feed)
{
    if (feed.Count() < 1) {
        writeNoFeed(rtb);
        return feed.Count();
    }
    rtb->clear();
    CaretText::setInsertionFormat(
        rtb, [](QTextCharFormat& format) { format.setFontPointSize(kDescriptionPoints); });
    InsertAtCaret(rtb, feed.Description().left(kFeedDescriptionLength) + kCrLf);
    for (const clsRSSItem& item : feed.NewsFeed())
        writeItem(rtb, item);
    QTextCursor cursor = rtb->textCursor();
    cursor.movePosition(QTextCursor::Start);
    rtb->setTextCursor(cursor);
    return feed.Count();
}

Result modSpecialNote::WriteStockQuote(QTextEdit* rtb, const QString& symbol,
                                       const clsStockQuote& quote)
{
    writeHeader(rtb, symbol);
    AppendLabelledLine(rtb, quote.TradeDate() + QLatin1Char(' ') + quote.TradeTime(),
                       QStringLiteral("Trade"));
    const std::pair<const char*, Expected<double> (clsStockQuote::*)() const> prices[] = {
        {"Last Price", &clsStockQuote::LastPrice}, {"Change", nullptr},
        {"Open Price", &clsStockQuote::OpenPrice}, {"Low Price", &clsStockQuote::LowPrice},
        {"High Price", &clsStockQuote::HighPrice},
    };
    for (const auto& [label, read] : prices) {
        if (!read) { // the change is shown as it came
            AppendLabelledLine(rtb, quote.Change(), QLatin1String(label));
            continue;
        }
        const Expected<double> value = (quote.*read)();
        if (value.failed())
            return value.error();
        AppendLabelledLine(rtb, LocaleFormat::generalNumber(value.value()), QLatin1String(label));
    }
    return {};
}

void modSpecialNote::WriteStockError(QTextEdit* rtb, const QString& symbol)
{
    writeHeader(rtb, symbol);
    AppendLabelledLine(rtb, QuoteErrorText(), QString());
}
