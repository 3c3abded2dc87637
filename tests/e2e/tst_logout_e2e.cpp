#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "XsmpServer.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QSessionManager>
#include <QtTest>
#include <csignal>

// The logout cycle with the real program under a window manager: notes kept at the end of
// the session come back at the next start, in the same places.
class TestLogoutEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;

    // Notes side by side, each a little taller than the one before.
    static NoteRecord note(int i)
    {
        NoteRecord record = Samples::note(QStringLiteral("note %1").arg(i), 600 + 4500 * i, 1500);
        record.Height += 150 * i;
        return record;
    }

    void start(QProcess& jottex) { QVERIFY2(m_x.launch(jottex), qPrintable(jottex.errorString())); }

    QStringList notes() const { return m_x.noteWindowIds(); }

    // The recovery file of a running copy.
    static QString recoveryFileOf(const QProcess& jottex)
    {
        return AppPaths::appDirectory() +
               QStringLiteral("/session-%1.recovery").arg(jottex.processId());
    }

private slots:
    void initTestCase()
    {
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void notesSurviveTheSession()
    {
        for (int i = 0; i < 3; ++i)
            modNote::SaveMainNote(note(i));

        QProcess first;
        start(first);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        QList<QRect> places;
        for (const QString& id : notes())
            places << m_x.geometry(id);
        std::sort(places.begin(), places.end(),
                  [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
        for (int i = 0; i < 3; ++i) {
            const NoteRecord expected = note(i);
            QCOMPARE(places[i], QRect(expected.Left / 15, expected.Top / 15, expected.Width / 15,
                                      expected.Height / 15));
        }

        // The session ends: every note is kept, in window order, without a prompt.
        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(first.state(), QProcess::NotRunning, 15000);
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(kept[i].Data.contains(QStringLiteral("note %1").arg(i)));
            QCOMPARE(kept[i].Left, note(i).Left);
            QCOMPARE(kept[i].Height, note(i).Height);
        }
        QVERIFY(QFile::exists(AppPaths::autostartFile()));

        // The next login brings them back; closing them by hand removes the autostart entry.
        QProcess second;
        start(second);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        for (int open = 3; open > 0; --open) {
            const QRect place = m_x.geometry(notes().first());
            m_x.run(QStringLiteral("xdotool"),
                    {QStringLiteral("mousemove"), QString::number(place.right() - 5),
                     QString::number(place.top() + 8), QStringLiteral("click"),
                     QStringLiteral("1")});
            // Restored notes count as changed: answer the save prompt with No (the button
            // after the default Yes).
            QTRY_VERIFY_WITH_TIMEOUT(!m_x.windowIds(QStringLiteral("^Perform Save$")).isEmpty(),
                                     10000);
            const QRect box = m_x.geometry(m_x.windowIds(QStringLiteral("^Perform Save$")).first());
            // A click on the text gives the prompt the focus (the window manager here does not
            // focus new windows); then No, the middle one of Yes, No and Cancel.
            for (const int y : {box.top() + 20, box.bottom() - 22}) {
                m_x.run(QStringLiteral("xdotool"),
                        {QStringLiteral("mousemove"), QString::number(box.center().x()),
                         QString::number(y), QStringLiteral("click"), QStringLiteral("1")});
                QTest::qWait(300);
            }
            QTRY_COMPARE_WITH_TIMEOUT(notes().size(), open - 1, 10000);
        }
        // The program ends with its last note (the wait may already have seen it go).
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 15000);
        QVERIFY(!QFile::exists(AppPaths::autostartFile()));
        QVERIFY(!QFile::exists(AppPaths::mainDataFile()));
    }

    // The session ends while a note's save prompt is open: the note is kept all the same and
    // the prompt does not hold up the exit.
    void logoutDuringTheSavePromptKeepsTheNote()
    {
        TestEnvironment::resetFolders();
        modNote::SaveMainNote(note(0));
        QProcess jottex;
        start(jottex);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 1, 20000);
        const QRect place = m_x.geometry(notes().first());
        m_x.run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(place.right() - 5),
                 QString::number(place.top() + 8), QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(!m_x.windowIds(QStringLiteral("^Perform Save$")).isEmpty(), 10000);

        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(jottex.state(), QProcess::NotRunning, 5000);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 1);
        QVERIFY(kept[0].Data.contains(QStringLiteral("note 0")));
    }

    // A run killed outright after it restored its notes (and removed the main data file)
    // leaves them in its recovery file, and the next start brings them back.
    void killedRunComesBack()
    {
        TestEnvironment::resetFolders();
        for (int i = 0; i < 2; ++i)
            modNote::SaveMainNote(note(i));
        QProcess first;
        start(first);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 0, 5000);

        QProcess second;
        start(second);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 2, 20000);
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.filter(QStringLiteral("Restored 2 notes")).size(), 1);
        second.kill();
        QVERIFY(second.waitForFinished(5000));
    }

    // A run killed outright, then another copy's logout with a note file of its own: the next
    // start brings back the notes of both.
    void killedRunAndAnotherCopysLogoutBothComeBack()
    {
        TestEnvironment::resetFolders();
        modNote::SaveMainNote(note(0));
        QProcess killed;
        start(killed);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        killed.kill();
        QVERIFY(killed.waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 0, 5000);

        const QString noteFile = QDir::tempPath() + QStringLiteral("/b.not");
        QCOMPARE(modNote::SaveNote(note(1), noteFile), noteFile);
        QProcess other;
        QVERIFY(m_x.launch(other, {noteFile}));
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 1, 20000);
        ::kill(static_cast<pid_t>(other.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(other.state(), QProcess::NotRunning, 15000);
        QVERIFY(QFile::exists(AppPaths::mainDataFile()));

        QProcess next;
        start(next);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        QCOMPARE(TestEnvironment::logLines().filter(QStringLiteral("Restored 1 notes")).size(), 1);
        next.kill();
        QVERIFY(next.waitForFinished(5000));
    }

    // Under a session manager, a checkpoint keeps the program running with its notes on
    // screen (the recovery file holds them); only the end of the session keeps them in the
    // main data file and ends the program. The manager is asked never to restart it.
    void checkpointKeepsRunningUntilTheSessionEnds()
    {
        TestEnvironment::resetFolders();
        XsmpServer manager;
        if (const QString why = manager.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        for (int i = 0; i < 2; ++i)
            modNote::SaveMainNote(note(i));
        QProcess jottex;
        QVERIFY(m_x.launch(jottex, {}, manager.environmentFor(m_x.environment())));
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(manager.hasClient() && manager.savesDone() == 1, 10000);
        QCOMPARE(manager.restartHint(), int(QSessionManager::RestartNever));
        const QString recovery = recoveryFileOf(jottex);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        QVERIFY(QFile::remove(recovery));

        manager.saveYourself(XsmpServer::SaveType::Both, XsmpServer::Ending::Checkpoint);
        QTRY_COMPARE_WITH_TIMEOUT(manager.savesDone(), 2, 10000);
        QVERIFY(manager.lastSaveSucceeded());
        QCOMPARE(modNote::LoadNote(false, recovery).size(), 2);
        QVERIFY(!QFile::exists(AppPaths::mainDataFile()));
        QVERIFY(!QFile::exists(AppPaths::autostartFile()));
        QCOMPARE(notes().size(), 2);
        QCOMPARE(manager.restartHint(), int(QSessionManager::RestartNever));

        // The logout: a save with shutdown, then the end.
        manager.saveYourself(XsmpServer::SaveType::Both, XsmpServer::Ending::Shutdown);
        QTRY_COMPARE_WITH_TIMEOUT(manager.savesDone(), 3, 10000);
        QVERIFY(manager.lastSaveSucceeded());
        QCOMPARE(jottex.state(), QProcess::Running);
        manager.die();
        QTRY_COMPARE_WITH_TIMEOUT(jottex.state(), QProcess::NotRunning, 15000);
        QCOMPARE(jottex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(jottex.exitCode(), 0);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 2);
        QVERIFY(kept[1].Data.contains(QStringLiteral("note 1")));
        QVERIFY(QFile::exists(AppPaths::autostartFile()));
        QVERIFY(!QFile::exists(recovery));
    }

    // An earlier session's manager starts the program as "jottex -session <id>": it brings
    // back the waiting notes as any start does and adds no blank note; with none waiting it
    // ends at once.
    void sessionRestartOpensNothingExtra()
    {
        TestEnvironment::resetFolders();
        XsmpServer manager;
        if (const QString why = manager.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QStringList restart{QStringLiteral("-session"), QStringLiteral("10a2b3c4d_1701")};
        const QProcessEnvironment environment = manager.environmentFor(m_x.environment());
        modNote::SaveMainNote(note(0));
        QProcess withNotes;
        QVERIFY(m_x.launch(withNotes, restart, environment));
        QTRY_VERIFY_WITH_TIMEOUT(manager.hasClient() && manager.savesDone() == 1, 20000);
        QCOMPARE(manager.previousId(), QByteArray("10a2b3c4d"));
        // Once a save is answered, the start is over: whatever it opened is in the file.
        manager.saveYourself(XsmpServer::SaveType::Both, XsmpServer::Ending::Checkpoint);
        QTRY_COMPARE_WITH_TIMEOUT(manager.savesDone(), 2, 10000);
        QCOMPARE(notes().size(), 1);
        const NoteRecordList open = modNote::LoadNote(false, recoveryFileOf(withNotes));
        QCOMPARE(open.size(), 1);
        QVERIFY(open[0].Data.contains(QStringLiteral("note 0")));
        withNotes.kill();
        QVERIFY(withNotes.waitForFinished(5000));

        TestEnvironment::resetFolders();
        QProcess nothingWaits;
        QVERIFY(m_x.launch(nothingWaits, restart, environment));
        QTRY_COMPARE_WITH_TIMEOUT(nothingWaits.state(), QProcess::NotRunning, 15000);
        QCOMPARE(nothingWaits.exitStatus(), QProcess::NormalExit);
        QCOMPARE(nothingWaits.exitCode(), 0);
        QVERIFY(notes().isEmpty());
        QVERIFY(!QFile::exists(AppPaths::autostartFile()));
    }
};

JOTTEX_TEST_MAIN(TestLogoutEndToEnd)
#include "tst_logout_e2e.moc"
