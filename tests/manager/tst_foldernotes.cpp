#include "NoteWindows.h"
#include "Samples.h"
#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "manager/FolderNotes.h"
#include "richtext/RichText.h"
#include "store/NoteRecovery.h"
#include "store/NotesFolder.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QLabel>
#include <QtTest>
#include <cstdio>

namespace {
constexpr int kWriteWaitMs = NoteRecovery::WriteDelayMs + 3000;

NoteRecord note(const QString& text, const QString& id = {})
{
    NoteRecord record = Samples::note(text);
    record.FolderId = id;
    return record;
}

frmMain* windowOf(const QString& id)
{
    for (frmMain* window : frmMain::openWindows()) {
        if (window->note().FolderId == id)
            return window;
    }
    return nullptr;
}

QString textOf(const QString& id)
{
    const frmMain* window = windowOf(id);
    return window ? window->Text() : QStringLiteral("<closed>");
}

// The note's text as its file in folder holds it; empty when there is none.
QString fileText(const QString& folder, const QString& id)
{
    const Expected<NoteRecord> record = NotesFolder::read(NotesFolder::pathOf(folder, id));
    if (record.failed())
        return {};
    return RichText::toPlainText(record.value().Data).trimmed();
}

void type(frmMain* window, const QString& text)
{
    QTextCursor cursor = window->RTB1()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

QStringList conflictIds()
{
    QStringList ids;
    for (const frmMain* window : frmMain::openWindows()) {
        if (NotesFolder::isConflictCopy(window->note().FolderId))
            ids << window->note().FolderId;
    }
    return ids;
}

int messageBoxes()
{
    int count = 0;
    for (const DialogSeam::Request& request : DialogSeam::requests())
        count += request.kind == DialogSeam::Kind::MessageBox ? 1 : 0;
    return count;
}

int logLinesWith(const QString& text)
{
    int count = 0;
    for (const QString& line : TestEnvironment::logLines())
        count += line.contains(text) ? 1 : 0;
    return count;
}
} // namespace

// The open notes and the notes folder kept in step. The other computer is played by its sync
// tool's moves in the folder: files written beside a note and renamed over it, files removed,
// the folder unmounted.
class TestFolderNotes : public QObject {
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;
    QString m_folder;

    // Another computer's version of a note reaches the folder, as a sync tool puts it there.
    void putRemote(const QString& name, const QByteArray& bytes)
    {
        const QString temporary = m_folder + QStringLiteral("/.syncthing.") + name + ".tmp";
        QVERIFY(TestEnvironment::writeFile(temporary, bytes));
        QCOMPARE(std::rename(QFile::encodeName(temporary).constData(),
                             QFile::encodeName(m_folder + "/" + name).constData()),
                 0);
    }
    void putRemote(const QString& id, const NoteRecord& record)
    {
        putRemote(id + ".not", NotesFolder::bytesOf(record));
    }

    // Starts with the folder holding these notes, by id.
    void startWith(const QList<std::pair<QString, QString>>& notes)
    {
        QVERIFY(NotesFolder::adopt(m_folder).ok());
        for (const auto& [id, text] : notes)
            putRemote(id, note(text));
        QVERIFY(NotesFolder::configure(m_folder).ok());
        QCOMPARE(FolderNotes::openAtStart(), !notes.isEmpty());
        QCOMPARE(frmMain::openWindows().size(), notes.size());
    }

    // Every write asked for so far has reached the folder: a change of a note made now is in
    // its file, and the writes are made in order.
    void waitForWrites()
    {
        frmMain* marker = NoteWindows::newNote();
        type(marker, QStringLiteral("marker"));
        QTRY_VERIFY_WITH_TIMEOUT(!marker->note().FolderId.isEmpty() &&
                                     fileText(m_folder, marker->note().FolderId) == "marker",
                                 kWriteWaitMs);
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        m_dir = new QTemporaryDir;
        m_folder = m_dir->filePath(QStringLiteral("notes"));
        DialogSeam::clearRequests();
    }

    void cleanup()
    {
        QVERIFY(FolderNotes::use(QString()).ok());
        NoteWindows::deleteAll();
        delete m_dir;
    }

    // With no folder set nothing of this runs: notes get no ids and no files.
    void noFolderNoFiles()
    {
        QVERIFY(!FolderNotes::openAtStart());
        QVERIFY(!FolderNotes::active());
        frmMain* window = NoteWindows::newNote();
        type(window, QStringLiteral("x"));
        const NoteRecord record = note(QStringLiteral("x"), QStringLiteral("abc"));
        QVERIFY(FolderNotes::shouldOpen(record));
        QCOMPARE(FolderNotes::keepAtSessionEnd({record}), NoteRecordList({record}));
        QVERIFY(window->note().FolderId.isEmpty());
        QVERIFY(!QFileInfo::exists(m_folder));
    }

