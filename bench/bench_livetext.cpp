// Prints what the shapes of text a user can drop, paste, log or open cost a real note window: the
// time until the note shows the outcome (its text, or the box that says why not), and the
// worst lateness of a 10 ms timer over the seconds after it, while the text area lays out in
// the background and the window's own timers (links, recovery) run.
// Usage: QT_QPA_PLATFORM=offscreen bench_livetext [seconds to probe, default 3] [shape's words]
// (offscreen paints into the same backing store as a real screen; its costs are the same)
#include "dialogs/DialogSeam.h"
#include "richtext/LiveText.h"
#include "window/NoteEditor.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {
constexpr int kProbeMs = 10;
constexpr double kNanosecondsPerMillisecond = 1e6;

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / kNanosecondsPerMillisecond;
}

// The worst lateness of a 10 ms timer over the period, as the interface answers.
double worstLateness(int periodMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 worst = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last - qint64(kProbeMs) * 1000000);
        last = now;
    });
    probe.start(kProbeMs);
    QEventLoop loop;
    QTimer::singleShot(periodMs, &loop, &QEventLoop::quit);
    loop.exec();
    return milliseconds(worst);
}

QByteArray repeated(const QByteArray& head, const QByteArray& piece, qsizetype count,
                    const QByteArray& tail = {})
{
    QByteArray bytes;
    bytes.reserve(head.size() + piece.size() * count + tail.size());
    bytes += head;
    for (qsizetype n = 0; n < count; ++n)
        bytes += piece;
    return bytes + tail;
}

struct Shape {
    const char* name;
    std::function<QByteArray()> bytes;
    enum How { Drop, Paste, Log, Stored } how;
    std::function<QByteArray()> before = {}; // a log: copied first, untimed
};

// Does what the user does with the bytes to a fresh note; the note's outcome shows when the
// events after it have been handled once (the window painted).
void measure(const Shape& shape, int probeMs)
{
    const QByteArray bytes = shape.bytes();
    DialogSeam::clearRequests();
    QTemporaryDir folder;
    QElapsedTimer clock;
    frmMain* note = nullptr;
    if (shape.how == Shape::Stored) {
        // Restored at login, opened or sent from the manager: a window made from the record.
        NoteRecord record;
        record.Data = QString::fromLatin1(bytes);
        clock.start();
        note = frmMain::create(NoteOrigin::StoredRecord, record);
        note->show();
    } else {
        note = frmMain::create(NoteOrigin::NewNote);
        note->show();
        QApplication::processEvents();
    }
    if (shape.how == Shape::Drop) {
        const QString path = folder.filePath(QStringLiteral("dropped.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return;
        file.close();
        clock.start();
        note->editor().RTB1_OLEDragDrop({path});
    } else if (shape.how == Shape::Paste) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes));
        clock.start();
        note->editor().mnuEdit_Click(int(EditItem::Paste));
    } else if (shape.how == Shape::Log) {
        note->triggerMenuItem(NoteMenus::mnuSNClipboardLog);
        if (shape.before)
            QGuiApplication::clipboard()->setText(QString::fromUtf8(shape.before()));
        QApplication::processEvents();
        (void)worstLateness(probeMs); // laid out before the copy that is measured
        clock.start();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes));
    }
    QApplication::processEvents();
    const double shown = milliseconds(clock.nsecsElapsed());
    const double late = worstLateness(probeMs);
    const LiveText::Size size = LiveText::sizeOf(note->RTB1()->document());
    std::printf("%-52s %6.1f MB  shown %7.0f ms  worst lateness %5.0f ms  note: %lld lines, "
                "%lld characters%s%s\n",
                shape.name, double(bytes.size()) / 1e6, shown, late,
                static_cast<long long>(size.paragraphs), static_cast<long long>(size.characters),
                DialogSeam::requests().isEmpty() ? "" : ", refused with a message",
                note->showsPart() ? ", its start shown, kept whole" : "");
    // Closed and gone before the next shape, which would otherwise pay for it.
    clock.restart();
    const QPointer<frmMain> closing(note);
    note->closeForSessionEnd();
    while (closing)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf("%-52s closed and deleted in %.0f ms\n", "", milliseconds(clock.nsecsElapsed()));
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int probeMs = argc > 1 ? std::max(1, std::atoi(argv[1])) * 1000 : 3000;
    DialogSeam::arm();
    const QByteArray line = "Buy milk and eggs, call Ann about the plan for Sunday noon.\n";
    const qsizetype atLimitLines = LiveText::kMaxCharacters / (line.size() - 1);
    const Shape shapes[] = {
        {"RTF of 1,000,000 \\par, dropped",
         [] { return repeated("{\\rtf1\\ansi ", "\\par\n", 1000000, "}"); }, Shape::Drop},
        {"text of 1,950,000 paragraphs (9.75 MB), dropped",
         [] { return repeated({}, "abcd\n", 1950000); }, Shape::Drop},
        {"RTF of 19,999 \\par (at the limit), dropped",
         [] { return repeated("{\\rtf1\\ansi ", "\\par\n", LiveText::kMaxParagraphs - 1, "}"); },
         Shape::Drop},
        {"text of 60-character lines (at the limit), dropped",
         [&] { return repeated({}, line, atLimitLines); }, Shape::Drop},
        {"one paragraph of 200,000 characters, dropped",
         [] { return repeated({}, "word ", LiveText::kMaxCharacters / 5); }, Shape::Drop},
        {"one word of 200,000 characters (no blank), dropped",
         [] { return QByteArray(LiveText::kMaxCharacters, 'w'); }, Shape::Drop},
        {"words of 1,999 characters (at the limit), dropped",
         [] { return repeated({}, QByteArray(LiveText::kMaxWord - 1, 'w') + ' ', 100); },
         Shape::Drop},
        {"text of 1,950,000 paragraphs, pasted", [] { return repeated({}, "abcd\n", 1950000); },
         Shape::Paste},
        {"text of 60-character lines (at the limit), pasted",
         [&] { return repeated({}, line, atLimitLines); }, Shape::Paste},
        {"50 MB text copied into a clipboard log",
         [&] { return repeated({}, line, 50000000 / line.size()); }, Shape::Log},
        {"50 MB copy without a blank into a clipboard log",
         [] { return QByteArray(50000000, 'w'); }, Shape::Log},
        {"a 2,000-character copy into a full clipboard log", [] { return repeated({}, "x", 2000); },
         Shape::Log, [&] { return repeated({}, line, atLimitLines); }},
        {"stored RTF of 1,000,000 lines (10 MB), restored",
         [] { return repeated("{\\rtf1\\ansi ", "line\\par\n", 1000000, "}"); }, Shape::Stored},
        {"stored text of 10,000,000 characters without a blank",
         [] { return QByteArray(10000000, 'w'); }, Shape::Stored},
        {"stored RTF of 19,999 \\par (at the limit), restored",
         [] { return repeated("{\\rtf1\\ansi ", "\\par\n", LiveText::kMaxParagraphs - 1, "}"); },
         Shape::Stored},
    };
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    for (const Shape& shape : shapes) {
        if (QString::fromLatin1(shape.name).contains(only))
            measure(shape, probeMs);
    }
    return 0;
}
