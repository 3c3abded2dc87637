#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Paths.h"
#include "store/NotesFolder.h"
#include "store/modNote.h"

#include <QtTest>
#include <csignal>

namespace {
// Runs a later start to its end: true when it ended by itself with status 0.
bool handsOver(const XServer& x, const QStringList& arguments,
               const QString& folder = QDir::tempPath())
{
    QProcess later;
    later.setWorkingDirectory(folder);
    if (!x.launch(later, arguments) || !later.waitForFinished(15000))
        return false;
    return later.exitStatus() == QProcess::NormalExit && later.exitCode() == 0;
}

// The socket where the session's running Jottex listens.
QString socketOf(const XServer& x)
{
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/jottex/display-") +
           x.display();
}
} // namespace

// The real program under a real X server: notes waiting from the last session come back, and
// one Jottex runs in a session.
class TestStartUpEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void waitingNotesComeBackAsWindows()
    {
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        for (int i = 0; i < 3; ++i)
            modNote::SaveMainNote(
                Samples::note(QStringLiteral("note %1").arg(i), 600 + 3600 * i, 450));
        QVERIFY(QFile::exists(AppPaths::mainDataFile()));

        QProcess jottex;
        QVERIFY2(x.launch(jottex), qPrintable(jottex.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        QCOMPARE(jottex.state(), QProcess::Running);

        jottex.kill();
        jottex.waitForFinished(5000);
    }

    // Arguments are the user's, even where they look like the toolkit's own options: the
    // joined command line names a note file whose name starts with "-reverse".
    void noteFileNamedLikeAnOptionOpens()
    {
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QTemporaryDir folder;
        const NoteRecord stored = Samples::note(QStringLiteral("dash"), 600, 450);
        const QString path = folder.filePath(QStringLiteral("-reverse -name.not"));
        QCOMPARE(modNote::SaveNote(stored, path), path);

        QProcess jottex;
        jottex.setWorkingDirectory(folder.path());
        QVERIFY2(x.launch(jottex, {QStringLiteral("-reverse"), QStringLiteral("-name.not")}),
                 qPrintable(jottex.errorString()));
        QStringList notes;
        QTRY_VERIFY_WITH_TIMEOUT(!(notes = x.noteWindowIds()).isEmpty(), 20000);
        QCOMPARE(notes.size(), 1);
        // The stored note's size, not a blank note's.
        QTRY_COMPARE_WITH_TIMEOUT(x.geometry(notes.first()).size(), QSize(223, 191), 5000);

        jottex.kill();
        jottex.waitForFinished(5000);
    }

    // A later start hands its command line to the first and ends: a note file (named relative
    // to the later start's folder) opens there, no argument and --new each give a new note,
    // and --toggle takes every note off the screen and brings them back.
    void laterStartsHandOverToTheFirst()
    {
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestEnvironment::resetFolders();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("handed.not"));
        QCOMPARE(modNote::SaveNote(Samples::note(QStringLiteral("handed"), 600, 450), path), path);

        QProcess first;
        QVERIFY2(x.launch(first), qPrintable(first.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 1, 20000);
        const QString blank = x.noteWindowIds().first();

        QVERIFY(handsOver(x, {QStringLiteral("handed.not")}, folder.path()));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 2, 10000);
        QStringList fromFile = x.noteWindowIds();
        fromFile.removeAll(blank);
        // The stored note's size, not a blank note's.
        QTRY_COMPARE_WITH_TIMEOUT(x.geometry(fromFile.first()).size(), QSize(223, 191), 5000);

        QVERIFY(handsOver(x, {}));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 3, 10000);
        const QStringList before = x.noteWindowIds();
        QVERIFY(handsOver(x, {QStringLiteral("--new")}));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 4, 10000);
        // The new note has the keyboard, for the user who pressed a key to get it.
        QStringList added = x.noteWindowIds();
        for (const QString& id : before)
            added.removeAll(id);
        QTRY_COMPARE_WITH_TIMEOUT(
            x.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed(),
            added.value(0), 5000);

        QVERIFY(handsOver(x, {QStringLiteral("--toggle")}));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 0, 10000);
        QVERIFY(handsOver(x, {QStringLiteral("--toggle")}));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 4, 10000);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        first.waitForFinished(5000);
    }

    // "--notes-folder DIR", DIR named relative to the later start's folder, switches the
    // running Jottex: the folder's note opens beside the open one, which gets its file there.
    // At the logout both stay in the folder, and jottex.dat keeps neither.
    void notesFolderIsHandedOver()
    {
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestEnvironment::resetFolders();
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("Synced Notes"));
        QVERIFY(NotesFolder::adopt(folder).ok());
        NoteRecord synced = Samples::note(QStringLiteral("from elsewhere"), 4200, 450);
        synced.FolderId = NotesFolder::newId();
        QVERIFY(NotesFolder::write(folder, synced).ok());
        modNote::SaveMainNote(Samples::note(QStringLiteral("kept here"), 600, 450));
        const auto filesInFolder = [&folder] {
            const Expected<QList<NotesFolder::Entry>> entries = NotesFolder::scan(folder);
            return entries.ok() ? entries.value().size() : -1;
        };

        QProcess first;
        QVERIFY2(x.launch(first), qPrintable(first.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 1, 20000);
        QVERIFY(handsOver(x, {QStringLiteral("--notes-folder"), QStringLiteral("Synced Notes")},
                          work.path()));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(filesInFolder(), 2, 10000);
        QCOMPARE(NotesFolder::configured(), folder);

        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(filesInFolder(), 2);
        QVERIFY(modNote::LoadNote(true, QString()).isEmpty());
    }

    // A first start killed outright leaves its socket behind; the next start takes it over,
    // and the one after that hands over to it. Two starting at the same moment end as one.
    void killedFirstStartsSocketIsTakenOver()
    {
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestEnvironment::resetFolders();
        QProcess killed;
        QVERIFY2(x.launch(killed), qPrintable(killed.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socketOf(x)), 5000);
        killed.kill();
        QVERIFY(killed.waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 0, 5000);
        QVERIFY(QFileInfo::exists(socketOf(x)));

        // Both start while the socket is stale: one takes it, the other hands over to it.
        QProcess next;
        QProcess together;
        QVERIFY(x.launch(next, {QStringLiteral("--new")}));
        QVERIFY(x.launch(together, {QStringLiteral("--new")}));
        QProcess* ended = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((ended = next.state() == QProcess::NotRunning ? &next
                                          : together.state() == QProcess::NotRunning
                                              ? &together
                                              : nullptr) != nullptr,
                                 20000);
        QCOMPARE(ended->exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended->exitCode(), 0);
        QProcess& running = ended == &next ? together : next;
        // Each start's new note (the killed run's blank note was nothing to keep).
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 2, 20000);
        QVERIFY(handsOver(x, {QStringLiteral("--new")}));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 3, 10000);
        QCOMPARE(running.state(), QProcess::Running);

        running.kill();
        running.waitForFinished(5000);
    }
};

JOTTEX_TEST_MAIN(TestStartUpEndToEnd)
#include "tst_startup_e2e.moc"
