// Prints the longest stall of the event loop while a real note window does what users do with
// large inputs: a 10 ms probe timer's worst lateness while a feed of 1, 4 and 8 MB is fetched
// from a local server, shown and refreshed (same bytes, then new ones); while a file of 10,000
// notes is opened through the Multi-Note Manager; and while typing into a 1 MB note that shows
// its word count. Also the process's resident memory around the largest feed.
// Usage: bench_stall [only the scenarios whose name contains this]
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise: the window, its live
// text area and its painting into the backing store are the real ones.
#include "BenchNotes.h"
#include "HttpTestServer.h"
#include "dialogs/DialogSeam.h"
#include "manager/frmNoteManager.h"
#include "store/modNote.h"
#include "window/NoteTextEdit.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

namespace {
constexpr int kProbeMs = 10;
constexpr qint64 kNanosecondsPerMillisecond = 1000000;
constexpr int kSettleMs = 1500; // probed after each step, while the area lays out and paints
constexpr int kPatienceMs = 120000;
constexpr qsizetype kMegabyte = qsizetype(1024) * 1024;

// The worst lateness of a 10 ms timer since the last reset.
class StallProbe {
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_worst =
                std::max(m_worst, now - m_last - qint64(kProbeMs) * kNanosecondsPerMillisecond);
            m_last = now;
        });
        m_clock.start();
        m_timer.start(kProbeMs);
    }
    void reset()
    {
        m_last = m_clock.nsecsElapsed();
        m_worst = 0;
    }
    // Counts what has not been seen yet: a stall still running shows as late.
    double worstMs() const
    {
        const qint64 open =
            m_clock.nsecsElapsed() - m_last - qint64(kProbeMs) * kNanosecondsPerMillisecond;
        return double(std::max(m_worst, open)) / double(kNanosecondsPerMillisecond);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_worst = 0;
};

