#include "TestEnvironment.h"
#include "TestSeams.h"
#include "app/SessionEnd.h"
#include "app/StartUp.h"
#include "dialogs/DialogSeam.h"
#include "manager/FolderNotes.h"
#include "shell/Paths.h"
#include "store/NoteRecovery.h"
#include "store/NotesFolder.h"
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
enum class ChildMode { Answering, Busy, BusyOnFullDisk, StuckGatheringNotes, BusyWithNotesFolder };
const QStringList kModeNames{QStringLiteral("answering"), QStringLiteral("busy"),
                             QStringLiteral("busy-full-disk"), QStringLiteral("stuck-gathering"),
                             QStringLiteral("busy-notes-folder")};
const QString kNoteText = QStringLiteral("typed before the program froze");
// How long the watchdog waits in a child that will not answer; one that answers gets the
// program's own patience, so a slow machine cannot make it look stuck.
constexpr std::chrono::milliseconds kStuckChildPatience{300};
// What the child returns when nothing ended it while it was busy.
constexpr int kNeverEnded = 3;

// The notes folder of a child that uses one: in the data folder both processes share.
QString childNotesFolder()
{
    return AppPaths::appDirectory() + QStringLiteral("/synced");
}

// The texts of the note files in folder, sorted.
QStringList folderTexts(const QString& folder)
{
    QStringList texts;
    const Expected<QList<NotesFolder::Entry>> entries = NotesFolder::scan(folder);
    if (entries.failed())
        return texts;
    for (const NotesFolder::Entry& entry : entries.value()) {
        const Expected<NoteRecord> record = NotesFolder::read(entry.path);
        texts << (record.ok() ? record.value().Data : QStringLiteral("unreadable"));
    }
    texts.sort();
    return texts;
}

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
    if (mode == ChildMode::BusyWithNotesFolder &&
        (!QDir().mkpath(childNotesFolder()) || FolderNotes::use(childNotesFolder()).failed()))
        return kNeverEnded;
    frmMain* window = frmMain::create(NoteOrigin::NewNote);
    window->show();
    window->RTB1()->setFocus();
    QTest::keyClicks(window->RTB1(), kNoteText);
    // The note's file is written a moment after the change, as the recovery file is.
    if (mode == ChildMode::BusyWithNotesFolder &&
        !QTest::qWaitFor([] { return folderTexts(childNotesFolder()).size() == 1; }, 10000))
        return kNeverEnded;
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

    // Runs this program as a child in mode until it is ready, then ends its session. The
    // child's process number; 0 when it never got ready or did not end.
    static qint64 endChildSession(QProcess& child, ChildMode mode)
    {
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.setReadChannel(QProcess::StandardOutput);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildSwitch), kModeNames.at(int(mode))});
        if (!QTest::qWaitFor([&] { return child.readAllStandardOutput().contains("ready"); },
                             20000))
            return 0;
        const qint64 process = child.processId();
        // The snapshot the watchdog keeps when the program does not answer.
        if (!QFile::exists(AppPaths::appDirectory() +
                           QStringLiteral("/session-%1.recovery").arg(process)))
            return 0;
        ::kill(static_cast<pid_t>(process), SIGTERM);
        return child.waitForFinished(15000) ? process : 0;
    }

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void cleanup()
    {
        qDeleteAll(frmMain::openWindows());
        if (FolderNotes::active())
            QVERIFY(FolderNotes::use(QString()).ok());
    }

    // With a notes folder, the logout writes every note to its file there and leaves
    // jottex.dat without it. A folder that went away (unmounted) cannot take them: they go to
    // jottex.dat instead. Either way the recovery file goes once they are kept.
    void logoutKeepsFolderNotesInTheFolder_data()
    {
        QTest::addColumn<bool>("folderThere");
        QTest::newRow("folder there") << true;
        QTest::newRow("folder gone") << false;
    }

    void logoutKeepsFolderNotesInTheFolder()
    {
        QFETCH(bool, folderThere);
        const QString folder = AppPaths::appDirectory() + QStringLiteral("/synced");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(FolderNotes::use(folder).ok());
        for (int i = 0; i < 2; ++i) {
            frmMain* window = frmMain::create(NoteOrigin::NewNote);
            window->show();
            window->RTB1()->setFocus();
            QTest::keyClicks(window->RTB1(), QStringLiteral("note %1").arg(i));
        }
        // Each has its file a moment after its change, as it has its place in the recovery file.
        QTRY_COMPARE(folderTexts(folder).size(), 2);
        // Typed last, too late for that: only the logout writes it.
        for (frmMain* window : frmMain::openWindows())
            QTest::keyClicks(window->RTB1(), QStringLiteral(" and last"));
        QVERIFY(NoteRecovery::writeNow().ok());
        if (!folderThere)
            QVERIFY(QDir(folder).removeRecursively());

        SessionEnd::endSession();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(frmMain::openWindows().isEmpty());
        const QStringList inFolder = folderTexts(folder);
        const NoteRecordList inMainFile = modNote::LoadNote(true, QString());
        const QStringList kept = folderThere ? inFolder : [&] {
            QStringList texts;
            for (const NoteRecord& record : inMainFile)
                texts << record.Data;
            return texts;
        }();
        QCOMPARE(kept.size(), 2);
        for (int i = 0; i < 2; ++i)
            QVERIFY2(kept[i].contains(QStringLiteral("note %1 and last").arg(i)),
                     qPrintable(kept[i]));
        QCOMPARE(inMainFile.size(), folderThere ? 0 : 2);
        QCOMPARE(QFile::exists(AppPaths::mainDataFile()), !folderThere);
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    // A logout the watchdog finishes keeps the recovery snapshot in jottex.dat, folder notes
    // too; the name each has in the folder goes with it, so the next start opens each once.
    void watchdogsLogoutOpensEachFolderNoteOnce()
    {
        QProcess child;
        QVERIFY(endChildSession(child, ChildMode::BusyWithNotesFolder) != 0);
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 1);
        QVERIFY(!kept.first().FolderId.isEmpty());
        QCOMPARE(folderTexts(childNotesFolder()).size(), 1);

        modMain::Main(QString());
        const QList<frmMain*> windows = frmMain::openWindows();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first()->RTB1()->toPlainText().trimmed(), kNoteText);
    }

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
        const qint64 process = endChildSession(child, static_cast<ChildMode>(mode));
        QVERIFY(process != 0);
        const QString recoveryFile =
            AppPaths::appDirectory() + QStringLiteral("/session-%1.recovery").arg(process);
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
