#include "HttpTestServer.h"
#include "NoteWindows.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "dialogs/DialogSeam.h"
#include "richtext/LiveText.h"
#include "shell/Settings.h"
#include "window/NoteEditor.h"
#include "window/NoteTextEdit.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QThreadPool>
#include <QTimer>
#include <QtTest>

// Feed and quote notes in the real note window against a local server, the timer's ticks
// driven by the test: the desktop keeps running while a server holds a fetch, a tick never
// starts a second fetch, and an answer that comes after the note stopped never writes.
namespace {
const QString kLoading = QStringLiteral("...loading RSS feed");
const QString kNoFeed =
    QStringLiteral("...no feed could be loaded. Re-attempting connection in 2min.");

QByteArray feed(const QString& description, const QString& headline)
{
    return QStringLiteral("<rss><channel><description>%1</description>"
                          "<item><title>%2</title><link>http://example.org/1</link></item>"
                          "<item><title>More</title><link>http://example.org/2</link></item>"
                          "</channel></rss>")
        .arg(description, headline)
        .toUtf8();
}

// A feed of count short items.
QByteArray bigFeed(const QString& description, int count)
{
    QByteArray xml = "<rss><channel><description>" + description.toUtf8() + "</description>";
    for (int number = 0; number < count; ++number)
        xml += "<item><title>Story " + QByteArray::number(number) +
               "</title><link>http://example.org/" + QByteArray::number(number) + "</link></item>";
    return xml + "</channel></rss>";
}

// Waits until the pooled threads are idle and what they posted back has been handled.
bool backgroundSettled()
{
    if (!QThreadPool::globalInstance()->waitForDone(30000))
        return false;
    QCoreApplication::sendPostedEvents();
    return true;
}
} // namespace

class TestNetworkNotes : public QObject {
    Q_OBJECT

private:
    static frmMain* feedNote(const QString& url)
    {
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        DialogSeam::queueInputAnswer(url);
        window->triggerMenuItem(NoteMenus::mnuSNRSSFeed);
        return window;
    }

    static QString text(frmMain* window) { return window->RTB1()->Text(); }

    // Waits until the server has sent the given number of answers whole, then until a note
    // that fetches a quick answer after them shows it: by then theirs have come too.
    static bool answersDelivered(HttpTestServer& server, int answers)
    {
        if (!QTest::qWaitFor([&server, answers] { return server.answersCompleted() >= answers; },
                             10000))
            return false;
        server.serve("/witness", feed("Witness", "Seen"));
        frmMain* witness = feedNote(server.url("/witness"));
        return QTest::qWaitFor([witness] { return text(witness).contains(QLatin1String("Seen")); },
                               10000);
    }

    // Closes as the user does, answering "No" to the save prompt of a changed note.
    static bool closeWithoutSaving(frmMain* window)
    {
        if (window->isChanged())
            DialogSeam::queueMessageBoxAnswer(QMessageBox::No);
        return window->close();
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        DialogSeam::arm();
    }

    void cleanup() { NoteWindows::deleteAll(); }

    void feedNoteFollowsTheFeedOnEveryTick()
    {
        HttpTestServer server;
        server.serve("/news", feed("Today", "First headline"));
        frmMain* window = feedNote(server.url("/news"));
        QCOMPARE(text(window), kLoading);
        QCOMPARE(window->specialNotes().timer()->interval(), 65535);
        QVERIFY(window->specialNotes().timer()->isActive());
        QTRY_VERIFY(text(window).startsWith("Today\r\nFirst headline\r\nhttp://example.org/1\r\n"));
        QVERIFY(window->RTB1()->isReadOnly());
        QCOMPARE(window->RTB1()->textCursor().position(), 0);
        window->grab().save(QDir::temp().filePath("jottex-feed-note.png"));

        server.serve("/news", feed("Later", "Second headline"));
        window->specialNotes().tick();
        QTRY_VERIFY(text(window).startsWith("Later\r\nSecond headline\r\n"));
        QCOMPARE(server.requests().size(), 2);

        // A server that holds the fetch: ticks meanwhile start nothing, the text stays.
        server.setRoute("/news", HttpTestServer::Route::sending(HttpTestServer::Mode::Stall));
        window->specialNotes().tick();
        QTRY_COMPARE(server.requests().size(), 3);
        window->specialNotes().tick();
        window->specialNotes().tick();
        // A fetch the ticks started would have reached the server before a later note's.
        QVERIFY(answersDelivered(server, 2));
        QCOMPARE(server.requests().size(), 4);
        QCOMPARE(server.requests().last(), QStringLiteral("/witness"));
        QVERIFY(text(window).startsWith("Later\r\n"));
        // Closing with the fetch still held gives it up.
        QVERIFY(closeWithoutSaving(window));
        QVERIFY(!window->specialNotes().timer()->isActive());
    }

