// Prints what a large feed costs: parsing a 5 MB feed of 10,000 items, and building the note
// text from it, as every refresh of a feed note does.
// Usage: QT_QPA_PLATFORM=offscreen bench_rss
#include "special/NetworkNoteText.h"
#include "special/clsRSS.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <cstdio>

namespace {
constexpr int kItems = 10000;
constexpr qsizetype kFeedBytes = qsizetype(5) * 1024 * 1024;

QString largeFeed()
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">"
                                 "<channel><title>Bench</title><link>http://example.org/</link>"
                                 "<description>A feed of ten thousand items for the benchmark"
                                 "</description>\n");
    // Descriptions fill each item to its share of the 5 MB.
    const qsizetype itemBytes = kFeedBytes / kItems;
    for (int number = 0; number < kItems; ++number) {
        const QString head =
            QStringLiteral("<item><title>Headline number %1 of the big feed</title>"
                           "<link>http://example.org/news/%1</link><description>")
                .arg(number);
        const QString tail = QStringLiteral("</description></item>\n");
        xml += head + QString(itemBytes - head.size() - tail.size(), u'd') + tail;
    }
    return xml + QStringLiteral("</channel></rss>\n");
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString xml = largeFeed();
    QElapsedTimer timer;
    timer.start();
    clsRSS feed;
    const Result failure = feed.LoadFromCache(xml);
    const qint64 parseMs = timer.restart();
    QTextEdit rtb;
    modSpecialNote::WriteRSSFeed(&rtb, feed);
    const qint64 buildMs = timer.elapsed();
    std::printf("feed of %.1f MB, %d items parsed%s: %lld ms\n",
                double(xml.toUtf8().size()) / 1048576, feed.Count(),
                failure.failed() ? " (with a failure)" : "", static_cast<long long>(parseMs));
    std::printf("note text built (%d paragraphs): %lld ms\n", rtb.document()->blockCount(),
                static_cast<long long>(buildMs));
    std::printf("parse and build: %lld ms\n", static_cast<long long>(parseMs + buildMs));
    return 0;
}
