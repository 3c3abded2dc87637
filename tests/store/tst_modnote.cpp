#include "HostileNotes.h"
#include "RealDialogs.h"
#include "Samples.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestSeams.h"
#include "dialogs/DialogSeam.h"
#include "richtext/Pictures.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "shell/Clock.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "shell/modFileFunctions.h"
#include "store/NoteDocument.h"
#include "store/NoteFileLock.h"
#include "store/NoteSearch.h"
#include "store/RecentFiles.h"
#include "store/modNote.h"

#include <QFileDialog>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>
#include <optional>
#include <sys/stat.h>

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

    static bool writeHostile(const QString& path, const QByteArray& bytes, qint64 sparseSize)
    {
        if (sparseSize == 0)
            return TestEnvironment::writeFile(path, bytes);
        // Holes cost no disk: the size alone must be enough to refuse the file.
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.resize(sparseSize);
    }

private slots:
    void init() { TestEnvironment::resetFolders(); }
    void cleanup() { Clock::setFixedNow(QDateTime()); }

    // --- Searching: accents and case do not matter, the match comes in its context.
    void searchFindsTheMatchInContext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("shown"); // before, matched, after; empty: no match
        QTest::addColumn<int>("count");
        const QString ellipsis = QStringLiteral("\u2026");
        QTest::newRow("accent in the note") << QStringLiteral("Lunch at the Café today") << "cafe"
                                            << QStringList{"Lunch at the ", "Café", " today"} << 1;
        QTest::newRow("accent as a mark after its letter")
            << QStringLiteral("cafe\u0301 au lait") << "CAFE"
            << QStringList{"", QStringLiteral("cafe\u0301"), " au lait"} << 1;
        QTest::newRow("accent in the query") << "Send the resume" << QStringLiteral("RÉSUMÉ")
                                             << QStringList{"Send the ", "resume", ""} << 1;
        QTest::newRow("sharp s against double s")
            << QStringLiteral("Die Straße ist lang") << "STRASSE"
            << QStringList{"Die ", QStringLiteral("Straße"), " ist lang"} << 1;
        QTest::newRow("ligature") << QStringLiteral("\uFB01sh and chips") << "FISH"
                                  << QStringList{"", QStringLiteral("\uFB01sh"), " and chips"} << 1;
        QTest::newRow("beyond the basic plane")
            << QStringLiteral("\U0001F600 smile \U0001F600") << "smile"
            << QStringList{QStringLiteral("\U0001F600 "), "smile", QStringLiteral(" \U0001F600")}
            << 1;
        QTest::newRow("line ends read as blanks")
            << "Shopping\r\nmilk\r\n\r\neggs"
            << "milk" << QStringList{"Shopping ", "milk", " eggs"} << 1;
        QTest::newRow("blanks of the query collapse")
            << "tea and cake"
            << "  AND   cake " << QStringList{"tea ", "and cake", ""} << 1;
        QTest::newRow("several matches, the first shown")
            << "tea, more tea, TEA"
            << "tea" << QStringList{"", "tea", ", more tea, TEA"} << 3;
        const QString words = QStringLiteral(
            "alpha bravo charlie delta echo foxtrot golf hotel india juliett kilo lima mike "
            "november oscar papa quebec romeo sierra tango");
        QTest::newRow("context cut at whole words")
            << words << "KILO"
            << QStringList{ellipsis + "echo foxtrot golf hotel india juliett ", "kilo",
                           " lima mike november oscar papa quebec" + ellipsis}
            << 1;
        QTest::newRow("blank query") << "anything"
                                     << "   " << QStringList{} << 0;
        QTest::newRow("no match") << "Cafe"
                                  << "caff" << QStringList{} << 0;
    }

    void searchFindsTheMatchInContext()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(QStringList, shown);
        QFETCH(int, count);
        const QList<SearchMatch> matches =
            NoteSearch::search({SearchableNote{SearchableText(text), "blue", {}}}, query);
        if (shown.isEmpty()) {
            QVERIFY(matches.isEmpty());
            return;
        }
        QCOMPARE(matches.size(), 1);
        const SearchMatch& match = matches.first();
        QCOMPARE((QStringList{match.before, match.matched, match.after}), shown);
        QCOMPARE(match.count, count);
    }

    void searchGivesEachMatchingNoteWithItsPlace()
    {
        QList<SearchableNote> notes;
        notes << SearchableNote{SearchableText("\r\n  Groceries \r\nbread, butter"), "green",
                                NotePlace{nullptr, {}, -1, {}}}
              << SearchableNote{SearchableText("Nothing here"), "blue", {}}
              << SearchableNote{SearchableText("Baker's list\r\nBread"), "16777215",
                                NotePlace{nullptr, "/tmp/a.not", 2, {}}};
        const QList<SearchMatch> matches = NoteSearch::search(notes, "BREAD");
        QCOMPARE(matches.size(), 2);
        QCOMPARE(matches[0].firstLine, "Groceries");
        QCOMPARE(matches[0].color, "green");
        QVERIFY(matches[0].place.file.isEmpty());
        QCOMPARE(matches[1].firstLine, "Baker's list");
        QCOMPARE(matches[1].color, "16777215");
        QCOMPARE(matches[1].place.file, "/tmp/a.not");
        QCOMPARE(matches[1].place.index, 2);
        const QString longLine(100, u'x');
        QCOMPARE(NoteSearch::firstLine(longLine),
                 QString(NoteSearch::kFirstLineChars - 1, u'x') + QStringLiteral("\u2026"));
    }

    void readFileMakesEveryNoteSearchable()
    {
        const QString path = notePath("search.not");
        QVERIFY(modNote::WriteNoteList(
                    {note(Samples::rtf("first")), note(Samples::rtf("Zweite Notiz: Grüße"))}, path)
                    .ok());
        const QList<SearchableNote> notes = NoteSearch::readFile(path);
        QCOMPARE(notes.size(), 2);
        const QList<SearchMatch> matches = NoteSearch::search(notes, "grusse");
        QCOMPARE(matches.size(), 1);
        QCOMPARE(matches[0].place.file, path);
        QCOMPARE(matches[0].place.index, 1);
        QCOMPARE(matches[0].place.record.Data, notes[1].place.record.Data);
        QVERIFY(NoteSearch::readFile(notePath("missing.not")).isEmpty());
    }

    // --- The files opened lately.
    void openedFilesAreRemembered()
    {
        const QDateTime start(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
        Clock::setFixedNow(start);
        const QString first = notePath("first.not");
        const QString odd = notePath("50% off | sale.not");
        for (const QString& path : {first, odd})
            QVERIFY(modNote::WriteNoteList({note(Samples::rtf("x"))}, path).ok());
        QCOMPARE(modNote::LoadNote(false, first).size(), 1);
        Clock::setFixedNow(start.addSecs(60));
        QCOMPARE(modNote::LoadNote(false, odd).size(), 1);
        // A named file that does not exist was not opened.
        QVERIFY(modNote::LoadNote(false, notePath("missing.not")).isEmpty());
        Clock::setFixedNow(start.addSecs(120));
        QCOMPARE(modNote::LoadNote(false, first).size(), 1);

        using RecentFiles::Entry;
        QCOMPARE(RecentFiles::read(),
                 (QList<Entry>{{first, start.addSecs(120)}, {odd, start.addSecs(60)}}));

        // A month on, the older one has gone from what is read and from what is written.
        Clock::setFixedNow(start.addDays(RecentFiles::kKeptDays).addSecs(90));
        QCOMPARE(RecentFiles::read(), (QList<Entry>{{first, start.addSecs(120)}}));
        RecentFiles::record(odd);
        QCOMPARE(RecentFiles::read(),
                 (QList<Entry>{{odd, Clock::now()}, {first, start.addSecs(120)}}));

        // The list stays bounded, the newest kept.
        for (int i = 0; i < RecentFiles::kMaxEntries + 5; ++i)
            RecentFiles::record(notePath("many") + QString::number(i));
        const QList<Entry> kept = RecentFiles::read();
        QCOMPARE(kept.size(), RecentFiles::kMaxEntries);
        QCOMPARE(kept.first().path,
                 notePath("many") + QString::number(RecentFiles::kMaxEntries + 4));
    }

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

    // The dialogs open in the folder chosen last while it is there, else on the desktop, or
    // in the home folder of a user without a desktop folder; never at a folder that is not.
    void fileDialogsStartInAFolderThatIs_data()
    {
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<QString>("stored"); // LastFolder: "" none, "gone", or "kept"
        QTest::addColumn<QString>("start");  // "desktop", "home" or "kept"
        QTest::newRow("desktop") << true << ""
                                 << "desktop";
        QTest::newRow("no desktop folder") << false << ""
                                           << "home";
        QTest::newRow("folder chosen last") << false << "kept"
                                            << "kept";
        QTest::newRow("folder chosen last is gone") << true << "gone"
                                                    << "desktop";
        QTest::newRow("both gone") << false << "gone"
                                   << "home";
    }

    void fileDialogsStartInAFolderThatIs()
    {
        QFETCH(bool, desktop);
        QFETCH(QString, stored);
        QFETCH(QString, start);
        const QString desktopPath = modFileFunctions::GetDesktopPath();
        const QMap<QString, QString> folders{{QStringLiteral("desktop"), desktopPath},
                                             {QStringLiteral("home"), QDir::homePath()},
                                             {QStringLiteral("kept"), m_folder.path()},
                                             {QStringLiteral("gone"), notePath("gone")}};
        if (!desktop)
            QVERIFY(QDir(desktopPath).removeRecursively());
        if (!stored.isEmpty())
            QVERIFY(modMain::WriteSetting(modMain::Setting::LastFolder, folders[stored]).ok());
        DialogSeam::queueFileCancel();
        modNote::LoadNote(false, QString());
        QDir().mkpath(desktopPath);
        QCOMPARE(DialogSeam::requests().value(0).directory, folders[start]);
    }

    // A name typed into the Open dialog that names no file is told, owned by the window that
    // asked; a file named by the caller is only logged, as before.
    void openOfAMissingChosenFileIsTold()
    {
        QWidget owner;
        const QString missing = notePath("absent.not");
        DialogSeam::queueFileAnswer(missing);
        QVERIFY(modNote::LoadNote(false, QString(), &owner).isEmpty());
        QCOMPARE(DialogSeam::requests().size(), 2);
        QCOMPARE(DialogSeam::requests().last().kind, DialogSeam::Kind::MessageBox);
        QCOMPARE(DialogSeam::requests().last().text,
                 missing +
                     QStringLiteral("\r\nFile not found.\r\nCheck the file name and try again."));
        QCOMPARE(DialogSeam::requests().last().owner, &owner);

        DialogSeam::clearRequests();
        QVERIFY(modNote::LoadNote(false, missing, &owner).isEmpty());
        QVERIFY(DialogSeam::requests().isEmpty());
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

    // One writer of a note file at a time, and the lock goes with its holder. A folder that
    // takes no lock file leaves the failure to the write, which names its cause.
    void noteFileLockKeepsOneWriterAtATime()
    {
        const QString path = notePath("locked.not");
        // A holder that shows no work is given up on after the patience.
        TestSeams seams;
        seams.setLockPatienceMs(1);
        {
            NoteFileLock holder(path);
            QVERIFY(holder.lock().ok());
            NoteFileLock other(path);
            const Result refused = other.lock();
            QVERIFY(refused.failed());
            QCOMPARE(refused.error().number, ErrorNumber::PathFileAccessError);
            QVERIFY(refused.error().description.contains(path + " stays locked"));
        }
        QVERIFY(!QFile::exists(path + ".lock"));
        QVERIFY(NoteFileLock(path).lock().ok());

        const QString nowhere = notePath("no/such/folder/x.not");
        QVERIFY(NoteFileLock(nowhere).lock().ok());
        modNote::WriteFailure failure;
        QCOMPARE(modNote::SaveNote(note(QStringLiteral("x")), nowhere, nullptr, &failure),
                 modNote::NoneSentinel);
        QCOMPARE(failure.error.number, ErrorNumber::PathNotFound);
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

    // "On all workspaces" and the note's name in the notes folder belong to this desktop: the
    // main data file keeps them for the next login, while files saved or appended to (which
    // travel) never carry them, and notes without them are written as before.
    void allWorkspacesStaysWithTheMainDataFile()
    {
        NoteRecord everywhere = note(QStringLiteral("everywhere"));
        everywhere.OnAllWorkspaces = true;
        everywhere.FolderId = QStringLiteral("0123456789abcdef");
        const NoteRecord plain = note(QStringLiteral("plain"));
        QVERIFY(!modNote::SaveMainNotes({everywhere, plain}).failed());
        QFile main(AppPaths::mainDataFile());
        QVERIFY(main.open(QIODevice::ReadOnly));
        const QByteArray mainBytes = main.readAll();
        QCOMPARE(mainBytes.count("<ALLWORKSPACES>True</ALLWORKSPACES>"), 1);
        QCOMPARE(mainBytes.count("<FOLDERID>"), 1);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 2);
        QVERIFY(kept[0].OnAllWorkspaces);
        QCOMPARE(kept[0].FolderId, everywhere.FolderId);
        QVERIFY(!kept[1].OnAllWorkspaces);
        QVERIFY(kept[1].FolderId.isEmpty());
        // The tree reader gives what the stream reader gives.
        const Expected<QDomDocument> tree = NoteDocument::parseFile(AppPaths::mainDataFile());
        QVERIFY(tree.ok());
        QCOMPARE(NoteDocument::records(tree.value(), AppPaths::mainDataFile()).value(), kept);

        const QString path = notePath("travels.not");
        QCOMPARE(modNote::SaveNote(everywhere, path), path);
        QCOMPARE(modNote::AppendNote(everywhere, path), QString());
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray savedBytes = saved.readAll();
        QVERIFY(!savedBytes.contains("ALLWORKSPACES"));
        QVERIFY(!savedBytes.contains("FOLDERID"));
        QCOMPARE(NoteDocument::wholeDocument(plain), NoteDocument::wholeDocument(kept[1]));
    }

    void allWorkspacesReadsOnlyTrueAsSet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("set");
        QTest::newRow("True") << QStringLiteral("True") << true;
        QTest::newRow("any case, blanks") << QStringLiteral(" tRUE ") << true;
        QTest::newRow("False") << QStringLiteral("False") << false;
        QTest::newRow("number") << QStringLiteral("1") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void allWorkspacesReadsOnlyTrueAsSet()
    {
        QFETCH(QString, text);
        QFETCH(bool, set);
        const QByteArray bytes = "<?xml version=\"1.0\"?><notes><NOTE><DATA>x</DATA>"
                                 "<ALLWORKSPACES>" +
                                 text.toUtf8() + "</ALLWORKSPACES></NOTE></notes>";
        const Expected<NoteRecordList> records = NoteDocument::readRecords(bytes, QString());
        QVERIFY(records.ok());
        QCOMPARE(records.value().value(0).OnAllWorkspaces, set);
        QCOMPARE(records.value().value(0).Data, QStringLiteral("x"));
    }

    // What a session's end keeps: a note with a picture comes back from the main data file with
    // every pixel, beside the notes around it.
    void pictureSurvivesTheMainDataFile()
    {
        const QImage picture = TestPictures::picture(300, 200);
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("photo: "));
        RichText::PictureResult result = RichText::PictureResult::Unreadable;
        cursor.insertImage(RichText::addPicture(&document, picture, &result));
        const QString data = QString::fromLatin1(RichText::writeRtf(&document));
        const NoteRecordList kept{note(QStringLiteral("before")), note(data),
                                  note(QStringLiteral("after"))};
        QVERIFY(!modNote::SaveMainNotes(kept).failed());
        const NoteRecordList notes = modNote::LoadNote(true, QString());
        // XML keeps line ends as line feeds; RTF takes either.
        QCOMPARE(dataOf(notes), dataOf(kept).replaceInStrings(QStringLiteral("\r"), QString()));
        QTextDocument back;
        RichText::readRtf(notes[1].Data, &back);
        QTextCursor at(&back);
        at.setPosition(8);
        QCOMPARE(RichText::pictureOf(&back, at.charFormat().toImageFormat())
                     .convertToFormat(QImage::Format_RGB32),
                 picture);
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

    void namedSaveReplacesOnlyTheFirstOfSeveralNotes()
    {
        const QString path = notePath("three.not");
        modNote::SaveNote(note(QStringLiteral("one")), path);
        QCOMPARE(modNote::SaveNote(note(QStringLiteral("uno")), path), path);
        QCOMPARE(TestEnvironment::readFile(path),
                 NoteDocument::wholeDocument(note(QStringLiteral("uno"))));

        modNote::AppendNote(note(QStringLiteral("two")), path);
        modNote::AppendNote(note(QStringLiteral("three")), path);
        QCOMPARE(modNote::SaveNote(note(QStringLiteral("first")), path), path);
        QCOMPARE(
            dataOf(modNote::LoadNote(false, path)),
            (QStringList{QStringLiteral("first"), QStringLiteral("two"), QStringLiteral("three")}));

        // Save As, confirmed in the dialog, replaces the whole file.
        DialogSeam::queueFileAnswer(path);
        QCOMPARE(modNote::SaveNote(note(QStringLiteral("only")), QString()), path);
        QCOMPARE(TestEnvironment::readFile(path),
                 NoteDocument::wholeDocument(note(QStringLiteral("only"))));
    }

    void failuresNameTheFileAndTheError()
    {
        const QString path = notePath("full.not");
        modNote::WriteFailure failure;
        {
            TestSeams seams;
            seams.failWritesAfter(20);
            modNote::SaveNote(note(QStringLiteral("x")), path, nullptr, &failure);
        }
        QCOMPARE(failure.path, path);
        QCOMPARE(failure.error.number, ErrorNumber::DiskFull);

        const QString missing = notePath("missing.not");
        modNote::AppendNote(note(QStringLiteral("x")), missing, nullptr, &failure);
        QCOMPARE(failure.path, missing);
        QCOMPARE(failure.error.number, ErrorNumber::FileNotFound);

        const QString broken = notePath("broken.not");
        QVERIFY(TestEnvironment::writeFile(broken, "<NOTES><NOTE>"));
        modNote::AppendNote(note(QStringLiteral("x")), broken, nullptr, &failure);
        QCOMPARE(failure.path, broken);
        QCOMPARE(failure.error.number, ErrorNumber::XmlParseError);

        // A cancelled dialog is the user's choice, not a failure.
        modNote::WriteFailure untouched{QStringLiteral("untouched"), {}};
        DialogSeam::queueFileCancel();
        modNote::SaveNote(note(QStringLiteral("x")), QString(), nullptr, &untouched);
        DialogSeam::queueFileCancel();
        modNote::AppendNote(note(QStringLiteral("x")), QString(), nullptr, &untouched);
        QCOMPARE(untouched.path, QStringLiteral("untouched"));
    }

    // The one-tree build must match, byte for byte, the file that saving the first note and
    // appending each further one by its own write leaves, line ends and blanks included; and
    // readBack must give the records that loading the file gives.
    void savedThenAppendedIsWhatSaveAndAppendsWrite()
    {
        const NoteRecordList notes{
            note(QStringLiteral("one\r\nline")), note(QStringLiteral(" \r\n")),
            note(QStringLiteral("three\rend")), note(QStringLiteral("four\r\n"))};
        for (qsizetype count = 1; count <= notes.size(); ++count) {
            const NoteRecordList written = notes.first(count);
            const QString path = notePath("sequence.not");
            QFile::remove(path);
            modNote::SaveNote(written.first(), path);
            for (qsizetype i = 1; i < written.size(); ++i)
                modNote::AppendNote(written.at(i), path);
            const Expected<QByteArray> built = NoteDocument::savedThenAppended(written);
            QVERIFY(built.ok());
            QCOMPARE(built.value(), TestEnvironment::readFile(path));

            NoteRecordList readBack;
            for (const NoteRecord& record : written) {
                readBack << NoteDocument::readBack(record);
                readBack.last().FileName = path;
            }
            QCOMPARE(dataOf(readBack), dataOf(modNote::LoadNote(false, path)));
        }
    }

    void noteListIsOneWriteOfWhatAppendingGives()
    {
        const NoteRecordList notes{note(QStringLiteral("one")), note(QStringLiteral("two")),
                                   note(QStringLiteral("three"))};
        const QString list = notePath("recovery.not");
        QVERIFY(modNote::WriteNoteList(notes, list).ok());
        QVERIFY(modNote::SaveMainNotes(notes).ok());
        QCOMPARE(TestEnvironment::readFile(list),
                 TestEnvironment::readFile(AppPaths::mainDataFile()));

        // Appending one at a time reads back the same.
        QVERIFY(QFile::remove(AppPaths::mainDataFile()));
        for (const NoteRecord& record : notes)
            modNote::SaveMainNote(record);
        QVERIFY(modNote::SaveMainNotes({note(QStringLiteral("four"))}).ok());
        const QStringList expected{QStringLiteral("one"), QStringLiteral("two"),
                                   QStringLiteral("three")};
        QCOMPARE(dataOf(modNote::LoadNote(false, list)), expected);
        QCOMPARE(dataOf(modNote::LoadNote(true, QString())),
                 expected + QStringList{QStringLiteral("four")});

        QVERIFY(modNote::WriteNoteList(notes, notePath("no/such/folder/x.not")).failed());
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    void controlCharacterInFileNameKeepsFileReadable()
    {
        NoteRecord record = note(QStringLiteral("text"));
        record.TimeDate = QStringLiteral("File: a\x01.not");
        const QString path = notePath("control.not");
        QCOMPARE(modNote::SaveNote(record, path), path);
        modNote::AppendNote(record, path);
        const NoteRecordList notes = modNote::LoadNote(false, path);
        QCOMPARE(notes.size(), 2);
        QCOMPARE(notes[1].TimeDate, QStringLiteral("File: a") + QChar(QChar::ReplacementCharacter) +
                                        QStringLiteral(".not"));
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    void saveDialogAsksBeforeReplacing_data()
    {
        QTest::addColumn<bool>("append");
        QTest::addColumn<bool>("confirms");
        QTest::newRow("Save As") << false << true;
        QTest::newRow("Append To adds, so has nothing to confirm") << true << false;
    }

    void saveDialogAsksBeforeReplacing()
    {
        QFETCH(bool, append);
        QFETCH(bool, confirms);
        DialogSeam::disarm();
        std::optional<bool> asked;
        QTimer::singleShot(0, [&] {
            QFileDialog* fileDialog = RealDialogs::waitForFileDialog();
            if (!fileDialog)
                return;
            asked = !fileDialog->testOption(QFileDialog::DontConfirmOverwrite);
            fileDialog->reject();
        });
        if (append)
            modNote::AppendNote(note(QStringLiteral("x")), QString());
        else
            modNote::SaveNote(note(QStringLiteral("x")), QString());
        DialogSeam::arm();
        QVERIFY(asked.has_value());
        QCOMPARE(*asked, confirms);
    }

    void unreadableFilesFailWithOneLogLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("sparseSize");
        QTest::addColumn<int>("number");
        const int broken = ErrorNumber::XmlParseError;
        const int refused = ErrorNumber::InvalidFileFormat;
        const QByteArray whole = NoteDocument::wholeDocument(note(QStringLiteral("x")));
        QTest::newRow("empty") << QByteArray() << qint64(0) << broken;
        QTest::newRow("truncated") << whole.left(whole.size() / 2) << qint64(0) << broken;
        QTest::newRow("not well-formed")
            << QByteArray("<NOTES><NOTE></NOTES>") << qint64(0) << broken;
        QTest::newRow("nested 100000 deep") << "<NOTES>" + QByteArray("<a>").repeated(100000) +
                                                   QByteArray("</a>").repeated(100000) + "</NOTES>"
                                            << qint64(0) << refused;
        QTest::newRow("entity used 200000 times")
            << "<!DOCTYPE NOTES [<!ENTITY e \"" + QByteArray(1000, 'x') +
                   "\">]><NOTES><NOTE><DATA>" + QByteArray("&e;").repeated(200000) +
                   "</DATA></NOTE></NOTES>"
            << qint64(0) << refused;
        QTest::newRow("a million notes")
            << "<NOTES>" + QByteArray("<NOTE/>").repeated(1000000) + "</NOTES>" << qint64(0)
            << refused;
        QTest::newRow("100,000 attributes")
            << HostileNotes::manyAttributes(100000) << qint64(0) << refused;
        QTest::newRow("default attribute, no entity")
            << HostileNotes::defaultAttribute(1000) << qint64(0) << refused;
        QTest::newRow("no-break space in an instruction's name")
            << HostileNotes::instructionNamedWith("\xC2\xA0") << qint64(0) << refused;
        QTest::newRow("larger than the limit")
            << QByteArray() << NoteDocument::kMaxFileBytes + 1 << refused;
    }

    void unreadableFilesFailWithOneLogLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, sparseSize);
        QFETCH(int, number);
        const QString path = notePath("hostile.not");
        QVERIFY(writeHostile(path, bytes, sparseSize));
        QVERIFY(modNote::LoadNote(false, path).isEmpty());
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().contains(QStringLiteral("\tmodNote: LoadNote\t%1\t").arg(number)),
                 qPrintable(log.first()));
        QVERIFY(QFile::exists(path)); // only the main data file is moved aside
        QFile::remove(path);
    }

    void unreadableMainFileIsMovedAside_data() { unreadableFilesFailWithOneLogLine_data(); }

    void unreadableMainFileIsMovedAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, sparseSize);
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(9, 21, 58)));
        const QString main = AppPaths::mainDataFile();
        const QString aside = main + QStringLiteral(".bad-20261206-092158");

        // At start-up: nothing to restore, and the file is kept aside for rescue.
        QVERIFY(writeHostile(main, bytes, sparseSize));
        const qint64 size = QFileInfo(main).size();
        QVERIFY(modNote::LoadNote(true, QString()).isEmpty());
        QVERIFY(!QFile::exists(main));
        QCOMPARE(QFileInfo(aside).size(), size);
        QCOMPARE(TestEnvironment::logLines().size(), 1);
        QVERIFY(TestEnvironment::logLines().last().contains(aside));

        // At logout: the notes go into a fresh file instead of failing on the broken one.
        QVERIFY(writeHostile(main, bytes, sparseSize));
        modNote::SaveMainNote(note(QStringLiteral("kept")));
        QCOMPARE(dataOf(modNote::LoadNote(true, QString())), QStringList{QStringLiteral("kept")});
        QVERIFY(QFile::exists(aside + QStringLiteral("-2")));
        QCOMPARE(TestEnvironment::logLines().size(), 2);
        QVERIFY(TestEnvironment::logLines().last().contains(
            QStringLiteral("\tmodNote: SaveMainNote\t")));
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

    // A user's file is read only when it is a regular file: a FIFO without a writer or a
    // device would block the read, or never end it, and freeze the program.
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("number"); // 0: read
        QTest::newRow("regular") << "regular" << 0;
        QTest::newRow("FIFO") << "fifo" << ErrorNumber::PathFileAccessError;
        QTest::newRow("endless device") << "/dev/zero" << ErrorNumber::PathFileAccessError;
        QTest::newRow("over the cap") << "large" << ErrorNumber::Overflow;
        QTest::newRow("missing") << "missing" << ErrorNumber::FileNotFound;
    }

    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, kind);
        QFETCH(int, number);
        QString path = notePath("user.not");
        QFile::remove(path);
        if (kind == QLatin1String("regular") || kind == QLatin1String("large"))
            QVERIFY(TestEnvironment::writeFile(path,
                                               kind == QLatin1String("large") ? "12345" : "1234"));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind.startsWith(QLatin1Char('/')))
            path = kind;
        const Expected<QByteArray> bytes = modFileFunctions::ReadRegularFile(path, 4);
        if (number == 0) {
            QVERIFY(bytes.ok());
            QCOMPARE(bytes.value(), QByteArray("1234"));
            return;
        }
        QVERIFY(bytes.failed());
        QCOMPARE(bytes.error().number, number);
        QVERIFY(bytes.error().description.endsWith(path));
    }

    // Open, the command line and Append To all refuse a FIFO as an unreadable file at once.
    void noteFileThatIsAFifoIsRefusedAsUnreadable()
    {
        const QString path = notePath("pipe.not");
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const Expected<QDomDocument> parsed = NoteDocument::parseFile(path);
        QVERIFY(parsed.failed());
        QCOMPARE(parsed.error().number, ErrorNumber::PermissionDenied);
        QVERIFY(modNote::LoadNote(false, path).isEmpty());
        modNote::WriteFailure failure;
        QCOMPARE(modNote::AppendNote(note(QStringLiteral("a")), path, nullptr, &failure),
                 QString());
        QFileInfo after(path);
        QVERIFY(!after.isFile()); // the FIFO is left as it was
        QFile::remove(path);
    }
};

JOTTEX_GUI_TEST_MAIN(TestModNote)
#include "tst_modnote.moc"