    void stoppedOrSwitchedNoteTakesNoLateAnswer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("stop") << "stop";
        QTest::newRow("switch to time") << "time";
        QTest::newRow("clear all") << "clear";
    }

    void stoppedOrSwitchedNoteTakesNoLateAnswer()
    {
        QFETCH(QString, how);
        HttpTestServer server;
        // The whole feed comes a little later.
        const QByteArray body = feed("Late", "Too late");
        server.setRoute("/slow",
                        HttpTestServer::Route::sending(HttpTestServer::Mode::Trickle, body, 1));
        frmMain* window = feedNote(server.url("/slow"));
        QTRY_COMPARE(server.requests().size(), 1);
        if (how == QLatin1String("stop"))
            window->specialNotes().stopByUser();
        else if (how == QLatin1String("time"))
            window->triggerMenuItem(NoteMenus::mnuSNTime);
        else
            window->editor().mnuEdit_Click(int(EditItem::ClearAll));
        const QString before = text(window);
        QVERIFY(answersDelivered(server, 1));
        QVERIFY(!text(window).contains(QLatin1String("Too late")));
        if (how != QLatin1String("time"))
            QCOMPARE(text(window), before);
    }

    // Closing a note ends its timer and its fetches there and then: answers the server would
    // send later can never reach the note, kept or deleted.
    void closedNoteStopsItsTimerAndFetches_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("window kept") << false;
        QTest::newRow("window deleted") << true;
    }

    void closedNoteStopsItsTimerAndFetches()
    {
        QFETCH(bool, deleted);
        HttpTestServer server;
        using Route = HttpTestServer::Route;
        server.setRoute("/slow",
                        Route::sending(HttpTestServer::Mode::Trickle, feed("Late", "Too late"), 1));
        server.setRoute("/d/quotes.csv",
                        Route::sending(HttpTestServer::Mode::Trickle,
                                       "\"IBM\",27.50,\"6/2/2006\",\"4:00pm\",+0.25,27.30,27.80,"
                                       "27.10,100\r\n",
                                       1));
        QVERIFY(modMain::WriteSetting(modMain::Setting::QuoteServer, server.url(QString())).ok());
        frmMain* feedWindow = feedNote(server.url("/slow"));
        frmMain* quoteWindow = frmMain::create(NoteOrigin::NewNote);
        quoteWindow->show();
        DialogSeam::queueInputAnswer(QStringLiteral("ibm"));
        quoteWindow->triggerMenuItem(NoteMenus::mnuSNStockQuote);
        QTRY_COMPARE(server.requests().size(), 2);

        const QList<QPointer<frmMain>> windows{feedWindow, quoteWindow};
        QStringList before;
        for (frmMain* window : windows) {
            QVERIFY(window->specialNotes().timer()->isActive());
            before.append(text(window));
            window->setAttribute(Qt::WA_DeleteOnClose, deleted);
            QVERIFY(closeWithoutSaving(window));
            QVERIFY(!window->specialNotes().timer()->isActive());
        }
        QVERIFY(answersDelivered(server, 2));
        if (deleted) {
            QTRY_VERIFY(!windows[0] && !windows[1]);
            return;
        }
        for (qsizetype i = 0; i < windows.size(); ++i)
            QCOMPARE(text(windows[i]), before[i]);
        for (frmMain* window : windows)
            delete window;
    }

    // A feed longer than a note shows: its first 500 items and a line that says so, from the top,
    // never on the undo stack. A refresh that brings the same feed leaves the note as it is
    // (where the user scrolled to); a new feed shows from the top again.
    void largeFeedShowsWhatFitsAndRedrawsOnlyWhenChanged()
    {
        HttpTestServer server;
        server.serve("/big", bigFeed("Big", 12000));
        frmMain* window = feedNote(server.url("/big"));
        QTRY_VERIFY_WITH_TIMEOUT(text(window).startsWith("Big\r\nStory 0\r\nhttp://example.org/0"),
                                 30000);
        QVERIFY(text(window).endsWith(QStringLiteral(
            "\r\nStory 499\r\nhttp://example.org/499\r\n\r\n(The feed holds 12,000 items; the note "
            "shows its first 500.)")));
        QVERIFY(LiveText::fits(LiveText::sizeOf(window->RTB1()->document())));
        QVERIFY(!window->RTB1()->document()->isUndoAvailable());
        QCOMPARE(window->RTB1()->textCursor().position(), 0);
        QApplication::processEvents();
        QScrollBar* scroll = window->RTB1()->verticalScrollBar();
        QCOMPARE(scroll->value(), 0);

        if (const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS"); !folder.isEmpty()) {
            scroll->setValue(scroll->maximum());
            window->grab().save(folder + QStringLiteral("/big-feed-note-end.png"));
        }
        scroll->setValue(scroll->maximum() / 2);
        const int readingAt = scroll->value();
        QSignalSpy changes(window->RTB1(), &QTextEdit::textChanged);
        window->specialNotes().tick();
        QTRY_COMPARE(server.requests().size(), 2);
        // A tick starts a fetch only once the last one has been read and built.
        QTRY_VERIFY_WITH_TIMEOUT((window->specialNotes().tick(), server.requests().size() == 3),
                                 30000);
        QCOMPARE(changes.size(), 0);
        QCOMPARE(scroll->value(), readingAt);

        server.serve("/big", bigFeed("Bigger", 12000));
        QTRY_VERIFY_WITH_TIMEOUT((window->specialNotes().tick(), text(window).startsWith("Bigger")),
                                 30000);
        QApplication::processEvents();
        QCOMPARE(scroll->value(), 0);
        QVERIFY(!window->RTB1()->document()->isUndoAvailable());
    }

    // The feed is read and built on a pooled thread; a note that closes or changes kind
    // meanwhile takes nothing from it, and nothing of it outlives the note.
    void noteGoneMidParseTakesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("closed") << "closed";
        QTest::newRow("switched to time") << "time";
    }

    void noteGoneMidParseTakesNothing()
    {
        QFETCH(QString, how);
        HttpTestServer server;
        server.serve("/big", bigFeed("Big", 20000));
        QPointer<frmMain> window = feedNote(server.url("/big"));
        QTRY_COMPARE(server.answersCompleted(), 1);
        // The whole answer in the note's hands: it is being read now.
        QTest::qWait(50);
        if (how == QLatin1String("closed")) {
            NoteWindows::deleteAll();
        } else {
            window->triggerMenuItem(NoteMenus::mnuSNTime);
        }
        QVERIFY(backgroundSettled());
        if (window)
            QVERIFY(text(window).startsWith(QStringLiteral("Time: ")));
        else
            QVERIFY(frmMain::openWindows().isEmpty());
    }

    // Each drawing starts from the note's default format: the italic of a failed feed does not
    // carry over into the next kind.
    void timeNoteAfterAFailedFeedIsNotItalic()
    {
        HttpTestServer server;
        frmMain* window = feedNote(server.url("/missing"));
        QTRY_COMPARE(text(window), kNoFeed);
        QVERIFY(QTextCursor(window->RTB1()->document())
                    .block()
                    .begin()
                    .fragment()
                    .charFormat()
                    .fontItalic());
        window->triggerMenuItem(NoteMenus::mnuSNTime);
        QVERIFY(text(window).startsWith(QStringLiteral("Time: \r\n")));
        for (QTextBlock block = window->RTB1()->document()->begin(); block.isValid();
             block = block.next())
            for (auto run = block.begin(); !run.atEnd(); ++run)
                QVERIFY2(!run.fragment().charFormat().fontItalic(),
                         qPrintable(run.fragment().text()));
    }

    void stallingServerNeverFreezesTheDesktop()
    {
        TestSeams seams;
        seams.setRequestTimeoutMs(600);
        HttpTestServer server;
        server.setRoute("/stall", HttpTestServer::Route::sending(HttpTestServer::Mode::Stall));
        int ticks = 0;
        QTimer other;
        connect(&other, &QTimer::timeout, this, [&ticks] { ++ticks; });
        other.start(10);
        QElapsedTimer clock;
        clock.start();
        frmMain* window = feedNote(server.url("/stall"));
        QVERIFY(clock.elapsed() < 300); // the menu command returned at once
        QTRY_COMPARE(text(window), kNoFeed);
        QVERIFY(clock.elapsed() >= 550);
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
    }

    void quoteNote()
    {
        HttpTestServer server;
        server.serve("/d/quotes.csv",
                     "\"IBM\",27.50,\"6/2/2006\",\"4:00pm\",+0.25,27.30,27.80,27.10,100\r\n",
                     "text/csv");
        QVERIFY(modMain::WriteSetting(modMain::Setting::QuoteServer, server.url(QString())).ok());
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        DialogSeam::queueInputAnswer(QStringLiteral("ibm"));
        window->triggerMenuItem(NoteMenus::mnuSNStockQuote);
        QTRY_COMPARE(text(window), QStringLiteral("Stock Symbol: IBM\r\nTrade: 6/2/2006 4:00pm\r\n"
                                                  "Last Price: 27.5\r\nChange: +0.25\r\n"
                                                  "Open Price: 27.3\r\nLow Price: 27.1\r\n"
                                                  "High Price: 27.8\r\n"));
        QCOMPARE(server.requests(), QStringList{"/d/quotes.csv?s=IBM&f=sl1d1t1c1ohgv&e=.csv"});
        window->grab().save(QDir::temp().filePath("jottex-quote-note.png"));

        // Without a service: the error text at every tick, one log line for the note.
        QVERIFY(modMain::WriteSetting(modMain::Setting::QuoteServer, QString()).ok());
        const qsizetype logged = TestEnvironment::logLines().size();
        for (int tick = 0; tick < 3; ++tick) {
            window->specialNotes().tick();
            QTRY_COMPARE(text(window),
                         QStringLiteral("Stock Symbol: IBM\r\nerror looking up symbol\r\n"));
            window->RTB1()->setPlainText(QString());
        }
        QCOMPARE(TestEnvironment::logLines().size(), logged + 1);
        QVERIFY(TestEnvironment::logLines().last().contains(QLatin1String("No quote service")));
    }
};

JOTTEX_GUI_TEST_MAIN(TestNetworkNotes)
#include "tst_networknotes.moc"
