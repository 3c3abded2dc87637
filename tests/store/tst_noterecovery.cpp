#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "shell/Paths.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"

#include <QThreadPool>
#include <QtTest>
#include <sys/prctl.h>

namespace {
// Run as a child, the program claims every orphaned recovery file it finds and prints the name
// each had before.
const char* const kClaimSwitch = "--claim-orphans";
constexpr int kOrphans = 40;
constexpr qint64 kEndedRun = 999999000;

QString goFile()
{
    return AppPaths::appDirectory() + QStringLiteral("/go");
}

int claimOrphans()
{
    // Named as the program is, so that the other child counts this one's claims as live.
    prctl(PR_SET_NAME, "jottex-claimer");
    const auto waitFor = [](const auto& condition) {
        QDeadlineTimer deadline(20000);
        while (!condition() && !deadline.hasExpired())
            QThread::msleep(5);
    };
    // Both copies start claiming at the same moment.
    waitFor([] { return QFile::exists(goFile()); });
    QTextStream out(stdout);
    for (const QString& orphan : NoteRecovery::orphanedFiles()) {
        if (!NoteRecovery::claim(orphan).isEmpty())
            out << QFileInfo(orphan).fileName() << Qt::endl;
    }
    // A copy that ended leaves its claims to the next start: both stay until both are done.
    const QString folder = AppPaths::appDirectory();
    TestEnvironment::writeFile(
        folder + QStringLiteral("/done-%1").arg(QCoreApplication::applicationPid()), "done");
    waitFor([&] { return QDir(folder).entryList({QStringLiteral("done-*")}).size() == 2; });
    return 0;
}

// What the open notes are, as the window floor would report them.
NoteRecordList& openNotes()
{
    static NoteRecordList notes;
    return notes;
}

NoteRecordList currentNotes()
{
    return openNotes();
}

NoteRecord note(const QString& text)
{
    NoteRecord record;
    record.Color = QStringLiteral("yellow");
    record.Data = text;
    return record;
}

QStringList keptTexts(const QString& file = NoteRecovery::path())
{
    QStringList texts;
    for (const NoteRecord& record : modNote::LoadNote(false, file))
        texts << record.Data;
    return texts;
}
} // namespace