    // At start every note file opens, conflict files as captioned conflict copies; files of
    // the engines on their way in are passed over, and a broken file is logged once however
    // often the folder is listed. Notes as they came from their files are not written back.
    void startOpensTheFolder()
    {
        QVERIFY(NotesFolder::adopt(m_folder).ok());
        putRemote("aaaa.not", NotesFolder::bytesOf(note("first")));
        putRemote("aaaa.sync-conflict-20261208-101010-DEVICE.not",
                  NotesFolder::bytesOf(note("theirs")));
        putRemote("bbbb.not", QByteArray("<NOTES><NOTE><DATA>cut sh"));
        QVERIFY(
            TestEnvironment::writeFile(m_folder + "/~cccc.not", NotesFolder::bytesOf(note("x"))));
        const NotesFolder::Entry before = NotesFolder::entryOf("aaaa", m_folder + "/aaaa.not");
        QVERIFY(NotesFolder::configure(m_folder).ok());

        QVERIFY(FolderNotes::openAtStart());
        QVERIFY(FolderNotes::active());
        QCOMPARE(frmMain::openWindows().size(), 2);
        QCOMPARE(textOf("aaaa"), "first");
        const frmMain* copy = windowOf("aaaa.sync-conflict-20261208-101010-DEVICE");
        QVERIFY(copy);
        QVERIFY(copy->lblCaption()->text().contains("Conflict Copy"));
        QVERIFY(!windowOf("aaaa")->lblCaption()->text().contains("Conflict"));
        QCOMPARE(copy->Text(), "theirs");

        waitForWrites();
        QCOMPARE(NotesFolder::entryOf("aaaa", m_folder + "/aaaa.not"), before);
        QCOMPARE(logLinesWith("bbbb.not"), 1);
        // A later version of the broken file is logged again; a good one opens.
        putRemote("bbbb.not", QByteArray("<NOTES><NOTE><DATA>still cut"));
        QTRY_COMPARE_WITH_TIMEOUT(logLinesWith("bbbb.not"), 2, kWriteWaitMs);
        putRemote("bbbb", note("mended"));
        QTRY_COMPARE_WITH_TIMEOUT(textOf("bbbb"), "mended", kWriteWaitMs);
        QCOMPARE(logLinesWith("bbbb.not"), 2);
        QVERIFY(!windowOf("~cccc"));
        // A broken version of an open note's file never replaces the note, and a tool that
        // writes a file in place, not through a rename, is seen as well.
        putRemote("aaaa.not", QByteArray("<NOTES><NOTE><DATA>half"));
        QTRY_COMPARE_WITH_TIMEOUT(logLinesWith("aaaa.not"), 1, kWriteWaitMs);
        QCOMPARE(textOf("aaaa"), "first");
        QVERIFY(TestEnvironment::writeFile(m_folder + "/aaaa.not",
                                           NotesFolder::bytesOf(note("in place"))));
        QTRY_COMPARE_WITH_TIMEOUT(textOf("aaaa"), "in place", kWriteWaitMs);
        QCOMPARE(logLinesWith("aaaa.not"), 1);
    }

