#include "TestEnvironment.h"
#include "TestSeams.h"
#include "dialogs/DialogSeam.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "shell/modFileFunctions.h"
#include "store/NoteDocument.h"
#include "store/modNote.h"

#include <QtTest>

class TestModNote : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString notePath(const char* name) const { return m_folder.filePath(QLatin1String(name)); }

    static NoteRecord note(const QString& text)
    {
        NoteRecord record;
        record.Color = QStringLiteral("green");
        record.Data = text;
        record.TimeDate = QStringLiteral("12/6/2026 9:21:58 AM");
        record.Height = 2085;
        record.Width = 2325;
        record.Left = 600;
        record.Top = 450;
        return record;
    }

    static QString lastFolder()
    {
        return modMain::ReadSetting(modMain::Setting::LastFolder, QString());
    }

    static QStringList dataOf(const NoteRecordList& notes)
    {
        QStringList texts;
        for (const NoteRecord& record : notes)
            texts << record.Data;
        return texts;
    }

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void saveWithNameReplacesExistingFile()
    {
        const QString path = notePath("shop.not");
        QVERIFY(TestEnvironment::writeFile(path, "old content"));
        QCOMPARE(modNote::SaveNote(note(QStringLiteral("new")), path), path);
        QCOMPARE(TestEnvironment::readFile(path),
                 NoteDocument::wholeDocument(note(QStringLiteral("new"))));
        QVERIFY(DialogSeam::requests().isEmpty());
    }

    void saveThroughDialogRemembersFolder()
    {
        QWidget owner;
        DialogSeam::queueFileAnswer(notePath("chosen"));
        const QString result = modNote::SaveNote(note(QStringLiteral("a")), QString(), &owner);
        QCOMPARE(result, notePath("chosen.not")); // the default extension is added
        QVERIFY(modFileFunctions::FileExists(result));
        QCOMPARE(lastFolder(), m_folder.path());

        QCOMPARE(DialogSeam::requests().size(), 1);
        const DialogSeam::Request request = DialogSeam::requests().first();
        QCOMPARE(request.kind, DialogSeam::Kind::SaveFile);
        QCOMPARE(request.title, QStringLiteral("Select a file: "));
        QCOMPARE(request.text, QStringLiteral("Jottex Note (*.not)|*.not"));
        QCOMPARE(request.directory, modFileFunctions::GetDesktopPath());
        QCOMPARE(request.owner, &owner);

        // The next dialog opens in the folder chosen last.
        DialogSeam::queueFileCancel();
        modNote::LoadNote(false, QString(), &owner);
        QCOMPARE(DialogSeam::requests().last().directory, m_folder.path());
        QCOMPARE(DialogSeam::requests().last().owner, &owner);
    }

    void cancelledSaveWritesNothing()
    {
        DialogSeam::queueFileCancel();
        QCOMPARE(modNote::SaveNote(note(QStringLiteral("a")), QString()), modNote::NoneSentinel);
        QCOMPARE(lastFolder(), QString());
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    void failedSaveKeepsOldFile()
    {
        const QString path = notePath("keep.not");
        QVERIFY(TestEnvironment::writeFile(path, "precious"));
        {
            TestSeams seams;
            seams.failWritesAfter(20);
            QCOMPARE(modNote::SaveNote(note(QStringLiteral("new")), path), modNote::NoneSentinel);
        }
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("precious"));
        // No temporary file is left behind.
        const QStringList files = QDir(m_folder.path()).entryList(QDir::Files);
        QCOMPARE(files.filter(QStringLiteral(".not")).size(), files.size());
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log.first().contains(QStringLiteral("\tmodNote: SaveNote\t61\t")));
    }

    void appendAddsNoteAndKeepsFirst()
    {
        const QString path = notePath("two.not");
        modNote::SaveNote(note(QStringLiteral("first")), path);
        QCOMPARE(modNote::AppendNote(note(QStringLiteral("second")), path), QString());
        const NoteRecordList notes = modNote::LoadNote(false, path);
        QCOMPARE(dataOf(notes), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(notes[1].FileName, path);
    }

    void appendToMissingChosenFileDoesNothing()
    {
        DialogSeam::queueFileAnswer(notePath("absent.not"));
        QCOMPARE(modNote::AppendNote(note(QStringLiteral("x")), QString()), QString());
        QVERIFY(!QFile::exists(notePath("absent.not")));
        QVERIFY(TestEnvironment::logLines().isEmpty());
        QCOMPARE(lastFolder(), m_folder.path());
    }

    void appendFailuresLeaveFileAsItWas()
    {
        const QString broken = notePath("broken.not");
        QVERIFY(TestEnvironment::writeFile(broken, "<NOTES><NOTE>"));
        modNote::AppendNote(note(QStringLiteral("x")), broken);
        QCOMPARE(TestEnvironment::readFile(broken), QByteArray("<NOTES><NOTE>"));

        const QString good = notePath("good.not");
        modNote::SaveNote(note(QStringLiteral("first")), good);
        const QByteArray before = TestEnvironment::readFile(good);
        {
            TestSeams seams;
            seams.failWritesAfter(5);
            modNote::AppendNote(note(QStringLiteral("x")), good);
        }
        QCOMPARE(TestEnvironment::readFile(good), before);

        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 2);
        QVERIFY(log[0].contains(QStringLiteral("\tmodNote: AppendNote\t")));
        QVERIFY(log[1].contains(QStringLiteral("\tmodNote: AppendNote\t61\t")));
    }

    void mainDataFileCollectsNotesInOrder()
    {
        for (const char* text : {"one", "two", "three"})
            modNote::SaveMainNote(note(QString::fromLatin1(text)));
        const NoteRecordList notes = modNote::LoadNote(true, QStringLiteral("ignored.not"));
        QCOMPARE(dataOf(notes), (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                             QStringLiteral("three")}));
        QCOMPARE(notes[0].FileName, AppPaths::mainDataFile());
        QVERIFY(DialogSeam::requests().isEmpty());
    }

    void loadFailuresAreLoggedAndGiveNothing()
    {
        DialogSeam::queueFileCancel();
        QVERIFY(modNote::LoadNote(false, QString()).isEmpty());
        QVERIFY(TestEnvironment::logLines().isEmpty());

        QVERIFY(modNote::LoadNote(false, notePath("missing.not")).isEmpty());
        const QString bad = notePath("bad.not");
        QVERIFY(TestEnvironment::writeFile(bad, "<NOTES><NOTE><WIDTH>abc</WIDTH></NOTE></NOTES>"));
        QVERIFY(modNote::LoadNote(false, bad).isEmpty());

        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 2);
        QVERIFY(log[0].contains(QStringLiteral("\tmodNote: LoadNote\t53\t")));
        QVERIFY(log[1].contains(QStringLiteral("\tmodNote: ProcessXMLData\t13\tType mismatch")));
        QCOMPARE(lastFolder(), QString());
    }

    void pathFunctions()
    {
        using namespace modFileFunctions;
        QCOMPARE(GetFolder(QStringLiteral("/notes/work.not")), QStringLiteral("/notes"));
        QCOMPARE(GetFolder(QStringLiteral("/a.not")), QStringLiteral("/"));
        QCOMPARE(GetFileName(QStringLiteral("/notes/work.not")), QStringLiteral("work.not"));
        QCOMPARE(GetFileName(QStringLiteral("work.not")), QStringLiteral("work.not"));
        QCOMPARE(AddBackslash(QStringLiteral("/notes")), QStringLiteral("/notes/"));
        QCOMPARE(AddBackslash(QStringLiteral("/notes/")), QStringLiteral("/notes/"));
        QCOMPARE(TrimNull(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")),
                 QStringLiteral("ab"));
        QVERIFY(!FileExists(m_folder.path()));
        QVERIFY(!FileExists(QString()));
        QVERIFY(GetDesktopPath().endsWith(QStringLiteral("/Desktop")));
    }
};

JOTTEX_GUI_TEST_MAIN(TestModNote)
#include "tst_modnote.moc"