// Runs the event loop until done() holds, then for kSettleMs more; false on running out of
// patience.
bool waitThenSettle(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > kPatienceMs)
            return false;
        QTest::qWait(5);
    }
    QTest::qWait(kSettleMs);
    return true;
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// The server answers from a thread of its own, so its sending is not counted as the note's.
class ServerThread {
public:
    ServerThread()
    {
        m_anchor.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_anchor, [this] { m_server = std::make_unique<HttpTestServer>(); },
            Qt::BlockingQueuedConnection);
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(
            &m_anchor, [this] { m_server.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    void serve(const QString& path, const QByteArray& body)
    {
        QMetaObject::invokeMethod(
            &m_anchor, [this, path, body] { m_server->serve(path, body); },
            Qt::BlockingQueuedConnection);
    }
    int answers()
    {
        int count = 0;
        QMetaObject::invokeMethod(
            &m_anchor, [this, &count] { count = m_server->answersCompleted(); },
            Qt::BlockingQueuedConnection);
        return count;
    }
    QString url(const QString& path) const { return m_server->url(path); }

private:
    QThread m_thread;
    QObject m_anchor; // lives in the thread: calls queued to it run there
    std::unique_ptr<HttpTestServer> m_server;
};

// A feed of about the given size, of items of about 200 bytes (20,000 in 4 MB): as many as a
// feed may hold within the reader's limit of nodes, the shape that costs the note most.
QByteArray feedOf(qsizetype bytes, const QByteArray& description)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                     "<title>Bench</title><description>" +
                     description + "</description>\n";
    xml.reserve(bytes + 300);
    for (int number = 0; xml.size() < bytes; ++number)
        xml += "<item><title>Headline number " + QByteArray::number(number) +
               " of the feed</title><link>http://example.org/news/" + QByteArray::number(number) +
               "</link><description>What happened, told in a sentence or two of plain text for "
               "the reader.</description></item>\n";
    return xml + "</channel></rss>\n";
}

QString text(frmMain* note)
{
    return note->RTB1()->Text();
}

void closeNote(frmMain* note)
{
    const QPointer<frmMain> closing(note);
    note->closeForSessionEnd();
    while (closing)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void feed(StallProbe& probe, ServerThread& server, int megabytes)
{
    const QByteArray first = feedOf(megabytes * kMegabyte - 1024, "First");
    const QByteArray second = feedOf(megabytes * kMegabyte - 1024, "Second");
    const QString path = QStringLiteral("/feed%1").arg(megabytes);
    server.serve(path, first);
    const double before = residentMegabytes();
    frmMain* note = frmMain::create(NoteOrigin::NewNote);
    note->show();
    QTest::qWait(200);
    const int answered = server.answers();
    probe.reset();
    QElapsedTimer clock;
    clock.start();
    DialogSeam::queueInputAnswer(server.url(path));
    note->triggerMenuItem(NoteMenus::mnuSNRSSFeed);
    bool ok = waitThenSettle([note] {
        return text(note).startsWith(QLatin1String("First")) ||
               text(note).startsWith(QLatin1String("...no feed"));
    });
    if (!text(note).startsWith(QLatin1String("First")))
        std::printf("feed of %d MB: not read\n", megabytes);
    std::printf("feed of %d MB (%lld items): fetched and shown in %6.0f ms, worst lateness "
                "%6.0f ms%s\n",
                megabytes, static_cast<long long>(first.count("<item>")),
                double(clock.elapsed() - kSettleMs), probe.worstMs(), ok ? "" : " (gave up)");
    const double shown = residentMegabytes();

    probe.reset();
    note->specialNotes().tick();
    ok = waitThenSettle([&] { return server.answers() >= answered + 2; });
    std::printf("feed of %d MB: refreshed, same bytes:                worst lateness %6.0f ms%s\n",
                megabytes, probe.worstMs(), ok ? "" : " (gave up)");

    server.serve(path, second);
    probe.reset();
    clock.restart();
    note->specialNotes().tick();
    ok = waitThenSettle([note] { return text(note).startsWith(QLatin1String("Second")); });
    std::printf("feed of %d MB: refreshed, new bytes, in %6.0f ms,       worst lateness %6.0f "
                "ms%s\n",
                megabytes, double(clock.elapsed() - kSettleMs), probe.worstMs(),
                ok ? "" : " (gave up)");

    probe.reset();
    note->triggerMenuItem(NoteMenus::mnuSNTime);
    QTest::qWait(kSettleMs);
    std::printf("feed of %d MB: switched to Time:                      worst lateness %6.0f ms\n",
                megabytes, probe.worstMs());
    std::printf("feed of %d MB: resident memory %.0f MB before, %.0f MB shown, %.0f MB as a "
                "Time note\n",
                megabytes, before, shown, residentMegabytes());
    closeNote(note);
}

void manager(StallProbe& probe, const QString& folder)
{
    const QString path = folder + QStringLiteral("/ten-thousand.not");
    NoteRecordList notes;
    for (int number = 0; number < 10000; ++number)
        notes << sampleNote(number);
    if (modNote::WriteNoteList(notes, path).failed()) {
        std::printf("could not write %s\n", qPrintable(path));
        return;
    }
    frmMain* note = frmMain::create(NoteOrigin::NewNote);
    note->show();
    frmNoteManager::showFor(note);
    frmNoteManager* shown = frmNoteManager::current();
    QTest::qWait(200);
    probe.reset();
    QElapsedTimer clock;
    clock.start();
    DialogSeam::queueFileAnswer(path);
    shown->toolbarButton(QStringLiteral("open"))->trigger();
    const bool ok = waitThenSettle([shown] {
        return shown->lvNotes()->model()->rowCount() == 10000 && !shown->notes().isEmpty();
    });
    std::printf("10,000 notes (%.1f MB) opened through the manager in %6.0f ms, worst lateness "
                "%6.0f ms%s\n",
                double(QFile(path).size()) / 1e6, double(clock.elapsed() - kSettleMs),
                probe.worstMs(), ok ? "" : " (gave up)");
    delete shown;
    closeNote(note);
}

// A note of 1 MB as stored that the live area takes whole: every word formatted on its own,
// ten words a paragraph.
QString megabyteNote()
{
    QString rtf =
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Comic Sans "
                       "MS;}}{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 ");
    for (int number = 0; rtf.size() < kMegabyte; ++number)
        rtf += QStringLiteral("{\\b\\i\\ul\\cf1\\fs22\\f0 w%1} ")
                   .arg(number % 1000, 3, 10, QLatin1Char('0')) +
               (number % 10 == 9 ? QStringLiteral("\\par\n") : QString());
    return rtf + QLatin1Char('}');
}

void typing(StallProbe& probe)
{
    NoteRecord record;
    record.Data = megabyteNote();
    frmMain* note = frmMain::create(NoteOrigin::StoredRecord, record);
    note->show();
    note->triggerMenuItem(NoteMenus::mnuCaptionType, int(CaptionKind::WordCount));
    QTest::qWait(kSettleMs);
    note->RTB1()->setFocus();
    note->RTB1()->moveCursor(QTextCursor::End);
    probe.reset();
    const QString typed = QStringLiteral("the quick brown fox jumps over the lazy dog ");
    QElapsedTimer clock;
    clock.start();
    for (const QChar c : typed) {
        QTest::keyClick(note->RTB1(), c.toLatin1());
        QTest::qWait(20);
    }
    const double perKey = double(clock.elapsed()) / double(typed.size()) - 20;
    QTest::qWait(kSettleMs);
    std::printf("typing %lld keys into a %.1f MB note (%lld paragraphs, %d characters%s), word "
                "count shown: %.1f ms a key, worst lateness %6.0f ms (%s)\n",
                static_cast<long long>(typed.size()), double(record.Data.size()) / 1e6,
                static_cast<long long>(note->RTB1()->document()->blockCount()),
                note->RTB1()->document()->characterCount(), note->showsPart() ? ", cut" : "",
                perKey, probe.worstMs(), qPrintable(note->lblSubCaption()->text()));
    closeNote(note);
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DESKTOP_DIR", QFile::encodeName(home.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DialogSeam::arm();
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is measured
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto wanted = [&only](const char* name) {
        return QString::fromLatin1(name).contains(only);
    };
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    StallProbe probe;
    if (wanted("feed")) {
        ServerThread server;
        // A small feed first: the network module and the pooled threads load once per run,
        // and are not what a feed leaves behind.
        frmMain* warmUp = frmMain::create(NoteOrigin::NewNote);
        server.serve(QStringLiteral("/small"), feedOf(4096, "Small"));
        DialogSeam::queueInputAnswer(server.url(QStringLiteral("/small")));
        warmUp->triggerMenuItem(NoteMenus::mnuSNRSSFeed);
        (void)waitThenSettle([warmUp] { return text(warmUp).startsWith(QLatin1String("Small")); });
        closeNote(warmUp);
        for (const int megabytes : {1, 4, 8})
            feed(probe, server, megabytes);
    }
    if (wanted("manager"))
        manager(probe, home.path());
    if (wanted("typing"))
        typing(probe);
    return 0;
}