    // Every note gets an id and its file a moment after it changes, and only when it changed.
    void notesReachTheirFiles()
    {
        startWith({{"aaaa", "first"}});
        frmMain* fresh = NoteWindows::newNote();
        type(fresh, QStringLiteral("typed here"));
        QTRY_VERIFY_WITH_TIMEOUT(!fresh->note().FolderId.isEmpty() &&
                                     fileText(m_folder, fresh->note().FolderId) == "typed here",
                                 kWriteWaitMs);
        const QString id = fresh->note().FolderId;
        const NotesFolder::Entry written =
            NotesFolder::entryOf(id, NotesFolder::pathOf(m_folder, id));
        type(windowOf("aaaa"), QStringLiteral(" more"));
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, "aaaa"), "first more", kWriteWaitMs);
        QCOMPARE(NotesFolder::entryOf(id, NotesFolder::pathOf(m_folder, id)), written);
    }

    // A note without a change of its own takes another computer's version: text, colour, size
    // and place, without counting as changed and without being written back, even when its
    // text comes out of the window a little differently than the file has it.
    void changeElsewhereIsTaken()
    {
        startWith({{"aaaa", "first"}, {"bbbb", "second"}});
        NoteRecord theirs = note("changed elsewhere");
        theirs.Color = QStringLiteral("blue");
        theirs.Width = 4500;
        theirs.Left = 1500;
        theirs.TimeDate = QStringLiteral("12/8/2026 8:00:00 AM");
        putRemote("aaaa", theirs);
        QTRY_COMPARE_WITH_TIMEOUT(textOf("aaaa"), "changed elsewhere", kWriteWaitMs);
        frmMain* window = windowOf("aaaa");
        QCOMPARE(window->note().Color, "blue");
        QCOMPARE(window->twipsGeometry().width(), 4500);
        QCOMPARE(window->twipsGeometry().left(), 1500);
        QCOMPARE(window->lblSubCaption()->text(), theirs.TimeDate);
        QVERIFY(!window->isChanged());
        QVERIFY(conflictIds().isEmpty());
        const QByteArray bytes = TestEnvironment::readFile(m_folder + "/aaaa.not");
        QVERIFY(window->recordAsKept().Data != theirs.Data); // drawn anew from the window

        waitForWrites();
        QCOMPARE(TestEnvironment::readFile(m_folder + "/aaaa.not"), bytes);
        // Closing it now asks nothing: nothing was typed.
        window->close();
        QCOMPARE(messageBoxes(), 0);
    }

    // Changed on both computers: this note keeps its version and its file gets it; the other
    // version opens beside it as a conflict copy with a file of its own. Nothing is lost.
    void changeOnBothSidesKeepsBoth()
    {
        startWith({{"aaaa", "first"}});
        type(windowOf("aaaa"), QStringLiteral(" mine"));
        putRemote("aaaa", note("theirs"));
        QTRY_COMPARE_WITH_TIMEOUT(conflictIds().size(), 1, kWriteWaitMs);
        const QString copy = conflictIds().first();
        QVERIFY(copy.startsWith("aaaa"));
        QCOMPARE(textOf(copy), "theirs");
        QVERIFY(windowOf(copy)->lblCaption()->text().contains("Conflict Copy"));
        QCOMPARE(textOf("aaaa"), "first mine");
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, "aaaa"), "first mine", kWriteWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, copy), "theirs", kWriteWaitMs);
        waitForWrites();
        QCOMPARE(conflictIds().size(), 1);
    }

    // A file removed elsewhere closes its note quietly, unless the note has a change of its
    // own: then it stays and its file comes back. A note closed by hand goes to the trash and
    // does not come back.
    void removalsElsewhereAndClosesHere()
    {
        startWith({{"aaaa", "first"}, {"bbbb", "second"}, {"cccc", "third"}});
        QPointer<frmMain> removed = windowOf("aaaa");
        QVERIFY(QFile::remove(m_folder + "/aaaa.not"));
        QTRY_VERIFY_WITH_TIMEOUT(removed.isNull() || !removed->isVisible(), kWriteWaitMs);
        QVERIFY(!frmMain::openWindows().contains(removed.data()));
        QCOMPARE(messageBoxes(), 0);
        QVERIFY(!QFileInfo::exists(m_folder + "/.trash/aaaa.not"));
        const QStringList kept = [] {
            QStringList ids;
            for (const NoteRecord& record : NoteRecovery::openRecords())
                ids << record.FolderId;
            return ids;
        }();
        QVERIFY(!kept.contains("aaaa"));

        type(windowOf("bbbb"), QStringLiteral(" edited"));
        QVERIFY(QFile::remove(m_folder + "/bbbb.not"));
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, "bbbb"), "second edited", kWriteWaitMs);
        QVERIFY(windowOf("bbbb"));

        windowOf("cccc")->close();
        QVERIFY(!QFileInfo::exists(m_folder + "/cccc.not"));
        QCOMPARE(fileText(m_folder + "/.trash", "cccc"), "third");
        waitForWrites();
        QVERIFY(!windowOf("cccc"));
        QVERIFY(!QFileInfo::exists(m_folder + "/cccc.not"));

        // Taken back from the trash, the note opens again and its changes reach its file.
        QVERIFY(QFile::rename(m_folder + "/.trash/cccc.not", m_folder + "/cccc.not"));
        QTRY_COMPARE_WITH_TIMEOUT(textOf("cccc"), "third", kWriteWaitMs);
        type(windowOf("cccc"), QStringLiteral(" again"));
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, "cccc"), "third again", kWriteWaitMs);
    }

    // A folder that goes (unmounted: an empty mount point stays) loses nothing: every note
    // stays open, the user is told once, and the notes are written when it is back.
    void folderThatGoesLosesNothing()
    {
        startWith({{"aaaa", "first"}, {"bbbb", "second"}, {"cccc", "third"}});
        const QString away = m_dir->filePath("away");
        QVERIFY(QDir().rename(m_folder, away));
        QVERIFY(QDir().mkpath(m_folder)); // the mount point
        type(windowOf("aaaa"), QStringLiteral(" offline"));
        QTRY_COMPARE_WITH_TIMEOUT(messageBoxes(), 1, kWriteWaitMs);
        QVERIFY(DialogSeam::requests().last().text.contains(QDir::toNativeSeparators(m_folder)));
        QCOMPARE(logLinesWith(m_folder), 1);
        QCOMPARE(frmMain::openWindows().size(), 3);
        QVERIFY(!QFileInfo::exists(m_folder + "/aaaa.not"));
        // Closed by hand meanwhile: its file goes to the trash once the folder is back.
        windowOf("cccc")->close();

        QVERIFY(QDir(m_folder).removeRecursively());
        QVERIFY(QDir().rename(away, m_folder));
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, "aaaa"), "first offline", 2 * kWriteWaitMs);
        QCOMPARE(fileText(m_folder, "bbbb"), "second");
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder + "/.trash", "cccc"), "third", kWriteWaitMs);
        QVERIFY(!QFileInfo::exists(m_folder + "/cccc.not"));
        QCOMPARE(frmMain::openWindows().size(), 2);
        QCOMPARE(messageBoxes(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(logLinesWith("notes folder " + m_folder + " takes files again"),
                                  1, kWriteWaitMs);
    }

    // Notes kept at the last logout or in a recovery file: the same note as an open one of the
    // folder does not open twice; another note under an id in use opens under an id of its own.
    void notesFromElsewhereAndIdsInUse()
    {
        startWith({{"aaaa", "first"}});
        QVERIFY(!FolderNotes::shouldOpen(note("first", "aaaa")));
        QVERIFY(FolderNotes::shouldOpen(note("first", "zzzz")));
        QVERIFY(FolderNotes::shouldOpen(note("first")));
        const NoteRecord other = note("typed before a crash", "aaaa");
        QVERIFY(FolderNotes::shouldOpen(other));
        frmMain::create(NoteOrigin::StoredRecord, other)->show();
        QTRY_COMPARE_WITH_TIMEOUT(conflictIds().size(), 1, kWriteWaitMs);
        QCOMPARE(textOf(conflictIds().first()), "typed before a crash");
        QCOMPARE(textOf("aaaa"), "first");
        QTRY_COMPARE_WITH_TIMEOUT(fileText(m_folder, conflictIds().first()), "typed before a crash",
                                  kWriteWaitMs);
    }

    // At the end of the session the folder's notes are written at once; what the folder does
    // not take (notes without an id, all of them when it is gone) is returned for the main
    // data file.
    void sessionEndKeepsNotesInTheFolder()
    {
        startWith({{"aaaa", "first"}});
        NoteRecord edited = windowOf("aaaa")->recordAsKept();
        edited.Data = Samples::rtf("last words");
        const NoteRecord loose = note("no id yet");
        QCOMPARE(FolderNotes::keepAtSessionEnd({edited, loose}), NoteRecordList({loose}));
        QCOMPARE(fileText(m_folder, "aaaa"), "last words");

        QVERIFY(QDir(m_folder).removeRecursively());
        QCOMPARE(FolderNotes::keepAtSessionEnd({edited, loose}), NoteRecordList({edited, loose}));
    }

    // Choosing a folder gives every open note its file there and opens the notes it holds;
    // choosing none stops it all.
    void choosingAFolder()
    {
        frmMain* open = NoteWindows::newNote();
        type(open, QStringLiteral("was open"));
        QVERIFY(QDir().mkpath(m_folder));
        putRemote("aaaa.not", NotesFolder::bytesOf(note("in the folder")));
        QVERIFY(FolderNotes::use(m_folder).ok());
        QCOMPARE(FolderNotes::folder(), m_folder);
        QCOMPARE(NotesFolder::configured(), m_folder);
        QCOMPARE(textOf("aaaa"), "in the folder");
        QTRY_VERIFY_WITH_TIMEOUT(!open->note().FolderId.isEmpty() &&
                                     fileText(m_folder, open->note().FolderId) == "was open",
                                 kWriteWaitMs);

        QVERIFY(FolderNotes::use(QString()).ok());
        QVERIFY(!FolderNotes::active());
        QVERIFY(NotesFolder::configured().isEmpty());
    }
};

JOTTEX_GUI_TEST_MAIN(TestFolderNotes)
#include "tst_foldernotes.moc"
