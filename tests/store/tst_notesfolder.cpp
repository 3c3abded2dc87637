#include "Samples.h"
#include "TestEnvironment.h"
#include "store/NoteDocument.h"
#include "store/NotesFolder.h"
#include "store/modNote.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
QStringList ids(const QList<NotesFolder::Entry>& entries)
{
    QStringList names;
    for (const NotesFolder::Entry& entry : entries)
        names << entry.id;
    names.sort();
    return names;
}
} // namespace

// The notes folder's files: which names are notes, reading and writing one note per file, the
// trash, and a folder that is not there.
class TestNotesFolder : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void fileKinds_data()
    {
        using K = NotesFolder::FileKind;
        QTest::addColumn<QString>("name");
        QTest::addColumn<K>("kind");
        QTest::newRow("note") << "0123456789abcdef.not" << K::Note;
        QTest::newRow("capital suffix") << "0123456789abcdef.NOT" << K::Note;
        QTest::newRow("syncthing conflict")
            << "0123456789abcdef.sync-conflict-20261208-101010-ABCDEFG.not" << K::ConflictCopy;
        QTest::newRow("nextcloud conflict")
            << "0123456789abcdef (conflicted copy 2026-12-08 101010).not" << K::ConflictCopy;
        QTest::newRow("dropbox conflict")
            << "0123456789abcdef (Anna's conflicted copy 2026-12-08).not" << K::ConflictCopy;
        QTest::newRow("own conflict") << "abc.conflict-20261208-101010-0f3a.not" << K::ConflictCopy;
        QTest::newRow("syncthing temporary") << ".syncthing.abc.not.tmp" << K::Ignored;
        QTest::newRow("syncthing temporary ending in .not") << ".syncthing.abc.not" << K::Ignored;
        QTest::newRow("tilde") << "~abc.not" << K::Ignored;
        QTest::newRow("office lock") << ".~lock.abc.not#" << K::Ignored;
        QTest::newRow("hidden") << ".abc.not" << K::Ignored;
        QTest::newRow("own atomic write") << "abc.not.Xy3abc" << K::Ignored;
        QTest::newRow("other file") << "readme.txt" << K::Ignored;
        QTest::newRow("bare suffix") << ".not" << K::Ignored;
        QTest::newRow("marker") << ".jottex-folder" << K::Ignored;
    }

    void fileKinds()
    {
        QFETCH(QString, name);
        QFETCH(NotesFolder::FileKind, kind);
        QCOMPARE(NotesFolder::kindOf(name), kind);
    }

    // Ids are the files' names: distinct, plain and stable; a conflict copy's id keeps the
    // note's and is told apart from it and from another copy of the same moment.
    void idsNameFilesAndConflictCopies()
    {
        QSet<QString> seen;
        static const QRegularExpression plain(QStringLiteral("^[0-9a-f]{16}$"));
        for (int i = 0; i < 200; ++i) {
            const QString id = NotesFolder::newId();
            QVERIFY2(plain.match(id).hasMatch(), qPrintable(id));
            QVERIFY(!seen.contains(id));
            seen.insert(id);
            QVERIFY(!NotesFolder::isConflictCopy(id));
        }
        const QString id = NotesFolder::newId();
        const QDateTime when(QDate(2026, 12, 8), QTime(10, 0));
        const QString copy = NotesFolder::conflictId(id, when);
        QVERIFY(copy.startsWith(id));
        QVERIFY(NotesFolder::isConflictCopy(copy));
        QVERIFY(copy != NotesFolder::conflictId(id, when) ||
                copy != NotesFolder::conflictId(id, when));
        const QString file = QFileInfo(NotesFolder::pathOf(QStringLiteral("/f"), copy)).fileName();
        QCOMPARE(NotesFolder::kindOf(file), NotesFolder::FileKind::ConflictCopy);
        QCOMPARE(NotesFolder::idOf(file), copy);
    }

    // A note file of the folder carries the note alone: neither its name nor where this desktop
    // shows it, which the main data file keeps; reading it gives the id from the name.
    void writeAndReadOneNote()
    {
        QTemporaryDir dir;
        QVERIFY(NotesFolder::adopt(dir.path()).ok());
        NoteRecord record = Samples::note(QString());
        record.Data = QStringLiteral("{\\rtf1 hello}");
        record.FolderId = NotesFolder::newId();
        record.OnAllWorkspaces = true;
        record.FileName = QStringLiteral("/home/u/elsewhere.not");
        QVERIFY(NotesFolder::write(dir.path(), record).ok());

        const QString path = NotesFolder::pathOf(dir.path(), record.FolderId);
        const QByteArray bytes = TestEnvironment::readFile(path);
        QVERIFY(!bytes.contains("FOLDERID"));
        QVERIFY(!bytes.contains("ALLWORKSPACES"));
        QVERIFY(!bytes.contains("elsewhere"));
        // Any note-file reader takes it as one note.
        QCOMPARE(modNote::LoadNote(false, path).size(), 1);

        const Expected<NoteRecord> read = NotesFolder::read(path);
        QVERIFY(read.ok());
        QCOMPARE(read.value().FolderId, record.FolderId);
        QVERIFY(read.value().FileName.isEmpty());
        QCOMPARE(read.value().Data, record.Data);
        QCOMPARE(NotesFolder::asFileNote(read.value()), NotesFolder::asFileNote(record));
        QCOMPARE(NotesFolder::bytesOf(read.value()), bytes);

        // The main data file and the recovery file keep the id and the workspace flag.
        const QByteArray kept = NoteDocument::noteList({record});
        QVERIFY(kept.contains("<FOLDERID>" + record.FolderId.toLatin1() + "</FOLDERID>"));
        QVERIFY(kept.contains("ALLWORKSPACES"));
        const Expected<NoteRecordList> back = NoteDocument::readRecords(kept, QString());
        QVERIFY(back.ok());
        QCOMPARE(back.value().first().FolderId, record.FolderId);
    }

    void filesThatAreNoNote_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short")
            << NotesFolder::bytesOf(Samples::note(QStringLiteral("x"))).left(60);
        QTest::newRow("not xml") << QByteArray("hello\r\n");
        QTest::newRow("no note") << QByteArray("<?xml version=\"1.0\"?>\r\n<NOTES></NOTES>\r\n");
    }

    void filesThatAreNoNote()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("abc.not"));
        QVERIFY(TestEnvironment::writeFile(path, bytes));
        QVERIFY(NotesFolder::read(path).failed());
    }

    // Only note files are listed, with what tells a later change; a folder without its marker
    // (an empty mount point) or gone is an error, never an empty folder.
    void scanListsNotesAndRefusesAMissingFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("notes"));
        QVERIFY(NotesFolder::scan(folder).failed());
        QVERIFY(!NotesFolder::writable(folder));
        QVERIFY(NotesFolder::adopt(folder).ok());
        QVERIFY(NotesFolder::writable(folder));
        for (const char* name : {"a.not", "b.sync-conflict-20261208-101010-XYZ.not", "~c.not",
                                 ".syncthing.d.not.tmp", "e.txt"})
            QVERIFY(TestEnvironment::writeFile(folder + "/" + name, "x"));
        QVERIFY(QDir(folder).mkpath(".trash"));
        QVERIFY(TestEnvironment::writeFile(folder + "/.trash/f.not", "x"));

        const Expected<QList<NotesFolder::Entry>> entries = NotesFolder::scan(folder);
        QVERIFY(entries.ok());
        QCOMPARE(ids(entries.value()), QStringList({"a", "b.sync-conflict-20261208-101010-XYZ"}));
        QCOMPARE(entries.value().first().size, 1);

        QVERIFY(QFile::remove(NotesFolder::markerPath(folder)));
        QVERIFY(NotesFolder::scan(folder).failed());
        QVERIFY(!NotesFolder::writable(folder));
        QVERIFY(NotesFolder::write(folder,
                                   [] {
                                       NoteRecord r = Samples::note(QStringLiteral("x"));
                                       r.FolderId = QStringLiteral("g");
                                       return r;
                                   }())
                    .failed());
        QVERIFY(!QFile::exists(folder + "/g.not"));
    }

    // A note closed by hand goes to the trash, where it stays its days counted from then; a
    // second close of the same note keeps both versions; only old ones are removed.
    void trashKeepsClosedNotesForItsDays()
    {
        QTemporaryDir dir;
        QVERIFY(NotesFolder::adopt(dir.path()).ok());
        NoteRecord record = Samples::note(QStringLiteral("first"));
        record.FolderId = QStringLiteral("abc");
        QVERIFY(NotesFolder::write(dir.path(), record).ok());
        const QString path = NotesFolder::pathOf(dir.path(), "abc");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-100),
                                     QFileDevice::FileModificationTime));
        }
        QVERIFY(NotesFolder::moveToTrash(dir.path(), "abc").ok());
        QVERIFY(!QFile::exists(path));
        const QString trashed = dir.filePath(".trash/abc.not");
        QVERIFY(QFile::exists(trashed));
        QVERIFY(QFileInfo(trashed).lastModified() > QDateTime::currentDateTime().addDays(-1));

        record.Data = QStringLiteral("second");
        QVERIFY(NotesFolder::write(dir.path(), record).ok());
        QVERIFY(NotesFolder::moveToTrash(dir.path(), "abc").ok());
        QCOMPARE(QDir(dir.filePath(".trash")).entryList(QDir::Files).size(), 2);
        // Already gone: nothing to do, no failure.
        QVERIFY(NotesFolder::moveToTrash(dir.path(), "abc").ok());

        const QDateTime now = QDateTime::currentDateTime();
        NotesFolder::emptyOldTrash(dir.path(), now.addDays(NotesFolder::kTrashDays - 1));
        QCOMPARE(QDir(dir.filePath(".trash")).entryList(QDir::Files).size(), 2);
        NotesFolder::emptyOldTrash(dir.path(), now.addDays(NotesFolder::kTrashDays + 1));
        QCOMPARE(QDir(dir.filePath(".trash")).entryList(QDir::Files).size(), 0);
    }

    void settingIsAbsoluteAndEmptyTurnsItOff()
    {
        QCOMPARE(NotesFolder::configured(), QString());
        QVERIFY(NotesFolder::configure(QStringLiteral("/tmp/a/../notes/")).ok());
        QCOMPARE(NotesFolder::configured(), QStringLiteral("/tmp/notes"));
        QVERIFY(NotesFolder::configure(QString()).ok());
        QCOMPARE(NotesFolder::configured(), QString());
    }
};

JOTTEX_TEST_MAIN(TestNotesFolder)
#include "tst_notesfolder.moc"
