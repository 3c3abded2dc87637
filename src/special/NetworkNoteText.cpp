#include "special/NetworkNoteText.h"

#include "richtext/LiveText.h"
#include "shell/LocaleFormat.h"
#include "special/clsRSS.h"
#include "special/clsStockQuote.h"
#include "special/modSpecialNote.h"

#include <QCoreApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

constexpr qreal kFailurePoints = 8;
constexpr qreal kDescriptionPoints = 12;
constexpr qreal kHeadlinePoints = 9;
constexpr qreal kLinkPoints = 7;

// Each run of the feed note starts from the note's default format: nothing of what the note
// showed before carries over.
QTextCharFormat runFormat(qreal points, QFont::Weight weight, bool italic, const QColor& color)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    format.setFontWeight(weight);
    format.setFontItalic(italic);
    format.setForeground(color);
    return format;
}

const QColor kHeadlineBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);

// The line under the items of a feed longer than a note shows.
QString cutNotice(qsizetype shown, qsizetype count)
{
    return QCoreApplication::translate("NetworkNoteText",
                                       "(The feed holds %L1 items; the note shows its first %L2.)")
        .arg(count)
        .arg(shown);
}

// What the cut notice may take at most, kept free while the items are added.
constexpr LiveText::Size kNoticeRoom{2, 300};

void writeNoFeed(QTextCursor& cursor)
{
    cursor.insertText(modSpecialNote::NoFeedText(),
                      runFormat(kFailurePoints, QFont::Normal, true, kBlack));
}

// Adds the items that fit the note, with the notice when not all of them do.
void writeItems(QTextCursor& cursor, const QList<clsRSSItem>& items, LiveText::Size used,
                const std::atomic<bool>* abandoned)
{
    const QTextCharFormat headline = runFormat(kHeadlinePoints, QFont::Bold, false, kHeadlineBlue);
    const QTextCharFormat link = runFormat(kLinkPoints, QFont::Normal, true, kBlack);
    const LiveText::Size budget =
        LiveText::Size{LiveText::kMaxParagraphs, LiveText::kMaxCharacters} - kNoticeRoom;
    qsizetype shown = 0;
    for (const clsRSSItem& item : items) {
        if (abandoned && *abandoned)
            return;
        if (shown == modSpecialNote::kFeedMaxItems)
            break;
        const QString title = LiveText::breakLongWords(item.HeadLine) + kCrLf;
        const QString address = LiveText::breakLongWords(item.ArticleLink) + kCrLf + kCrLf;
        const LiveText::Size grown = used + LiveText::sizeOf(title) + LiveText::sizeOf(address) -
                                     LiveText::Size{2, 0}; // each piece's own first paragraph
        if (grown.paragraphs > budget.paragraphs || grown.characters > budget.characters)
            break;
        cursor.insertText(title, headline);
        cursor.insertText(address, link);
        used = grown;
        ++shown;
    }
    if (shown < items.size())
        cursor.insertText(cutNotice(shown, items.size()),
                          runFormat(kFailurePoints, QFont::Normal, false, kBlack));
}

void writeHeader(QTextEdit* rtb, const QString& symbol)
{
    modSpecialNote::WriteSpecialHeader(
        rtb,
        QCoreApplication::translate("NetworkNoteText", "Stock Symbol: %1").arg(symbol.toUpper()) +
            kCrLf);
}
} // namespace

QString modSpecialNote::NoFeedText()
{
    return QCoreApplication::translate(
        "NetworkNoteText", "...no feed could be loaded. Re-attempting connection in 2min.");
}

QString modSpecialNote::QuoteErrorText()
{
    return QCoreApplication::translate("NetworkNoteText", "error looking up symbol");
}

int modSpecialNote::WriteRSSFeed(QTextEdit* rtb, const clsRSS& feed)
{
    LiveText::replaceText(rtb, *RSSFeedText(feed.Channel()));
    return feed.Count();
}

std::unique_ptr<QTextDocument> modSpecialNote::RSSFeedText(const RSSChannel& feed,
                                                           const std::atomic<bool>* abandoned)
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    if (feed.items.isEmpty()) {
        writeNoFeed(cursor);
        return document;
    }
    QTextCharFormat description;
    description.setFontPointSize(kDescriptionPoints);
    const QString heading =
        LiveText::breakLongWords(feed.description.left(kFeedDescriptionLength)) + kCrLf;
    cursor.insertText(heading, description);
    writeItems(cursor, feed.items, LiveText::sizeOf(heading), abandoned);
    return document;
}

Result modSpecialNote::WriteStockQuote(QTextEdit* rtb, const QString& symbol,
                                       const clsStockQuote& quote)
{
    writeHeader(rtb, symbol);
    AppendLabelledLine(rtb, quote.TradeDate() + QLatin1Char(' ') + quote.TradeTime(),
                       QCoreApplication::translate("NetworkNoteText", "Trade"));
    const std::pair<const char*, Expected<double> (clsStockQuote::*)() const> prices[] = {
        {QT_TRANSLATE_NOOP("NetworkNoteText", "Last Price"), &clsStockQuote::LastPrice},
        {QT_TRANSLATE_NOOP("NetworkNoteText", "Change"), nullptr},
        {QT_TRANSLATE_NOOP("NetworkNoteText", "Open Price"), &clsStockQuote::OpenPrice},
        {QT_TRANSLATE_NOOP("NetworkNoteText", "Low Price"), &clsStockQuote::LowPrice},
        {QT_TRANSLATE_NOOP("NetworkNoteText", "High Price"), &clsStockQuote::HighPrice},
    };
    for (const auto& [label, read] : prices) {
        const QString shownLabel = QCoreApplication::translate("NetworkNoteText", label);
        if (!read) { // the change is shown as it came
            AppendLabelledLine(rtb, quote.Change(), shownLabel);
            continue;
        }
        const Expected<double> value = (quote.*read)();
        if (value.failed())
            return value.error();
        AppendLabelledLine(rtb, LocaleFormat::generalNumber(value.value()), shownLabel);
    }
    return {};
}

void modSpecialNote::WriteStockError(QTextEdit* rtb, const QString& symbol)
{
    writeHeader(rtb, symbol);
    AppendLabelledLine(rtb, QuoteErrorText(), QString());
}
