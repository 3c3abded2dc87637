// Reads and writes generated RTF notes and pathological inputs and prints the throughput and
// peak memory of each, with `unrtf --text` on the same file for comparison when it is installed.
// Every case runs in a child process of its own, so the peak memory it reports is its own.
// Usage: bench_rtf [scale]   (scale 1 by default; 10 gives the full 10 million bold runs)
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr qsizetype kMegabyte = qsizetype(1024) * 1024;

// A note in the rich-edit control's style: formatted runs, bullets, and non-ASCII text.
QByteArray generateNote(qsizetype size)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0"
        " Comic Sans MS;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset204 Arial;}}"
        "\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    const QByteArray paragraphs[] = {
        "Meeting notes for the \\b quarterly\\b0  review, room 4\\par\r\n",
        "\\cf1 Call back\\cf0  the caf\\'e9 about the \\i order\\i0  \\u8364?42\\par\r\n",
        QByteArray(
            "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
            "\\fi-200\\li200 buy \\ul milk\\ulnone  and bread\\par\r\n"),
        QByteArray(
            "{\\pntext\\f1\\'B7\\tab}\\f2\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\f0 , \\fs28 big\\fs20  "
            "text\\par\r\n"),
        QByteArray("\\pard\\qc\\highlight2 centred line with \\strike old\\strike0  "
                   "words\\highlight0\\par\r\n"),
        QByteArray("\\pard A plain paragraph of ordinary text that goes on for a while to fill the "
                   "note.\\par\r\n"),
    };
    for (int i = 0; rtf.size() < size; ++i)
        rtf += paragraphs[i % std::size(paragraphs)];
    rtf += "}\r\n";
    return rtf;
}

QByteArray repeated(const QByteArray& head, const QByteArray& unit, qsizetype count,
                    const QByteArray& tail)
{
    QByteArray rtf = head;
    rtf.reserve(head.size() + unit.size() * count + tail.size());
    for (qsizetype i = 0; i < count; ++i)
        rtf += unit;
    return rtf + tail;
}

// A note of `count` pictures of 2048 x 2048 pixels (16 MB each decoded, the most one may have),
// each a different smooth picture as photographs compress; `copies` repeats the whole.
QByteArray generatePictures(int count, int copies)
{
    QByteArray pictures;
    for (int i = 0; i < count; ++i) {
        QImage image(2048, 2048, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x + i * 40) / 8 % 256, y / 8 % 256, (x ^ y) % 64);
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pictures += "{\\pict\\pngblip " + png.toHex() + "}";
    }
    return "{\\rtf1 pictures " + pictures.repeated(copies) + " end}";
}

// The inputs, by name; `scale` multiplies the pathological ones.
QByteArray generate(const QByteArray& name, int scale)
{
    if (name == "note-1MB")
        return generateNote(kMegabyte);
    if (name == "note-10MB")
        return generateNote(10 * kMegabyte);
    if (name == "par")
        return repeated("{\\rtf1 ", "\\par", 2'000'000LL * scale, "}");
    if (name == "bullets")
        return repeated("{\\rtf1{\\*\\pn\\pnlvlblt}", "x\\par ", 1'000'000LL * scale, "}");
    if (name == "bold-runs")
        return repeated("{\\rtf1 ", "\\b a\\b0 b", 1'000'000LL * scale, "}");
    if (name == "pictures-64MB")
        return generatePictures(4, 1);
    if (name == "picture-copies") // all but four over the note's limit: refused undecoded
        return generatePictures(1, 1000 * scale);
    if (name == "field-instruction")
        return repeated("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"", "x", 10'000'000LL * scale,
                        "\"}{\\fldrslt link}}}");
    return {};
}

