#include "shell/ErrorLog.h"
#include "shell/Settings.h"
#include "special/NetworkNoteText.h"
#include "special/clsRSS.h"
#include "special/clsStockQuote.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

// The feed and quote notes. Fetches run in the background: the note keeps its text until a
// fetch ends, a tick never starts a second fetch, and a fetch that no longer belongs to the
// note is aborted so its answer never writes.

void frmMain::DisplayRSSFeed(const QString& feedURL)
{
    if (m_rss && m_rss->IsFetching() && m_rss->FeedURL() == feedURL && !feedURL.isEmpty())
        return;
    if (m_rss) {
        m_rss->Abort();
        m_rss->deleteLater();
        m_rss = nullptr;
    }
    if (feedURL.isEmpty())
        return;
    auto* feed = new clsRSS(this);
    m_rss = feed;
    feed->setFeedURL(feedURL);
    feed->setHTTPProxy(modMain::ReadSetting(modMain::Setting::HTTPProxy));
    connect(feed, &clsRSS::Done, this, [this, feed] { rssFeed_Done(feed); });
    feed->GetFeed();
}

void frmMain::rssFeed_Done(clsRSS* feed)
{
    feed->deleteLater();
    if (feed != m_rss)
        return;
    m_rss = nullptr;
    if (!takesNetworkAnswer(SpecialNoteKind::RSSFeed))
        return;
    const SpecialWrite write(*this);
    modSpecialNote::WriteRSSFeed(m_rtb, *feed);
}

void frmMain::refreshStockQuote()
{
    const QString symbol = m_Note.StockSymbol.toUpper();
    if (objStock && objStock->IsFetching() && objStock->Symbol() == symbol)
        return;
    delete takeStockQuote();
    objStock = new clsStockQuote(this);
    objStock->setSymbol(symbol);
    objStock->setQuoteServer(modMain::ReadSetting(modMain::Setting::QuoteServer));
    objStock->setHTTPProxy(modMain::ReadSetting(modMain::Setting::HTTPProxy));
    connect(objStock, &clsStockQuote::DataReceived, this, &frmMain::objStock_DataReceived);
    connect(objStock, &clsStockQuote::DataError, this, &frmMain::objStock_DataError);
    objStock->Refresh();
}

// The quote fetcher leaves the note once it has answered; it goes when control returns.
clsStockQuote* frmMain::takeStockQuote()
{
    clsStockQuote* quote = objStock;
    objStock = nullptr;
    if (quote) {
        quote->Abort();
        quote->disconnect(this);
    }
    return quote;
}

void frmMain::objStock_DataReceived()
{
    clsStockQuote* quote = takeStockQuote();
    quote->deleteLater();
    if (!takesNetworkAnswer(SpecialNoteKind::StockQuote))
        return;
    const SpecialWrite write(*this);
    if (const Failure failure = modSpecialNote::WriteStockQuote(m_rtb, m_Note.StockSymbol, *quote))
        modMain::WriteLogEntry(QStringLiteral("frmMain: objStock_DataReceived"), *failure);
}

void frmMain::objStock_DataError()
{
    clsStockQuote* quote = takeStockQuote();
    quote->deleteLater();
    if (!takesNetworkAnswer(SpecialNoteKind::StockQuote))
        return;
    // Said once per note, not at every tick.
    if (quote->QuoteServer().trimmed().isEmpty() && quote->LastError() && !m_noQuoteServerLogged) {
        m_noQuoteServerLogged = true;
        modMain::WriteLogEntry(QStringLiteral("frmMain: objStock_DataError"), *quote->LastError());
    }
    const SpecialWrite write(*this);
    modSpecialNote::WriteStockError(m_rtb, m_Note.StockSymbol);
}

void frmMain::stopNetworkFetches(SpecialNoteKind keep)
{
    if (keep != SpecialNoteKind::RSSFeed)
        DisplayRSSFeed(QString());
    if (keep != SpecialNoteKind::StockQuote)
        delete takeStockQuote();
}

bool frmMain::takesNetworkAnswer(SpecialNoteKind kind)
{
    return specialKind() == kind && openWindows().contains(this);
}
