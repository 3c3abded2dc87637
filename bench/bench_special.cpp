// Prints what a special note's refresh costs: one redraw of the time note, and one entry
// appended to a clipboard log that already holds 10,000 entries.
// Usage: QT_QPA_PLATFORM=offscreen bench_special
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "special/modSpecialNote.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdio>

namespace {
constexpr int kTimeRuns = 1000;
constexpr int kLogEntries = 10000;
constexpr int kAppendRuns = 100;
constexpr double kNanosecondsPerMicrosecond = 1000;

// Mean microseconds of one call of step over runs calls.
template <typename Step> double meanMicroseconds(int runs, Step step)
{
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        step(run);
    return double(timer.nsecsElapsed()) / kNanosecondsPerMicrosecond / runs;
}

// As the clipboard log writes an entry: at the end, under the time stamp.
void appendLogEntry(QTextEdit* rtb, int number)
{
    rtb->moveCursor(QTextCursor::End);
    modSpecialNote::AppendLabelledLine(
        rtb, QStringLiteral("copied text number %1, a line of ordinary length").arg(number),
        LocaleFormat::generalDate(Clock::now()));
}
// The same two through note windows, as the timer and the clipboard reach them: the engine,
// the counts and the caption come on top of the text.
void measureThroughNoteWindows()
{
    frmMain* clock = frmMain::create(NoteOrigin::NewNote);
    clock->show();
    clock->triggerMenuItem(NoteMenus::mnuSNTime);
    const double tick = meanMicroseconds(kTimeRuns, [&](int) { clock->specialNotes().tick(); });
    std::printf("time note tick in a note window: %.1f us (mean of %d)\n", tick, kTimeRuns);

    frmMain* log = frmMain::create(NoteOrigin::NewNote);
    log->show();
    log->triggerMenuItem(NoteMenus::mnuSNClipboardLog);
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (int entry = 0; entry < kLogEntries; ++entry)
        clipboard->setText(
            QStringLiteral("copied text number %1, a line of ordinary length").arg(entry));
    QApplication::processEvents();
    const double copy = meanMicroseconds(kAppendRuns, [&](int run) {
        clipboard->setText(QStringLiteral("a new copy %1").arg(run));
    });
    QElapsedTimer settle;
    settle.start();
    QApplication::processEvents();
    std::printf("copy logged by a note window holding %d entries: %.1f us (mean of %d), then "
                "%.1f us of event loop each\n",
                kLogEntries, copy, kAppendRuns,
                double(settle.nsecsElapsed()) / kNanosecondsPerMicrosecond / kAppendRuns);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextEdit rtb;
    rtb.resize(300, 400);
    rtb.show();
    QApplication::processEvents();

    const double timeNote =
        meanMicroseconds(kTimeRuns, [&](int) { modSpecialNote::DisplayTime(&rtb); });
    std::printf("time note refresh: %.1f us (mean of %d)\n", timeNote, kTimeRuns);

    // The cost of an append against the length of the log: flat, or growing with it.
    modSpecialNote::WriteSpecialHeader(&rtb, QStringLiteral("Clipboard Log:\r\n"));
    int entries = 0;
    for (const int size : {kLogEntries / 10, kLogEntries}) {
        QElapsedTimer fill;
        fill.start();
        for (; entries < size; ++entries)
            appendLogEntry(&rtb, entries);
        QApplication::processEvents(); // the layout and paint the event loop would do
        std::printf("filling the log up to %d entries: %lld ms\n", size, fill.elapsed());
        const double append =
            meanMicroseconds(kAppendRuns, [&](int run) { appendLogEntry(&rtb, entries + run); });
        entries += kAppendRuns;
        QElapsedTimer settle;
        settle.start();
        QApplication::processEvents();
        std::printf("log append at %d entries: %.1f us (mean of %d), then %.1f us of event loop "
                    "(layout, paint) each\n",
                    size, append, kAppendRuns,
                    double(settle.nsecsElapsed()) / kNanosecondsPerMicrosecond / kAppendRuns);
    }
    measureThroughNoteWindows();
    return 0;
}