double megabytesPerSecond(qsizetype bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? (double(bytes) / (1024.0 * 1024.0)) / (double(nanoseconds) / 1e9) : 0;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The floor under the paragraph and list floods: Qt alone building the same blocks, without
// any RTF, in one edit block as the reader does.
int measureBareQt(const QByteArray& name, int scale)
{
    const bool bullets = name == "qt-bullets";
    const qsizetype count = (bullets ? 1'000'000LL : 2'000'000LL) * scale;
    constexpr int kItemsPerList = 32; // as the reader splits long bullet lists
    const long baseline = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    const QTextBlockFormat blockFormat;
    const QTextCharFormat charFormat;
    for (qsizetype i = 0; i < count; ++i) {
        cursor.insertBlock(blockFormat, charFormat); // the fastest form: no format look-ups
        if (!bullets)
            continue;
        cursor.insertText(QStringLiteral("x"));
        if (i % kItemsPerList == 0)
            list = cursor.createList(QTextListFormat::ListDisc);
        else
            list->add(cursor.block());
    }
    cursor.endEditBlock();
    const qint64 time = timer.nsecsElapsed();
    std::printf("%s (Qt alone, %lld blocks):\n  build  %.0f ms, peak +%ld MB\n", name.constData(),
                static_cast<long long>(count), double(time) / 1e6,
                (peakKilobytes() - baseline) / 1024);
    return 0;
}

// Runs in the child: one input, read and written, peak memory above the start-up baseline.
int measure(const QByteArray& name, int scale)
{
    const QByteArray rtf = generate(name, scale);
    const long baseline = peakKilobytes();
    QElapsedTimer timer;

    QTextDocument document;
    timer.start();
    RichText::readRtf(rtf, &document);
    const qint64 readTime = timer.nsecsElapsed();
    const long readPeak = peakKilobytes() - baseline;

    timer.start();
    const QByteArray written = RichText::writeRtf(&document);
    const qint64 writeTime = timer.nsecsElapsed();

    std::printf("%s (%lld bytes, %d paragraphs):\n", name.constData(),
                static_cast<long long>(rtf.size()), document.blockCount());
    std::printf("  read   %8.1f MB/s  (%.0f ms), peak +%ld MB, %.1f times the input\n",
                megabytesPerSecond(rtf.size(), readTime), double(readTime) / 1e6, readPeak / 1024,
                double(readPeak) * 1024 / double(qMax<qsizetype>(rtf.size(), 1)));
    std::printf("  write  %8.1f MB/s  (%.0f ms, %lld bytes)\n",
                megabytesPerSecond(written.size(), writeTime), double(writeTime) / 1e6,
                static_cast<long long>(written.size()));

    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty()) {
        std::printf("  unrtf  not installed\n");
        return 0;
    }
    QTemporaryFile file;
    if (!file.open())
        return 1;
    file.write(rtf);
    file.close();
    // unrtf writes every picture it meets into its working folder, as pict000.png and on.
    QTemporaryDir pictures;
    QProcess process;
    process.setWorkingDirectory(pictures.path());
    process.setStandardOutputFile(QProcess::nullDevice());
    timer.start();
    process.start(unrtf, {QStringLiteral("--text"), file.fileName()});
    process.waitForFinished(-1);
    const qint64 unrtfTime = timer.nsecsElapsed();
    std::printf("  unrtf --text %6.1f MB/s  (%.0f ms), ours %.1f times as fast\n",
                megabytesPerSecond(rtf.size(), unrtfTime), double(unrtfTime) / 1e6,
                double(unrtfTime) / double(qMax<qint64>(readTime, 1)));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 && args.at(1) == QLatin1String("--case") &&
        args.at(2).startsWith(QLatin1String("qt-")))
        return measureBareQt(args.at(2).toLatin1(),
                             args.size() > 3 ? qMax(1, args.at(3).toInt()) : 1);
    if (args.size() > 2 && args.at(1) == QLatin1String("--case"))
        return measure(args.at(2).toLatin1(), args.size() > 3 ? qMax(1, args.at(3).toInt()) : 1);

    const QString scale = args.size() > 1 ? args.at(1) : QStringLiteral("1");
    for (const char* name : {"note-1MB", "note-10MB", "par", "qt-par", "bullets", "qt-bullets",
                             "bold-runs", "field-instruction", "pictures-64MB", "picture-copies"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--case"), QLatin1String(name), scale});
        child.waitForFinished(-1);
        std::fflush(stdout);
    }
    return 0;
}
