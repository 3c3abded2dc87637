// Reads and writes generated RTF notes of 1 MB and 10 MB and prints the throughput both ways,
// with `unrtf --text` on the same file for comparison when it is installed.
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextDocument>
#include <cstdio>

namespace {

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
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
        "\\fi-200\\li200 buy \\ul milk\\ulnone  and bread\\par\r\n",
        "{\\pntext\\f1\\'B7\\tab}\\f2\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\f0 , \\fs28 big\\fs20  "
        "text\\par\r\n",
        "\\pard\\qc\\highlight2 centred line with \\strike old\\strike0  "
        "words\\highlight0\\par\r\n",
        "\\pard A plain paragraph of ordinary text that goes on for a while to fill the note.\\par"
        "\r\n",
    };
    for (int i = 0; rtf.size() < size; ++i)
        rtf += paragraphs[i % std::size(paragraphs)];
    rtf += "}\r\n";
    return rtf;
}

double megabytesPerSecond(qsizetype bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? (double(bytes) / (1024.0 * 1024.0)) / (double(nanoseconds) / 1e9) : 0;
}

void measure(const char* label, qsizetype size)
{
    const QByteArray rtf = generateNote(size);
    QElapsedTimer timer;

    QTextDocument document;
    timer.start();
    RichText::readRtf(rtf, &document);
    const qint64 readTime = timer.nsecsElapsed();

    timer.start();
    const QByteArray written = RichText::writeRtf(&document);
    const qint64 writeTime = timer.nsecsElapsed();

    std::printf("%s note (%lld bytes, %d paragraphs):\n", label, static_cast<long long>(rtf.size()),
                document.blockCount());
    std::printf("  read   %8.1f MB/s  (%.0f ms)\n", megabytesPerSecond(rtf.size(), readTime),
                readTime / 1e6);
    std::printf("  write  %8.1f MB/s  (%.0f ms, %lld bytes)\n",
                megabytesPerSecond(written.size(), writeTime), writeTime / 1e6,
                static_cast<long long>(written.size()));

    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty()) {
        std::printf("  unrtf  not installed\n");
        return;
    }
    QTemporaryFile file;
    if (!file.open())
        return;
    file.write(rtf);
    file.close();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    timer.start();
    process.start(unrtf, {QStringLiteral("--text"), file.fileName()});
    process.waitForFinished(-1);
    const qint64 unrtfTime = timer.nsecsElapsed();
    std::printf("  unrtf --text %6.1f MB/s  (%.0f ms)\n", megabytesPerSecond(rtf.size(), unrtfTime),
                unrtfTime / 1e6);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    measure("1 MB", 1024 * 1024);
    measure("10 MB", 10 * 1024 * 1024);
    return 0;
}
