#include "TestEnvironment.h"
#include "TestSeams.h"
#include "app/SessionEnd.h"
#include "dialogs/DialogSeam.h"
#include "shell/Paths.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QProcess>
#include <QtTest>
#include <chrono>
#include <csignal>
#include <thread>

namespace {
// Run as a child, the program shows a note, writes its recovery snapshot, says "ready" and
// then, as the mode says, answers the end of the session or stays busy and does not.
const char* const kChildSwitch = "--note-until-logout";
// How the child spends the end of the session.
enum class ChildMode { Answering, Busy, BusyOnFullDisk, StuckGatheringNotes };
const QStringList kModeNames{QStringLiteral("answering"), QStringLiteral("busy"),
                             QStringLiteral("busy-full-disk"), QStringLiteral("stuck-gathering")};
const QString kNoteText = QStringLiteral("typed before the program froze");
// How long the watchdog waits in a child that will not answer; one that answers gets the
// program's own patience, so a slow machine cannot make it look stuck.
constexpr std::chrono::milliseconds kStuckChildPatience{300};
// What the child returns when nothing ended it while it was busy.
constexpr int kNeverEnded = 3;

// The open notes' records as a note too big to write out quickly gives them: the interface
// thread answers the end of the session but takes far longer than the watchdog waits.
NoteRecordList stuckGathering()
{
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return {};
}

int runChild(ChildMode mode)
{
    DialogSeam::arm();
    SessionEnd::install(mode == ChildMode::Answering ? LogoutWatchdog::DefaultPatience
                                                     : kStuckChildPatience);
    frmMain* window = frmMain::create(NoteOrigin::NewNote);
    window->show();
    window->RTB1()->setFocus();
    QTest::keyClicks(window->RTB1(), kNoteText);
    if (NoteRecovery::writeNow().failed())
        return kNeverEnded;
    // The disk fills after the snapshot: the watchdog's write to the main data file fails.
    TestSeams seams;
    if (mode == ChildMode::BusyOnFullDisk)
        seams.failWritesAfter(0);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    if (mode == ChildMode::StuckGatheringNotes)
        NoteRecovery::setRecordSource(&stuckGathering);
    if (mode == ChildMode::Answering || mode == ChildMode::StuckGatheringNotes)
        return QApplication::exec();
    // The interface thread is stuck, as in a layout that takes minutes: no event is handled.
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return kNeverEnded;
}
} // namespace

// The end of the session keeps every note in the main data file, as one write in window
// order, and asks nothing.
class TestSessionEnd : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void everyNoteIsKeptWithoutPrompt()
    {
        for (int i = 0; i < 3; ++i) {
            frmMain* window = frmMain::create(NoteOrigin::NewNote);
            window->show();
            window->setSizeTwips(3000 + 150 * i, 2400);
            window->RTB1()->setFocus();
            QTest::keyClicks(window->RTB1(), QStringLiteral("note %1").arg(i));
        }
        frmMain::openWindows()[1]->MinimizeNote();
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(QFile::exists(NoteRecovery::path()));

        SessionEnd::endSession();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(frmMain::openWindows().isEmpty());
        QVERIFY(DialogSeam::requests().isEmpty());
        QVERIFY(QFile::exists(AppPaths::autostartFile()));
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 3);
        QCOMPARE(kept[2].Width, 3300);
        QCOMPARE(kept[1].Width, 3150); // minimised: its full size
        QVERIFY(kept[0].Data.contains(QStringLiteral("note 0")));
        // Kept in the main data file, the notes need no recovery file any more.
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    // SIGTERM reaches a program whose interface thread answers, one that is stuck, or one that
    // answers but is stuck gathering its notes: either way the note is kept exactly once and
    // the program ends. When the main data file cannot
    // be written, the note stays in the recovery file for the next start.
    void logoutKeepsTheNoteHoweverBusy_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("keptInMainFile");
        QTest::addColumn<QString>("logged");
        QTest::newRow("answering") << int(ChildMode::Answering) << 0 << true << QString();
        QTest::newRow("busy") << int(ChildMode::Busy) << 0 << true
                              << QStringLiteral("kept the 1 notes of its last recovery snapshot");
        QTest::newRow("stuck gathering the notes")
            << int(ChildMode::StuckGatheringNotes) << 0 << true
            << QStringLiteral("kept the 1 notes of its last recovery snapshot");
        QTest::newRow("busy, disk full") << int(ChildMode::BusyOnFullDisk) << 1 << false
                                         << QStringLiteral("modNote: SaveMainNote");
    }

    void logoutKeepsTheNoteHoweverBusy()
    {
        QFETCH(int, mode);
        QFETCH(int, exitCode);
        QFETCH(bool, keptInMainFile);
        QFETCH(QString, logged);
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.setReadChannel(QProcess::StandardOutput);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildSwitch), kModeNames.at(mode)});
        QVERIFY(QTest::qWaitFor([&] { return child.readAllStandardOutput().contains("ready"); },
                                20000));
        const QString recoveryFile = AppPaths::appDirectory() +
                                     QStringLiteral("/session-%1.recovery").arg(child.processId());
        QVERIFY(QFile::exists(recoveryFile));

        ::kill(static_cast<pid_t>(child.processId()), SIGTERM);
        QVERIFY(child.waitForFinished(15000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), exitCode);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), keptInMainFile ? 1 : 0);
        if (keptInMainFile)
            QVERIFY(kept.first().Data.contains(kNoteText));
        QCOMPARE(QFile::exists(recoveryFile), !keptInMainFile);
        if (!keptInMainFile) {
            const NoteRecordList recovered = modNote::LoadNote(false, recoveryFile);
            QCOMPARE(recovered.size(), 1);
            QVERIFY(recovered.first().Data.contains(kNoteText));
        }
        const QStringList log = TestEnvironment::logLines();
        if (logged.isEmpty())
            QVERIFY2(log.isEmpty(), qPrintable(log.join(QLatin1Char('\n'))));
        else
            QCOMPARE(log.filter(logged).size(), 1);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], kChildSwitch) == 0) {
        // The parent's folders, inherited through the environment.
        int toolkitArgc = 1;
        QApplication app(toolkitArgc, argv);
        app.setAttribute(Qt::AA_Use96Dpi, true);
        const qsizetype mode = kModeNames.indexOf(QString::fromLatin1(argv[2]));
        return mode < 0 ? 2 : runChild(static_cast<ChildMode>(mode));
    }
    TestEnvironment environment;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestSessionEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_sessionend.moc"
