#include "HttpTestServer.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "richtext/LiveText.h"
#include "richtext/RichText.h"
#include "special/HttpGet.h"
#include "special/NetworkNoteText.h"
#include "special/clsRSS.h"
#include "special/clsStockQuote.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <atomic>

// Feeds and quotes: the parse with its edge cases, the note text with its formatting, and
// fetches from a local server that answers well, badly or not at all.
namespace {
const QString kNoFeed =
    QStringLiteral("...no feed could be loaded. Re-attempting connection in 2min.");

QByteArray feedFile(const char* name)
{
    return TestEnvironment::readFile(QStringLiteral(JOTTEX_TEST_DATA "/feeds/") +
                                     QLatin1String(name));
}

// One line per run: "text|bold|italic|points|colour".
QStringList runs(const QTextEdit& rtb)
{
    QStringList lines;
    for (QTextBlock block = rtb.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            lines << QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(it.fragment().text(),
                              format.fontWeight() >= QFont::Bold ? "bold" : "normal",
                              format.fontItalic() ? "italic" : "upright")
                         .arg(format.fontPointSize())
                         .arg(format.foreground().color().name());
        }
    }
    return lines;
}

QString noteText(const clsRSS& feed)
{
    QTextEdit rtb;
    modSpecialNote::WriteRSSFeed(&rtb, feed);
    return RichText::plainText(rtb.document());
}

QString rss(const QString& channelChildren)
{
    return QStringLiteral("<rss version=\"2.0\"><channel>%1</channel></rss>").arg(channelChildren);
}

QString item(const QString& title, const QString& link, const QString& description = {})
{
    QString xml = QStringLiteral("<item><title>%1</title><link>%2</link>").arg(title, link);
    if (!description.isNull())
        xml += QStringLiteral("<description>%1</description>").arg(description);
    return xml + QStringLiteral("</item>");
}

QString block(const QString& headline, const QString& link)
{
    return headline + QStringLiteral("\r\n") + link + QStringLiteral("\r\n\r\n");
}

// Waits for a fetch to end, however it ends.
bool fetched(clsRSS& feed)
{
    QSignalSpy done(&feed, &clsRSS::Done);
    feed.GetFeed();
    return done.wait(15000);
}
} // namespace