// The recovery file follows the notes the installed source reports: written a moment after a
// change, gone at once when the last note is closed.
class TestNoteRecovery : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        NoteRecovery::setRecordSource(&currentNotes);
        openNotes() = {note(QStringLiteral("one")), note(QStringLiteral("two"))};
    }

    void cleanup() { NoteRecovery::remove(); }

    void noSourceMeansNoNoteIsOpen()
    {
        NoteRecovery::setRecordSource(nullptr);
        QVERIFY(NoteRecovery::openRecords().isEmpty());
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    void changeIsWrittenAfterTheDelayWithLaterChanges()
    {
        QElapsedTimer since;
        since.start();
        NoteRecovery::noteChanged();
        QVERIFY(!QFile::exists(NoteRecovery::path()));
        openNotes().append(note(QStringLiteral("three")));
        NoteRecovery::noteChanged();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(NoteRecovery::path()),
                                 NoteRecovery::WriteDelayMs * 3);
        QVERIFY(since.elapsed() >= NoteRecovery::WriteDelayMs - 100);
        QCOMPARE(keptTexts(), (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                           QStringLiteral("three")}));
    }

    // A note that shows on every workspace comes back from a crash the same way.
    void recoveryFileKeepsTheWorkspaces()
    {
        openNotes()[1].OnAllWorkspaces = true;
        QVERIFY(NoteRecovery::writeNow().ok());
        QList<bool> everywhere;
        for (const NoteRecord& record : modNote::LoadNote(false, NoteRecovery::path()))
            everywhere << record.OnAllWorkspaces;
        QCOMPARE(everywhere, (QList<bool>{false, true}));
    }

    // The timer's write goes to disk on a pooled thread; a removal asked for meanwhile wins:
    // no file comes back after it.
    void removalWhileAWriteRunsLeavesNoFile()
    {
        openNotes().append(note(QStringLiteral("long ").repeated(800000)));
        NoteRecovery::noteChanged();
        QTRY_VERIFY_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount() > 0 ||
                                     QFile::exists(NoteRecovery::path()),
                                 NoteRecovery::WriteDelayMs * 3);
        NoteRecovery::remove();
        QVERIFY(QThreadPool::globalInstance()->waitForDone(30000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    void closingTheLastNoteRemovesTheFileAtOnce()
    {
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(QFile::exists(NoteRecovery::path()));
        // One note left: the file is rewritten later, not removed.
        openNotes().removeFirst();
        NoteRecovery::noteClosed();
        QCOMPARE(keptTexts().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(keptTexts(), QStringList{QStringLiteral("two")},
                                  NoteRecovery::WriteDelayMs * 3);
        openNotes().clear();
        NoteRecovery::noteClosed();
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    void onlyFilesOfEndedRunsAreOrphans_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("process");
        QTest::addColumn<bool>("orphan");
        const qint64 self = QCoreApplication::applicationPid();
        QTest::newRow("this run") << QStringLiteral("session-%1.recovery").arg(self) << self
                                  << false;
        QTest::newRow("ended run")
            << QStringLiteral("session-999999999.recovery") << qint64(999999999) << true;
        QTest::newRow("no number") << QStringLiteral("session-.recovery") << qint64(0) << true;
        QTest::newRow("not digits") << QStringLiteral("session-12a.recovery") << qint64(0) << true;
        QTest::newRow("other prefix") << QStringLiteral("other-12.recovery") << qint64(0) << false;
        QTest::newRow("taken over by an ended run")
            << QStringLiteral("session-999999999-3.recovery") << qint64(999999999) << true;
        QTest::newRow("taken over by this run")
            << QStringLiteral("session-%1-1.recovery").arg(self) << self << false;
        QTest::newRow("dash without number")
            << QStringLiteral("session-999999999-.recovery") << qint64(0) << true;
        QTest::newRow("dash and letters")
            << QStringLiteral("session-999999999-x.recovery") << qint64(0) << true;
    }

    void onlyFilesOfEndedRunsAreOrphans()
    {
        QFETCH(QString, name);
        QFETCH(qint64, process);
        QFETCH(bool, orphan);
        const QString file = AppPaths::appDirectory() + QLatin1Char('/') + name;
        QVERIFY(TestEnvironment::writeFile(file, "<NOTES>\r\n</NOTES>\r\n"));
        QCOMPARE(NoteRecovery::processOf(file), process);
        QCOMPARE(NoteRecovery::orphanedFiles().contains(file), orphan);
    }

    // Two copies starting at the same moment both see every orphan; each file goes to one.
    void twoCopiesClaimEachOrphanOnce()
    {
        QStringList orphans;
        for (int i = 0; i < kOrphans; ++i) {
            orphans << QStringLiteral("session-%1.recovery").arg(kEndedRun + i);
            QVERIFY(
                modNote::WriteNoteList({note(QString::number(i))},
                                       AppPaths::appDirectory() + QLatin1Char('/') + orphans.last())
                    .ok());
        }
        QList<QProcess*> copies;
        for (int i = 0; i < 2; ++i) {
            auto* copy = new QProcess(this);
            copy->setProcessChannelMode(QProcess::SeparateChannels);
            copies << copy;
        }
        QList<qint64> owners;
        for (QProcess* copy : copies) {
            copy->start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(kClaimSwitch)});
            QVERIFY(copy->waitForStarted(10000));
            owners << copy->processId();
        }
        QVERIFY(TestEnvironment::writeFile(goFile(), "go"));
        QStringList claimed;
        for (QProcess* copy : copies) {
            QVERIFY(copy->waitForFinished(20000));
            QCOMPARE(copy->exitCode(), 0);
            claimed += QString::fromUtf8(copy->readAllStandardOutput())
                           .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        claimed.sort();
        orphans.sort();
        QCOMPARE(claimed, orphans);
        // Each kept its claims under names of its own, all still there to read.
        const QStringList left =
            QDir(AppPaths::appDirectory()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
        QCOMPARE(left.size(), kOrphans);
        for (const QString& name : left) {
            const qint64 owner = NoteRecovery::processOf(name);
            QVERIFY2(owners.contains(owner), qPrintable(name));
        }
    }

    // A data folder that refuses the file (here a folder in its place) sends the notes to the
    // spare folder; the user hears of it once, the log says where, and they come home as soon
    // as they can.
    void refusedFileGoesToTheSpareFolder()
    {
        QVERIFY(QDir().mkpath(NoteRecovery::path()));
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(NoteRecovery::writeNow().ok());
        const QString spare = NoteRecovery::sparePath();
        QVERIFY(spare.startsWith(QDir::tempPath()));
        QCOMPARE(keptTexts(spare), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        QCOMPARE(DialogSeam::requests().size(), 1);
        QVERIFY(DialogSeam::requests()[0].text.contains(QStringLiteral("cannot write to its data "
                                                                       "folder")));
        QVERIFY(DialogSeam::requests()[0].text.contains(spare));
        QCOMPARE(TestEnvironment::logLines().filter(spare).size(), 1);
        // The spare file of a run that ended counts as an orphan like any other.
        QVERIFY(!NoteRecovery::orphanedFiles().contains(spare));

        QVERIFY(QDir(NoteRecovery::path()).removeRecursively());
        openNotes().append(note(QStringLiteral("three")));
        QVERIFY(NoteRecovery::writeNow().ok());
        QCOMPARE(keptTexts().size(), 3);
        QVERIFY(!QFile::exists(spare));
        QCOMPARE(DialogSeam::requests().size(), 1);
    }

    // Files taken over from ended runs go with the run that held them; every removal is in the
    // log.
    void claimsGoWhenTheRunEndsNormally()
    {
        const QString orphan =
            AppPaths::appDirectory() + QStringLiteral("/session-999999998.recovery");
        QVERIFY(modNote::WriteNoteList({note(QStringLiteral("old"))}, orphan).ok());
        const QString claimed = NoteRecovery::claim(orphan);
        QCOMPARE(NoteRecovery::processOf(claimed), QCoreApplication::applicationPid());
        QVERIFY(!QFile::exists(orphan));
        QCOMPARE(NoteRecovery::claim(orphan), QString()); // already taken
        QVERIFY(!NoteRecovery::orphanedFiles().contains(claimed));
        QVERIFY(NoteRecovery::writeNow().ok());
        NoteRecovery::remove();
        QVERIFY(!QFile::exists(claimed));
        QVERIFY(!QFile::exists(NoteRecovery::path()));
        QCOMPARE(TestEnvironment::logLines().filter(claimed + QStringLiteral(" removed")).size(),
                 1);
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], kClaimSwitch) == 0) {
        QCoreApplication app(argc, argv);
        return claimOrphans();
    }
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestNoteRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_noterecovery.moc"