class TestFeeds : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void parse_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("expected"); // the note's plain text
        const QString hundred = QString(36, u'x') + QString(64, u'y');
        const QString two = item("A", "http://a", "da") + item("B", "http://b", "db");
        QTest::newRow("description cut at 64")
            << rss("<description>" + hundred + "</description>" + two)
            << QString(36, u'x') + QString(28, u'y') + "\r\n" + block("A", "http://a") +
                   block("B", "http://b");
        QTest::newRow("one item shows it")
            << rss("<description>d</description>" + item("Only", "http://o", "x"))
            << "d\r\n" + block("Only", "http://o");
        QTest::newRow("one item without description")
            << rss("<description>d</description>" + item("Only", "http://o"))
            << "d\r\n" + block("Only", "http://o");
        QTest::newRow("missing link ends the items")
            << rss("<description>d</description>" + two + "<item><title>C</title></item>" +
                   item("D", "http://d", "dd"))
            << "d\r\n" + block("A", "http://a") + block("B", "http://b");
        QTest::newRow("second item without description: none needed")
            << rss("<description>d</description>" + item("A", "http://a", "da") +
                   item("B", "http://b") + item("C", "http://c", "dc"))
            << "d\r\n" + block("A", "http://a") + block("B", "http://b") + block("C", "http://c");
        QTest::newRow("second item with description: the first lacks one")
            << rss("<description>d</description>" + item("A", "http://a") +
                   item("B", "http://b", "db"))
            << kNoFeed;
        QTest::newRow("names are case-sensitive")
            << rss("<Description>d</Description>" + two)
            << "\r\n" + block("A", "http://a") + block("B", "http://b");
        QTest::newRow("no items") << rss("<description>d</description>") << kNoFeed;
        QTest::newRow("not well-formed") << "<rss><channel><item>" << kNoFeed;
        QTest::newRow("not XML") << "Service Unavailable" << kNoFeed;
        QTest::newRow("no channel")
            << "<rss><item><title>A</title><link>x</link></item></rss>" << kNoFeed;
    }

    // Hostile or broken feeds are refused before any item is read, and the refusal speaks of
    // the feed: the note's own text stays the one for no feed.
    void badFeedsAreRefusedInFeedWords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray item = "<item><title>A</title><link>http://a</link></item>";
        QTest::newRow("entities") << QByteArray("<!DOCTYPE rss [<!ENTITY a \"aaaa\">]>"
                                                "<rss><channel>" +
                                                item + "</channel></rss>")
                                  << QStringLiteral("The feed was not read: its document type "
                                                    "makes declarations of its own");
        QTest::newRow("nesting") << "<rss><channel>" + QByteArray("<x>").repeated(80) +
                                        QByteArray("</x>").repeated(80) + item + "</channel></rss>"
                                 << QStringLiteral("The feed was not read: its elements nest "
                                                   "deeper than 64");
        QTest::newRow("encoding")
            << QByteArray("<?xml version=\"1.0\" encoding=\"no-such-set\"?><rss/>")
            << QStringLiteral("The feed was not read: its encoding no-such-set is not supported");
        QTest::newRow("not well-formed")
            << QByteArray("<rss><channel>") << QStringLiteral("The feed is not well-formed XML");
    }

    void badFeedsAreRefusedInFeedWords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        clsRSS feed;
        const Result failure = feed.LoadFromBytes(bytes);
        QVERIFY(failure.failed());
        QVERIFY2(failure.error().description.startsWith(reason),
                 qPrintable(failure.error().description));
        QCOMPARE(noteText(feed), kNoFeed);
    }

    void parse()
    {
        QFETCH(QString, xml);
        QFETCH(QString, expected);
        clsRSS feed;
        (void)feed.LoadFromCache(xml);
        QCOMPARE(noteText(feed), expected);
    }

    void channelFieldsAsWritten()
    {
        clsRSS feed;
        QVERIFY(feed.LoadFromCache(rss("<title>T</title><pubDate>mixed</pubDate>"
                                       "<lastBuildDate>mixed</lastBuildDate>"
                                       "<image><url>http://i</url></image>"))
                    .ok());
        QCOMPARE(feed.Title(), QStringLiteral("T"));
        QCOMPARE(feed.PubDate(), QString());
        QCOMPARE(feed.LastBuildDate(), QString());
        QCOMPARE(feed.ImageURL(), QStringLiteral("http://i"));
        clsRSS lower;
        QVERIFY(lower.LoadFromCache(rss("<pubdate>lower</pubdate>")).ok());
        QCOMPARE(lower.PubDate(), QStringLiteral("lower"));
        // The parse reports what stops it.
        clsRSS broken;
        QVERIFY(broken.LoadFromCache(QStringLiteral("<rss/>")).failed());
    }

    void noteFormattingPerRunAndCaretAtStart()
    {
        clsRSS feed;
        QVERIFY(feed.LoadFromCache(feedFile("rss20.xml")).ok());
        QTextEdit rtb;
        rtb.setPlainText(QStringLiteral("...loading RSS feed"));
        modSpecialNote::WriteRSSFeed(&rtb, feed);
        const QStringList expected{
            "An RSS 2.0 channel & friends|normal|upright|12|#000000",
            "Headline <one>|bold|upright|9|#0000ff",
            "http://example.org/one|normal|italic|7|#000000",
            "Headline \u201ctwo\u201d|bold|upright|9|#0000ff",
            "http://example.org/two|normal|italic|7|#000000",
        };
        QCOMPARE(runs(rtb), expected);
        QCOMPARE(rtb.textCursor().position(), 0);
        // A refresh draws the same and leaves the caret at the start again.
        rtb.moveCursor(QTextCursor::End);
        modSpecialNote::WriteRSSFeed(&rtb, feed);
        QCOMPARE(rtb.textCursor().position(), 0);
        QCOMPARE(runs(rtb).mid(1), expected.mid(1));

        clsRSS empty;
        modSpecialNote::WriteRSSFeed(&rtb, empty);
        QCOMPARE(runs(rtb), QStringList{kNoFeed + "|normal|italic|8|#000000"});
    }

    // The note shows its first 500 items, and no more than a text area can take, with a line
    // that says how many; a word too long to lay out is broken. A build that is abandoned
    // stops early.
    void feedTextKeepsWithinWhatANoteShows_data()
    {
        QTest::addColumn<int>("headlineLength");
        QTest::addColumn<int>("shown");
        QTest::newRow("short headlines: the first 500") << 10 << 500;
        // The first item takes 4,002 characters, each later one 1,001: 200,000 characters less
        // the notice's 300 hold 196 items.
        QTest::newRow("long headlines: what the area takes") << 1000 << 196;
    }

    void feedTextKeepsWithinWhatANoteShows()
    {
        QFETCH(int, headlineLength);
        QFETCH(int, shown);
        RSSChannel channel;
        channel.description = QStringLiteral("d");
        channel.items.append({QString(2 * LiveText::kMaxWord + 1, u'w'), {}, QStringLiteral("l")});
        for (int number = 1; number < 2000; ++number)
            channel.items.append({QStringLiteral("%1").arg(number, headlineLength, 10, QChar(u' ')),
                                  {},
                                  QStringLiteral("l")});
        const std::unique_ptr<QTextDocument> text = modSpecialNote::RSSFeedText(channel);
        const QString plain = RichText::plainText(text.get());
        QVERIFY(LiveText::fits(LiveText::sizeOf(text.get())));
        const QString part(LiveText::kMaxWord, u'w');
        QVERIFY(plain.startsWith(QStringLiteral("d\r\n%1\r\n%1\r\nw\r\nl\r\n\r\n").arg(part)));
        QVERIFY2(
            plain.endsWith(QStringLiteral("%1\r\nl\r\n\r\n(The feed holds 2,000 items; the note "
                                          "shows its first %2.)")
                               .arg(shown - 1)
                               .arg(shown)),
            qPrintable(plain.right(80)));

        const std::atomic<bool> abandoned{true};
        const std::unique_ptr<QTextDocument> left =
            modSpecialNote::RSSFeedText(channel, &abandoned);
        QVERIFY(!RichText::plainText(left.get()).contains(QStringLiteral("\r\nl\r\n")));
    }

    // The answer is read on a pooled thread: the interface's loop turns between the answer's
    // arrival and Done.
    void largeAnswerIsReadWhileTheLoopTurns()
    {
        QByteArray xml = "<rss><channel><description>Big</description>";
        constexpr int kItems = 20000;
        for (int number = 0; number < kItems; ++number)
            xml += "<item><title>Story " + QByteArray::number(number) +
                   "</title><link>http://example.org/" + QByteArray::number(number) +
                   "</link></item>";
        HttpTestServer server;
        server.serve("/big", xml + "</channel></rss>");
        clsRSS feed;
        feed.setFeedURL(server.url("/big"));
        int turnsWhileReading = 0;
        QTimer turn;
        connect(&turn, &QTimer::timeout, this, [&feed, &turnsWhileReading] {
            const HttpGet* get = feed.findChild<HttpGet*>();
            if (get && !get->isRunning() && feed.IsFetching())
                ++turnsWhileReading;
        });
        turn.start(0);
        QVERIFY(fetched(feed));
        QCOMPARE(feed.Count(), kItems);
        QVERIFY(turnsWhileReading > 0);
        QVERIFY(feed.FeedXML().startsWith(QStringLiteral("<rss><channel><description>Big")));
    }

    void fetch_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("firstLines"); // the note's text starts so, or is the failure
        QTest::newRow("RSS 0.91") << "/rss091.xml"
                                  << "News of the caf\u00e9 in RSS 0.91\r\nFirst old story\r\n";
        QTest::newRow("RSS 0.92") << "/rss092.xml"
                                  << "An RSS 0.92 channel\r\nStory A\r\n";
        QTest::newRow("RSS 1.0") << "/rss10.rdf"
                                 << "An RSS 1.0 channel\r\nRDF one\r\n";
        QTest::newRow("RSS 2.0") << "/rss20.xml"
                                 << "An RSS 2.0 channel & friends\r\nHeadline <one>\r\n";
        QTest::newRow("Atom") << "/atom.xml"
                              << "An Atom feed\r\nAtom entry one\r\nhttp://example.org/e1\r\n";
        QTest::newRow("Windows-1252 declared")
            << "/windows1252.xml"
            << "Curly \u201cquotes\u201d and caf\u00e9\r\n\u201cR\u00e9sum\u00e9\u201d \u2013 "
               "dash\r\n";
        QTest::newRow("ISO-8859-1 from the HTTP charset") << "/latin1-charset"
                                                          << "Caf\u00e9 cr\u00e8me\r\nOne\r\n";
        QTest::newRow("5 redirects") << "/redirect5"
                                     << "An RSS 2.0 channel & friends\r\n";
        QTest::newRow("6 redirects") << "/redirect6" << kNoFeed;
        QTest::newRow("redirect to a file") << "/to-file" << kNoFeed;
        QTest::newRow("404") << "/missing" << kNoFeed;
        QTest::newRow("not XML") << "/html" << kNoFeed;
        QTest::newRow("entity bomb") << "/bomb.xml" << kNoFeed;
        QTest::newRow("external entity") << "/external_entity.xml" << kNoFeed;
        QTest::newRow("endless body") << "/endless" << kNoFeed;
        QTest::newRow("stalls") << "/stall" << kNoFeed;
        QTest::newRow("trickles") << "/trickle" << kNoFeed;
        QTest::newRow("not a web address") << "file:///etc/passwd" << kNoFeed;
    }

    void fetch()
    {
        QFETCH(QString, path);
        QFETCH(QString, firstLines);
        TestSeams seams;
        seams.setRequestTimeoutMs(1500);
        HttpTestServer server;
        for (const char* name : {"rss091.xml", "rss092.xml", "rss10.rdf", "rss20.xml", "atom.xml",
                                 "windows1252.xml", "bomb.xml", "external_entity.xml"})
            server.serve(QLatin1Char('/') + QLatin1String(name), feedFile(name));
        // No declaration: only the answer's charset tells the encoding.
        server.serve("/latin1-charset",
                     QString("<rss><channel><description>Caf\u00e9 cr\u00e8me</description>" +
                             item("One", "1") + item("Two", "2") + "</channel></rss>")
                         .toLatin1(),
                     "application/rss+xml; charset=ISO-8859-1");
        for (int hop = 1; hop <= 6; ++hop) {
            server.setRoute(
                QStringLiteral("/redirect%1").arg(hop),
                HttpTestServer::Route::answering(
                    302, hop == 1 ? "/rss20.xml" : "/redirect" + QByteArray::number(hop - 1)));
        }
        server.setRoute("/to-file", HttpTestServer::Route::answering(302, "file:///etc/passwd"));
        server.serve("/html", "<html><body><p>Not a feed<br></body></html>", "text/html");
        using Mode = HttpTestServer::Mode;
        server.setRoute("/endless", HttpTestServer::Route::sending(Mode::Endless));
        server.setRoute("/stall", HttpTestServer::Route::sending(Mode::Stall));
        server.setRoute("/trickle",
                        HttpTestServer::Route::sending(Mode::Trickle, feedFile("rss20.xml"), 50));

        clsRSS feed;
        feed.setFeedURL(path.startsWith(u'/') ? server.url(path) : path);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(fetched(feed));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        const QString text = noteText(feed);
        QVERIFY2(text.startsWith(firstLines), qPrintable(text.left(200)));
        QVERIFY(!text.contains(QLatin1String("root:")));
        if (path == QLatin1String("/endless"))
            QVERIFY(server.bytesSent() < 3 * HttpGet::kMaxBodyBytes);
    }

    void proxySetting()
    {
        HttpTestServer proxy;
        proxy.serve("/news", feedFile("rss20.xml"));
        clsRSS feed;
        feed.setFeedURL(QStringLiteral("http://feeds.example.invalid/news"));
        feed.setHTTPProxy(QStringLiteral("127.0.0.1:%1").arg(proxy.port()));
        QVERIFY(fetched(feed));
        QCOMPARE(feed.Count(), 2);
        QCOMPARE(proxy.requests(), QStringList{"http://feeds.example.invalid/news"});
    }

    // What the services see: our agent name, the feed's one header of its own, and no more
    // than the HTTP stack needs (Host, Connection, Accept-Encoding for compressed answers, and
    // the Accept-Language that Qt always sends).
    void requestHeaders_data()
    {
        QTest::addColumn<bool>("isFeed");
        QTest::addColumn<QStringList>("expected");
        // Named only: their values depend on how Qt was built and on the locale.
        const QStringList stack = {"Accept-Encoding", "Accept-Language", "Connection"};
        QTest::newRow("feed") << true
                              << stack + QStringList{"Content-type: text/html",
                                                     "User-Agent: Mozilla/4.0 (compatible; Win32; "
                                                     "WinHttp.WinHttpRequest.5)"};
        QTest::newRow("quote") << false << stack + QStringList{"User-Agent: vb wininet"};
    }

    void requestHeaders()
    {
        QFETCH(bool, isFeed);
        QFETCH(QStringList, expected);
        HttpTestServer server;
        server.serve("/news", feedFile("rss20.xml"));
        server.serve("/d/quotes.csv", "\"IBM\",1,\"N/A\",\"N/A\",0,0,0,0,0\r\n", "text/csv");
        clsRSS feed;
        clsStockQuote quote;
        if (isFeed) {
            feed.setFeedURL(server.url(QStringLiteral("/news")));
            QVERIFY(fetched(feed));
        } else {
            quote.setQuoteServer(server.url(QString()));
            quote.setSymbol(QStringLiteral("ibm"));
            QSignalSpy error(&quote, &clsStockQuote::DataError);
            quote.Refresh();
            QVERIFY(error.wait(15000));
        }
        QCOMPARE(server.requestHeaders().size(), 1);
        const QStringList stackNames = {"Accept-Encoding", "Accept-Language", "Connection"};
        QStringList headers;
        for (const QByteArray& line : server.requestHeaders().first()) {
            const QString header = QString::fromLatin1(line);
            const QString name = header.section(u':', 0, 0);
            if (name.compare(QLatin1String("Host"), Qt::CaseInsensitive) == 0)
                QCOMPARE(header, QStringLiteral("Host: 127.0.0.1:%1").arg(server.port()));
            else
                headers << (stackNames.contains(name) ? name : header);
        }
        headers.sort(Qt::CaseInsensitive);
        QCOMPARE(headers, expected);
    }

    void quote_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QString header = QStringLiteral("Stock Symbol: IBM\r\n");
        const QString error = header + "error looking up symbol\r\n";
        QTest::newRow("found") << QByteArray("\"IBM\",27.50,\"6/2/2006\",\"4:00pm\",+0.25,27.30,"
                                             "27.80,27.10,5432100\r\n")
                               << header + "Trade: 6/2/2006 4:00pm\r\nLast Price: 27.5\r\nChange: "
                                           "+0.25\r\nOpen Price: 27.3\r\nLow Price: 27.1\r\nHigh "
                                           "Price: 27.8\r\n";
        QTest::newRow("unknown symbol")
            << QByteArray("\"XYZ\",0.00,\"N/A\",\"N/A\",N/A,N/A,N/A,N/A,N/A\r\n") << error;
        const QByteArray change = "+" + QByteArray(650, '1');
        const QByteArray long700 = "\"IBM\",1.5,\"d\",\"t\"," + change + ",2,3,4," +
                                   QByteArray(700 - 29 - change.size(), '9');
        QTest::newRow("700 bytes")
            << long700
            << header + "Trade: d t\r\nLast Price: 1.5\r\nChange: " + QString::fromLatin1(change) +
                   "\r\nOpen Price: 2\r\nLow Price: 4\r\nHigh Price: 3\r\n";
        QTest::newRow("non-numeric price ends the lines")
            << QByteArray("\"IBM\",27.50,\"6/2/2006\",\"4:00pm\",+0.25,n/a,27.80,27.10,1\r\n")
            << header + "Trade: 6/2/2006 4:00pm\r\nLast Price: 27.5\r\nChange: +0.25\r\n";
        QTest::newRow("404") << QByteArray() << error;
    }

    void quote()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        HttpTestServer server;
        if (!body.isEmpty())
            server.serve("/d/quotes.csv", body, "text/csv");
        clsStockQuote quote;
        quote.setQuoteServer(server.url(QString()));
        quote.setSymbol(QStringLiteral("ibm"));
        QSignalSpy received(&quote, &clsStockQuote::DataReceived);
        QSignalSpy error(&quote, &clsStockQuote::DataError);
        quote.Refresh();
        QTRY_COMPARE(received.size() + error.size(), 1);
        QCOMPARE(server.requests(), QStringList{"/d/quotes.csv?s=IBM&f=sl1d1t1c1ohgv&e=.csv"});
        QTextEdit rtb;
        if (received.isEmpty())
            modSpecialNote::WriteStockError(&rtb, QStringLiteral("ibm"));
        else
            (void)modSpecialNote::WriteStockQuote(&rtb, QStringLiteral("ibm"), quote);
        QCOMPARE(RichText::plainText(rtb.document()), expected);
        if (body.size() == 700)
            QCOMPARE(quote.QuoteData().toLatin1(), body);
    }
};

JOTTEX_GUI_TEST_MAIN(TestFeeds)
#include "tst_feeds.moc"
