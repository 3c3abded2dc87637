#include "MarkingTranslator.h"
#include "NoteWindows.h"
#include "Samples.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestSeams.h"
#include "dialogs/DialogSeam.h"
#include "manager/AllNotes.h"
#include "manager/NoteTray.h"
#include "manager/frmNoteManager.h"
#include "manager/frmSearch.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "store/RecentFiles.h"
#include "store/modNote.h"
#include "window/NoteHooks.h"
#include "window/NoteMenus.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QTextEdit>
#include <QThreadPool>
#include <QToolBar>
#include <QtTest>
#include <memory>
#include <unistd.h>

using Buttons = QList<QMessageBox::StandardButton>;

// How a note is out of sight before Show All.
enum class OutOfSight { StripMinimised, WindowMinimised, OffScreen, Hidden };

// How often the tray's Quit ran its hook.
int quitCount = 0;

// How a note window changes the listed file behind the manager's back.
enum class OtherWriter { AppendTo, SaveOfTiedNote };

class TestFrmNoteManager : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString noteFile(const QString& name = QStringLiteral("notes.not")) const
    {
        return m_folder.filePath(name);
    }

    // Notes "1" ... "count", each at its own place, written as the store writes them.
    static NoteRecordList numberedNotes(int count)
    {
        NoteRecordList notes;
        for (int i = 1; i <= count; ++i)
            notes << Samples::note(QString::number(i), 100 * i, 50 * i);
        return notes;
    }

    // The file the written delete made: the first note saved whole, each further one appended.
    static QByteArray writtenSequence(const NoteRecordList& notes, const QString& path)
    {
        QFile::remove(path);
        modNote::SaveNote(notes.first(), path);
        for (qsizetype i = 1; i < notes.size(); ++i)
            modNote::AppendNote(notes.at(i), path);
        return TestEnvironment::readFile(path);
    }

    static QStringList texts(const NoteRecordList& notes)
    {
        QStringList result;
        for (const NoteRecord& note : notes)
            result << RichText::toPlainText(note.Data).trimmed();
        return result;
    }

    frmNoteManager* listed(int count)
    {
        if (modNote::WriteNoteList(numberedNotes(count), noteFile()).failed())
            qFatal("cannot write the note file");
        frmNoteManager::showFor(nullptr);
        frmNoteManager* manager = frmNoteManager::current();
        manager->RefreshDisplay(noteFile());
        if (!QTest::qWaitFor([manager] { return !manager->isLoading(); }))
            qFatal("the note file was never read");
        return manager;
    }

    static QStringList itemTexts(const frmNoteManager* manager)
    {
        QStringList result;
        const QAbstractItemModel* model = manager->lvNotes()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            result << model->index(row, 0).data().toString();
        return result;
    }

    // Delete Note, Show Note and the two tool bar buttons.
    static QList<bool> commandStates(const frmNoteManager* manager)
    {
        return {manager->findChild<QAction*>(QStringLiteral("mnuDelete"))->isEnabled(),
                manager->findChild<QAction*>(QStringLiteral("mnuPreview"))->isEnabled(),
                manager->toolbarButton(QStringLiteral("show"))->isEnabled(),
                manager->toolbarButton(QStringLiteral("delete"))->isEnabled()};
    }
    static QList<bool> all(bool state) { return {state, state, state, state}; }

    static QString leftoverPath()
    {
        return AppPaths::appDirectory() + QStringLiteral("/tmp_note.not");
    }

    // As a user does it: a click on the note's item, then the tool bar's delete button.
    static void deleteByHand(frmNoteManager* manager, int index)
    {
        QListView* list = manager->lvNotes();
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QCOMPARE(manager->selectedIndex(), index);
        manager->toolbarButton(QStringLiteral("delete"))->trigger();
    }

    // A note window writes the listed file: Append To from a new note ("appended"), or a Save
    // of the note opened from the file's first note, its text replaced by "saved".
    void writeFromANote(OtherWriter writer)
    {
        const bool append = writer == OtherWriter::AppendTo;
        frmMain* window = append ? frmMain::create(NoteOrigin::NewNote)
                                 : frmMain::create(NoteOrigin::NoteFile,
                                                   modNote::LoadNote(false, noteFile()).first());
        window->show();
        window->RTB1()->setFocus();
        window->RTB1()->selectAll();
        QTest::keyClicks(window->RTB1(), append ? QStringLiteral("appended") : "saved");
        if (append)
            DialogSeam::queueFileAnswer(noteFile());
        window->triggerMenuItem(NoteMenus::mnuSave, append ? 2 : 0);
        // The saved note is on disk as the window shows it.
        if (!append)
            QCOMPARE(window->lblCaption()->text(), QStringLiteral("Jottex"));
    }

    static QStringList boxTitles()
    {
        QStringList titles;
        for (const DialogSeam::Request& request : DialogSeam::requests()) {
            if (request.kind == DialogSeam::Kind::MessageBox)
                titles << request.title;
        }
        return titles;
    }

    // The search window, its remembered files read, after typing text into its field.
    static frmSearch* searchedFor(const QString& text)
    {
        AllNotes::search({});
        frmSearch* search = frmSearch::current();
        if (!search || !QTest::qWaitFor([search] { return !search->isLoading(); }))
            qFatal("the search window never read its files");
        search->txtSearch()->clear();
        QTest::keyClicks(search->txtSearch(), text);
        return search;
    }

    static QStringList firstLines(const frmSearch* search)
    {
        QStringList lines;
        for (const SearchMatch& match : search->matches())
            lines << match.firstLine;
        return lines;
    }

    // A remembered note file of notes with these texts.
    QString recentFile(const QStringList& texts, const QString& name = "recent.not")
    {
        NoteRecordList notes;
        for (const QString& text : texts)
            notes << Samples::note(text);
        if (modNote::WriteNoteList(notes, noteFile(name)).failed())
            qFatal("cannot write the note file");
        RecentFiles::record(noteFile(name));
        return noteFile(name);
    }

    QString searchScreenshot(const QString& folder, const QString& name)
    {
        NoteWindows::deleteAll();
        delete frmSearch::current();
        recentFile({"Menu", "Caf\\'e9 au lait, 2.50 the cup"});
        frmMain::create(NoteOrigin::StoredRecord,
                        Samples::note("Groceries\\par bread, milk, caf\\'e9 beans"))
            ->show();
        frmMain::create(NoteOrigin::StoredRecord,
                        Samples::note("Call the caf\\'e9 about Friday's booking for twelve people"))
            ->show();
        frmSearch* search = searchedFor("cafe");
        if (!QTest::qWaitFor([search] { return search->matches().size() == 3; }))
            return "no matches";
        search->resize(560, 300);
        if (!QTest::qWaitForWindowExposed(search))
            return "never shown";
        const QString path = folder + "/" + name;
        return search->grab().save(path) ? QString() : path;
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        DialogSeam::clearRequests();
        QFile::remove(noteFile());
    }

    void cleanup()
    {
        if (frmNoteManager* manager = frmNoteManager::current())
            delete manager;
        delete frmSearch::current();
        NoteWindows::deleteAll();
        NoteHooks::setShowManager({});
        AllNotes::showAll();
    }

    void noteMenuOpensOneSharedManager()
    {
        NoteHooks::setShowManager([](frmMain& owner) { frmNoteManager::showFor(&owner); });
        frmMain* note = frmMain::create(NoteOrigin::NewNote);
        note->show();
        note->triggerMenuItem(NoteMenus::mnuMulitNote);
        frmNoteManager* manager = frmNoteManager::current();
        QVERIFY(manager);
        QCOMPARE(manager->windowTitle(), QStringLiteral("Multi-Note Manager"));
        QCOMPARE(manager->parentWidget(), note);
        QVERIFY(manager->isVisible());
        QCOMPARE(manager->lvNotes()->model()->rowCount(), 0);
        QCOMPARE(commandStates(manager), all(false));
        // The note stays on top, as it was before.
        QVERIFY(note->windowHandle()->flags() & Qt::WindowStaysOnTopHint);

        note->triggerMenuItem(NoteMenus::mnuMulitNote);
        QCOMPARE(frmNoteManager::current(), manager);
        QVERIFY(manager->close());
        QTRY_VERIFY(!frmNoteManager::current());
    }

    void deleteKeepsWrittenOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<Buttons>("answers");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("box");

        const QString confirm = QStringLiteral("Confirm Delete");
        QTest::newRow("one note") << 1 << 0 << Buttons{} << QStringList{"1"}
                                  << QStringLiteral("Jottex Delete");
        QTest::newRow("first of three")
            << 3 << 0 << Buttons{QMessageBox::Ok} << QStringList{"3", "2"} << confirm;
        QTest::newRow("second of four")
            << 4 << 1 << Buttons{QMessageBox::Ok} << QStringList{"1", "4", "3"} << confirm;
        QTest::newRow("last of three")
            << 3 << 2 << Buttons{QMessageBox::Ok} << QStringList{"1", "2"} << confirm;
        QTest::newRow("cancel") << 3 << 1 << Buttons{QMessageBox::Cancel}
                                << QStringList{"1", "2", "3"} << confirm;
        QTest::newRow("box closed") << 3 << 1 << Buttons{} << QStringList{"1", "2", "3"} << confirm;
    }

    void deleteKeepsWrittenOrder()
    {
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(Buttons, answers);
        QFETCH(QStringList, expected);
        QFETCH(QString, box);
        QVERIFY(TestEnvironment::writeFile(leftoverPath(), "left by an older version"));
        frmNoteManager* manager = listed(count);
        const QByteArray before = TestEnvironment::readFile(noteFile());
        const NoteRecordList listedNotes = manager->notes();
        for (QMessageBox::StandardButton answer : answers)
            DialogSeam::queueMessageBoxAnswer(answer);

        manager->lvNotes()->setCurrentIndex(manager->lvNotes()->model()->index(index, 0));
        manager->Toolbar1_ButtonClick(QStringLiteral("delete"));

        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().title, box);
        const bool deleted = expected.size() < count;
        QCOMPARE(texts(manager->notes()), expected);
        QCOMPARE(manager->notes(), modNote::LoadNote(false, noteFile()));
        QCOMPARE(itemTexts(manager).size(), expected.size());
        QCOMPARE(itemTexts(manager).last(), QStringLiteral("Note %1").arg(expected.size()));
        QCOMPARE(QFile::exists(leftoverPath()), !deleted);
        if (!deleted) {
            QCOMPARE(TestEnvironment::readFile(noteFile()), before);
            return;
        }
        // Byte for byte what saving the first and appending the others would have written.
        NoteRecordList remaining = listedNotes;
        remaining[index] = remaining.last();
        remaining.removeLast();
        QCOMPARE(TestEnvironment::readFile(noteFile()),
                 writtenSequence(remaining, noteFile(QStringLiteral("oracle.not"))));
        // The list was rebuilt from the file: a click shows the note now at that place.
        QVERIFY(manager->rtbPreview()->toPlainText().isEmpty());
        const QModelIndex first = manager->lvNotes()->model()->index(0, 0);
        manager->lvNotes_ItemClick(first);
        QCOMPARE(manager->rtbPreview()->toPlainText().trimmed(), expected.first());
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    // A note window writes the listed file before the delete: the delete re-reads the file,
    // lists it again and asks again, and the other writer's note and text stay.
    void deleteAfterAnotherWriteKeepsIt_data()
    {
        QTest::addColumn<OtherWriter>("writer");
        QTest::addColumn<int>("index");
        QTest::addColumn<Buttons>("answers");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("expected");

        const QString confirm = QStringLiteral("Confirm Delete");
        QTest::newRow("append to, delete note 2")
            << OtherWriter::AppendTo << 1 << Buttons{QMessageBox::Ok, QMessageBox::Ok}
            << QStringList{confirm, confirm} << QStringList{"1", "appended", "3"};
        QTest::newRow("append to, cancelled when asked again")
            << OtherWriter::AppendTo << 1 << Buttons{QMessageBox::Ok, QMessageBox::Cancel}
            << QStringList{confirm, confirm} << QStringList{"1", "2", "3", "appended"};
        QTest::newRow("tied note saved, delete note 2")
            << OtherWriter::SaveOfTiedNote << 1 << Buttons{QMessageBox::Ok, QMessageBox::Ok}
            << QStringList{confirm, confirm} << QStringList{"saved", "3"};
        QTest::newRow("tied note saved, delete that note")
            << OtherWriter::SaveOfTiedNote << 0 << Buttons{QMessageBox::Ok}
            << QStringList{confirm, QStringLiteral("Jottex Delete")}
            << QStringList{"saved", "2", "3"};
    }

    void deleteAfterAnotherWriteKeepsIt()
    {
        QFETCH(OtherWriter, writer);
        QFETCH(int, index);
        QFETCH(Buttons, answers);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, expected);
        frmNoteManager* manager = listed(3);
        QVERIFY(QTest::qWaitForWindowExposed(manager));
        writeFromANote(writer);
        DialogSeam::clearRequests();
        for (QMessageBox::StandardButton answer : answers)
            DialogSeam::queueMessageBoxAnswer(answer);

        deleteByHand(manager, index);

        QCOMPARE(boxTitles(), boxes);
        const QString asked = DialogSeam::requests().last().text;
        QVERIFY2(asked.contains(QStringLiteral("changed")), qPrintable(asked));
        QCOMPARE(texts(modNote::LoadNote(false, noteFile())), expected);
        QCOMPARE(manager->notes(), modNote::LoadNote(false, noteFile()));
        QCOMPARE(itemTexts(manager).size(), expected.size());
        QVERIFY(TestEnvironment::logLines().isEmpty());

        // Listed afresh, the next delete needs no second question.
        if (expected.size() > 2) {
            DialogSeam::clearRequests();
            DialogSeam::queueMessageBoxAnswer(QMessageBox::Ok);
            deleteByHand(manager, 0);
            QCOMPARE(boxTitles(), QStringList{QStringLiteral("Confirm Delete")});
            QCOMPARE(modNote::LoadNote(false, noteFile()).size(), expected.size() - 1);
        }
    }

    // Text that reading a file changes (character references to CR, blank values, markup
    // characters) still comes out as the save-and-append sequence writes it.
    void deleteFromFileWithOddText()
    {
        const QByteArray note = "<NOTE><COLOR>%1</COLOR><DATA>{\\rtf1 %2 a&#13;&#10;b&#13;c &amp; "
                                "&lt;d&gt; \"q\" 'r'\\par}</DATA><TIMEDATE> </TIMEDATE>"
                                "<HEIGHT>1</HEIGHT><WIDTH>2</WIDTH><LEFT>3</LEFT><TOP>4</TOP>"
                                "</NOTE>\r\n";
        QByteArray file = "<?xml version=\"1.0\"?>\r\n<NOTES>\r\n";
        for (const char* color : {" ", "blue", "red", "\t"})
            file += QByteArray(note).replace("%1", color).replace("%2", color);
        file += "</NOTES>\r\n";
        QVERIFY(TestEnvironment::writeFile(noteFile(), file));
        frmNoteManager::showFor(nullptr);
        frmNoteManager* manager = frmNoteManager::current();
        manager->RefreshDisplay(noteFile());
        QTRY_VERIFY(!manager->isLoading());
        QCOMPARE(manager->notes().size(), 4);
        NoteRecordList remaining = manager->notes();
        remaining[1] = remaining.takeLast();

        DialogSeam::queueMessageBoxAnswer(QMessageBox::Ok);
        manager->DeleteNote(1);
        QCOMPARE(TestEnvironment::readFile(noteFile()),
                 writtenSequence(remaining, noteFile(QStringLiteral("oracle.not"))));
        // Listed as reading the file again lists it.
        QCOMPARE(manager->notes(), modNote::LoadNote(false, noteFile()));
    }

    // A large file is read away from the interface: the list comes when it is read, and a
    // manager closed meanwhile is gone without taking it.
    void largeFileIsListedWithoutHoldingTheInterface()
    {
        constexpr int kNotes = 3000;
        QVERIFY(modNote::WriteNoteList(numberedNotes(kNotes), noteFile()).ok());
        frmNoteManager::showFor(nullptr);
        QPointer<frmNoteManager> manager = frmNoteManager::current();
        manager->RefreshDisplay(noteFile());
        QVERIFY(manager->isLoading());
        QCOMPARE(manager->lvNotes()->model()->rowCount(), 0);
        QCOMPARE(commandStates(manager), all(false));
        QTRY_COMPARE(manager->lvNotes()->model()->rowCount(), kNotes);
        QCOMPARE(commandStates(manager), all(true));

        manager->RefreshDisplay(noteFile());
        delete manager;
        QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!frmNoteManager::current());
    }

    void cancelledFileChoiceEmptiesList()
    {
        frmNoteManager* manager = listed(2);
        manager->lvNotes_ItemClick(manager->lvNotes()->model()->index(1, 0));
        QCOMPARE(commandStates(manager), all(true));
        DialogSeam::queueFileCancel();
        manager->Toolbar1_ButtonClick(QStringLiteral("Open")); // keys are case-sensitive
        QVERIFY(DialogSeam::requests().isEmpty());
        manager->Toolbar1_ButtonClick(QStringLiteral("open"));
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().kind, DialogSeam::Kind::OpenFile);
        QCOMPARE(manager->lvNotes()->model()->rowCount(), 0);
        QVERIFY(manager->rtbPreview()->toPlainText().isEmpty());
        QCOMPARE(commandStates(manager), all(false));
    }

    void showNoteOpensAnUntiedCopy()
    {
        frmNoteManager* manager = listed(3);
        manager->lvNotes()->setCurrentIndex(manager->lvNotes()->model()->index(1, 0));
        manager->findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
        QCOMPARE(frmMain::openWindows().size(), 1);
        frmMain* note = frmMain::openWindows().first();
        const NoteRecord stored = numberedNotes(3).at(1);
        QVERIFY(note->isVisible());
        QCOMPARE(note->Text().trimmed(), QStringLiteral("2"));
        QCOMPARE(note->note().Color, stored.Color);
        QCOMPARE(note->lblSubCaption()->text(), stored.TimeDate);
        QCOMPARE(note->twipsGeometry(),
                 QRect(stored.Left, stored.Top, stored.Width, stored.Height));
        QVERIFY(note->IsDirty());
        QVERIFY(note->NoteFileName().isEmpty());
        QVERIFY(note->shownFile().isEmpty());
        QCOMPARE(manager->notes().size(), 3);
    }

    // A note too long for a text area is previewed and sent to the desktop by its start, and
    // the copy on the desktop keeps the whole note.
    void longNoteIsPreviewedAndShownByItsStart()
    {
        NoteRecordList notes = numberedNotes(2);
        notes[1].Data = QStringLiteral("{\\rtf1\\ansi first\\par ") +
                        QStringLiteral("more\\par ").repeated(100000) + QLatin1Char('}');
        QVERIFY(!modNote::WriteNoteList(notes, noteFile()).failed());
        frmNoteManager::showFor(nullptr);
        frmNoteManager* manager = frmNoteManager::current();
        manager->RefreshDisplay(noteFile());
        QTRY_VERIFY(!manager->isLoading());
        const QModelIndex second = manager->lvNotes()->model()->index(1, 0);
        manager->lvNotes_ItemClick(second);
        const QTextDocument* preview = manager->rtbPreview()->document();
        QVERIFY(preview->blockCount() < 100000);
        QVERIFY(preview->toPlainText().contains(QStringLiteral("\nfirst\n")));
        manager->lvNotes()->setCurrentIndex(second);
        manager->findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
        frmMain* note = frmMain::openWindows().first();
        QVERIFY(note->showsPart());
        QCOMPARE(note->recordAsKept().Data, notes[1].Data);
    }

    // The preview shows a note's picture, as the note itself does.
    void previewShowsPictures()
    {
        NoteRecordList notes = numberedNotes(2);
        const QImage picture = TestPictures::picture(30, 20);
        notes[1].Data = QStringLiteral("{\\rtf1\\ansi with {\\pict\\pngblip ") +
                        QString::fromLatin1(TestPictures::encoded(picture).toHex()) +
                        QStringLiteral("} inside\\par}");
        QVERIFY(!modNote::WriteNoteList(notes, noteFile()).failed());
        frmNoteManager::showFor(nullptr);
        frmNoteManager* manager = frmNoteManager::current();
        manager->RefreshDisplay(noteFile());
        QTRY_VERIFY(!manager->isLoading());
        manager->lvNotes_ItemClick(manager->lvNotes()->model()->index(1, 0));
        const QTextDocument* preview = manager->rtbPreview()->document();
        QCOMPARE(preview->toPlainText(), QStringLiteral("with \uFFFC inside"));
        QTextCursor at(const_cast<QTextDocument*>(preview));
        at.setPosition(6);
        QCOMPARE(RichText::pictureOf(preview, at.charFormat().toImageFormat())
                     .convertToFormat(QImage::Format_RGB32),
                 picture);
    }

    void nothingSelected()
    {
        frmNoteManager* manager = listed(3);
        manager->lvNotes()->clearSelection();
        manager->Toolbar1_ButtonClick(QStringLiteral("delete"));
        QVERIFY(DialogSeam::requests().isEmpty());
        QCOMPARE(modNote::LoadNote(false, noteFile()).size(), 3);
        manager->Toolbar1_ButtonClick(QStringLiteral("show"));
        QVERIFY(frmMain::openWindows().isEmpty());
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log.first().contains(QStringLiteral("frmNoteManager: ShowNote")));
    }

    void tinyHeightShrinksOnlyTheList()
    {
        frmNoteManager* manager = listed(3);
        const int previewHeight = manager->rtbPreview()->height();
        manager->centralWidget()->resize(200, 10);
        QCOMPARE(manager->rtbPreview()->height(), previewHeight);
        manager->centralWidget()->resize(200, 60);
        QCOMPARE(manager->lvNotes()->height(), 60 - previewHeight - manager->Toolbar1()->height());
        QCOMPARE(manager->rtbPreview()->y(), manager->lvNotes()->geometry().bottom() + 1);
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    // What was listed can no longer be rewritten: everything stays, and one line says why.
    void failedRewriteChangesNothing_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file vanished") << "vanished"
                                       << "File not found";
        QTest::newRow("disk full") << "full"
                                   << "the disk is full";
        QTest::newRow("folder not writable") << "readonly"
                                             << "";
    }

    void failedRewriteChangesNothing()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        TestSeams seams;
        const QString path = folder.filePath(QStringLiteral("notes.not"));
        QVERIFY(modNote::WriteNoteList(numberedNotes(3), path).ok());
        frmNoteManager::showFor(nullptr);
        frmNoteManager* manager = frmNoteManager::current();
        manager->RefreshDisplay(path);
        QTRY_VERIFY(!manager->isLoading());
        const QByteArray before = TestEnvironment::readFile(path);
        bool immutable = false;
        if (cause == QLatin1String("vanished")) {
            QVERIFY(QFile::remove(path));
        } else if (cause == QLatin1String("full")) {
            seams.failWritesAfter(0);
        } else if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(folder.path(),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            // Permissions do not stop root; an immutable folder does, where the file system
            // has the attribute.
            immutable = QProcess::execute(QStringLiteral("chattr"),
                                          {QStringLiteral("+i"), folder.path()}) == 0;
            if (!immutable)
                QSKIP("Running as root without chattr +i: no way to make a folder unwritable");
        }
        DialogSeam::queueMessageBoxAnswer(QMessageBox::Ok);
        manager->DeleteNote(0);
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder.path()});
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);

        QCOMPARE(texts(manager->notes()), (QStringList{"1", "2", "3"}));
        QCOMPARE(manager->lvNotes()->model()->rowCount(), 3);
        if (cause == QLatin1String("vanished"))
            QVERIFY(!QFile::exists(path));
        else
            QCOMPARE(TestEnvironment::readFile(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 cause == QLatin1String("vanished") ? 0 : 1);
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log.first().contains(QStringLiteral("frmNoteManager: DeleteNote")));
        // Told, not only logged, in a box of the manager's own.
        QCOMPARE(boxTitles(), (QStringList{"Confirm Delete", "Jottex Delete"}));
        const DialogSeam::Request told = DialogSeam::requests().last();
        QCOMPARE(told.owner, manager);
        QVERIFY2(told.text.startsWith(QStringLiteral("The note could not be deleted from ") +
                                      QDir::toNativeSeparators(path)),
                 qPrintable(told.text));
        QVERIFY2(told.text.contains(reason), qPrintable(told.text));
    }

    // A screen reader names the list and each picture-only tool bar button, and a press on a
    // button through the accessibility interface runs its command.
    void listAndButtonsTellScreenReadersWhatTheyAre()
    {
        frmNoteManager* manager = listed(2);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(manager->lvNotes());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Notes"));
        const auto* toolbar = manager->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        const std::pair<const char*, const char*> buttons[] = {
            {"open", "Open a note"}, {"show", "Show note(s)"}, {"delete", "Delete note(s)"}};
        for (const auto& [key, name] : buttons) {
            QWidget* button =
                toolbar->widgetForAction(manager->findChild<QAction*>(QLatin1String(key)));
            QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(button);
            QCOMPARE(seen->role(), QAccessible::Button);
            QCOMPARE(seen->text(QAccessible::Name), QString::fromLatin1(name));
            QVERIFY(seen->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
        }
        DialogSeam::queueFileCancel();
        QWidget* open =
            toolbar->widgetForAction(manager->findChild<QAction*>(QStringLiteral("open")));
        QAccessible::queryAccessibleInterface(open)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().kind, DialogSeam::Kind::OpenFile);
    }

    // The manager's texts come through the translator when it is made; the objects the code
    // finds by name keep their names.
    void shownTextsComeThroughTheTranslator()
    {
        const MarkingTranslator translator;
        frmNoteManager* manager = listed(2);
        const auto marked = [](const char* context, const char* text) {
            return MarkingTranslator::marked(context, QString::fromUtf8(text));
        };
        QCOMPARE(manager->windowTitle(), marked("frmNoteManager", "Multi-Note Manager"));
        auto* remove = manager->findChild<QAction*>(QStringLiteral("mnuDelete"));
        QCOMPARE(remove->text(), marked("frmNoteManager", "Delete Note"));
        QCOMPARE(manager->findChild<QAction*>(QStringLiteral("delete"))->toolTip(),
                 marked("frmNoteManager", "Delete note(s)"));
        QCOMPARE(itemTexts(manager), QStringList({marked("NoteListModel", "Note %1").arg(1),
                                                  marked("NoteListModel", "Note %1").arg(2)}));

        manager->lvNotes_ItemClick(manager->lvNotes()->model()->index(0, 0));
        DialogSeam::queueMessageBoxAnswer(QMessageBox::Cancel);
        remove->trigger();
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().title, marked("frmNoteManager", "Confirm Delete"));
        QCOMPARE(DialogSeam::requests().first().text,
                 marked("frmNoteManager", "Are you sure you want to delete this note?"));
    }

    void showAllBringsEveryNoteBack_data()
    {
        QTest::addColumn<OutOfSight>("state");
        QTest::newRow("minimised to its strip") << OutOfSight::StripMinimised;
        QTest::newRow("minimised by the window manager") << OutOfSight::WindowMinimised;
        QTest::newRow("off every screen") << OutOfSight::OffScreen;
        QTest::newRow("hidden") << OutOfSight::Hidden;
    }

    void showAllBringsEveryNoteBack()
    {
        QFETCH(OutOfSight, state);
        frmMain* shown = NoteWindows::newNote();
        frmMain* note = NoteWindows::newNote();
        const QSize fullSize = note->size();
        switch (state) {
        case OutOfSight::StripMinimised:
            note->MinimizeNote();
            QVERIFY(note->height() < fullSize.height());
            break;
        case OutOfSight::WindowMinimised:
            note->showMinimized();
            break;
        case OutOfSight::OffScreen:
            note->move(-20000, -20000);
            break;
        case OutOfSight::Hidden:
            note->hide();
            break;
        }
        AllNotes::showAll();
        for (const frmMain* window : {shown, note}) {
            QVERIFY(window->isVisible());
            QVERIFY(!window->isMinimized());
            QVERIFY(!window->isMinimizedToStrip());
        }
        QCOMPARE(note->size(), fullSize);
        // The caption strip, which the user drags the note by, is on a screen.
        const QRect strip(note->pos(), QSize(note->width(), 10));
        QVERIFY2(note->screen()->availableGeometry().intersects(strip),
                 qPrintable(QStringLiteral("%1,%2").arg(note->x()).arg(note->y())));
    }

    // Hidden notes stay hidden while a new one shows; the next toggle takes that one too.
    void hideAndToggleFollowWhatShows()
    {
        const QList<frmMain*> notes{NoteWindows::newNote(), NoteWindows::newNote()};
        const auto shownCount = [] {
            return std::count_if(frmMain::openWindows().cbegin(), frmMain::openWindows().cend(),
                                 [](const frmMain* window) { return window->isVisible(); });
        };
        QVERIFY(!AllNotes::hidden());
        AllNotes::toggle();
        QVERIFY(AllNotes::hidden());
        QCOMPARE(shownCount(), 0);
        AllNotes::toggle();
        QVERIFY(!AllNotes::hidden());
        QCOMPARE(shownCount(), 2);

        AllNotes::hideAll();
        AllNotes::newNote();
        QCOMPARE(frmMain::openWindows().size(), 3);
        QVERIFY(frmMain::openWindows().last()->isVisible());
        QCOMPARE(shownCount(), 1);
        QVERIFY(!AllNotes::hidden());
        AllNotes::toggle();
        QCOMPARE(shownCount(), 0);
        QVERIFY(AllNotes::hidden());
        AllNotes::toggle();
        QCOMPARE(shownCount(), 3);
        QVERIFY(!AllNotes::hidden());
    }

    void trayMenuActsOnEveryNote()
    {
        NoteTray tray([] { ++quitCount; });
        QStringList texts;
        for (const QAction* action : tray.menu()->actions()) {
            if (!action->isSeparator())
                texts << action->text();
        }
        QCOMPARE(texts, QStringList({"New Note", "Show All Notes", "Hide All Notes",
                                     "Search Notes...", "Multi-Note Manager...", "Quit"}));

        tray.action(NoteTray::Item::NewNote)->trigger();
        QCOMPARE(frmMain::openWindows().size(), 1);
        frmMain* first = frmMain::openWindows().first();
        QVERIFY(first->isVisible());
        tray.action(NoteTray::Item::NewNote)->trigger();
        frmMain* second = frmMain::openWindows().last();

        // The item's text says what it will do, each time the menu opens.
        QAction* hideOrShow = tray.action(NoteTray::Item::HideOrShow);
        hideOrShow->trigger();
        QVERIFY(!first->isVisible() && !second->isVisible());
        emit tray.menu()->aboutToShow();
        QCOMPARE(hideOrShow->text(), QStringLiteral("Show Notes"));
        // A left click on the icon toggles.
        emit tray.icon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(first->isVisible() && second->isVisible());
        emit tray.menu()->aboutToShow();
        QCOMPARE(hideOrShow->text(), QStringLiteral("Hide All Notes"));
        emit tray.icon()->activated(QSystemTrayIcon::Context);
        QVERIFY(first->isVisible());

        // The manager belongs to the newest note that shows.
        second->hide();
        tray.action(NoteTray::Item::Manager)->trigger();
        QVERIFY(frmNoteManager::current());
        QCOMPARE(frmNoteManager::current()->parentWidget(), first);

        quitCount = 0;
        tray.action(NoteTray::Item::Quit)->trigger();
        QCOMPARE(quitCount, 1);
    }

    // Only the setting keeps the icon away; a tray that comes later gets it.
    void trayIconFollowsSetting()
    {
        QVERIFY(NoteTray::wanted());
        const std::unique_ptr<NoteTray> tray = NoteTray::install([] { ++quitCount; });
        QVERIFY(tray);
        QVERIFY(tray->icon()->isVisible());
        QVERIFY(modMain::WriteSetting(modMain::Setting::TrayIcon, QStringLiteral("false")).ok());
        QVERIFY(!NoteTray::wanted());
        QVERIFY(!NoteTray::install([] { ++quitCount; }));
        QVERIFY(modMain::WriteSetting(modMain::Setting::TrayIcon, QStringLiteral("True")).ok());
        QVERIFY(NoteTray::wanted());
    }

    // --- Search Notes.
    void searchFindsOpenNotesAndNotesOfRecentFiles()
    {
        frmMain::create(NoteOrigin::StoredRecord, Samples::note("Caf\\'e9 list\\par milk"))->show();
        frmMain::create(NoteOrigin::StoredRecord, Samples::note("Nothing to see"))->show();
        const QString path = recentFile({"Tea", "Second: CAFE opens at 9"});
        // The file's first note, open and tied to its file, is found once, as the open note.
        NoteRecord tied =
            modNote::LoadNote(false, recentFile({"Tied cafe note"}, "tied.not")).first();
        tied.FileName = noteFile("tied.not");
        frmMain::create(NoteOrigin::NoteFile, tied)->show();

        frmSearch* search = searchedFor("cafe");
        QTRY_COMPARE(firstLines(search), QStringList({QStringLiteral("Café list"), "Tied cafe note",
                                                      "Second: CAFE opens at 9"}));
        const SearchMatch& fromFile = search->matches().at(2);
        QCOMPARE(fromFile.place.file, path);
        QCOMPARE(fromFile.place.index, 1);
        QCOMPARE(fromFile.matched, "CAFE");
        QCOMPARE(search->lstResults()->count(), 3);
        QCOMPARE(search->lstResults()->item(0)->text(), QStringLiteral("Café list"));

        // A changed file is read again when the window comes up again.
        QVERIFY(modNote::WriteNoteList({Samples::note("Rewritten cafe")}, path).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
        file.close();
        search = searchedFor("cafe");
        QTRY_COMPARE(firstLines(search), QStringList({QStringLiteral("Café list"), "Tied cafe note",
                                                      "Rewritten cafe"}));
    }

    void enterRaisesAMinimisedNote()
    {
        frmMain* note = frmMain::create(NoteOrigin::StoredRecord, Samples::note("Dentist at four"));
        note->show();
        const QSize full = note->size();
        note->MinimizeNote();
        note->showMinimized();
        frmSearch* search = searchedFor("DENTIST");
        QTRY_COMPARE(search->matches().size(), 1);
        QTest::keyClick(search->txtSearch(), Qt::Key_Return);
        QVERIFY(!note->isMinimizedToStrip());
        QVERIFY(!note->isMinimized());
        QCOMPARE(note->size(), full);
        QCOMPARE(frmMain::openWindows().size(), 1);
    }

    void choosingANoteOfARecentFileOpensIt()
    {
        recentFile({"First", "Plumber: call back"});
        frmSearch* search = searchedFor("plumb");
        QTRY_COMPARE(search->matches().size(), 1);
        // Typed and chosen at once: the pending search runs first.
        search->txtSearch()->setText("plumber: call");
        QTest::keyClick(search->txtSearch(), Qt::Key_Enter);
        QCOMPARE(frmMain::openWindows().size(), 1);
        frmMain* opened = frmMain::openWindows().first();
        QCOMPARE(opened->Text(), "Plumber: call back");
        QVERIFY(opened->NoteFileName().isEmpty());

        // A double click on the row does the same: the press that comes first, then the second.
        QListWidget* list = search->lstResults();
        const QRect row = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(frmMain::openWindows().size(), 2);
    }

    void searchKeepsOneWindowAndEscapeClosesIt()
    {
        frmMain::create(NoteOrigin::StoredRecord, Samples::note("alpha beta"))->show();
        AllNotes::search("alpha");
        frmSearch* first = frmSearch::current();
        QVERIFY(first);
        QCOMPARE(first->matches().size(), 1);
        first->showMinimized();
        AllNotes::search("gamma");
        QCOMPARE(frmSearch::current(), first);
        QVERIFY(!first->isMinimized());
        QCOMPARE(first->txtSearch()->text(), "gamma");
        QVERIFY(first->matches().isEmpty());
        QVERIFY(!first->findChild<QLabel*>("lblStatus")->text().isEmpty());
        QTest::keyClick(first->txtSearch(), Qt::Key_Escape);
        QTRY_VERIFY(!frmSearch::current());
        QCOMPARE(frmMain::openWindows().size(), 1);
    }

    // The search window with results, in English and German, for a look by eye.
    void searchScreenshot()
    {
        const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("JOTTEX_SCREENSHOTS not set");
        QCOMPARE(searchScreenshot(folder, "search.png"), QString());
        const GermanTexts german;
        if (german.language().isEmpty())
            QSKIP("no German translation built");
        QCOMPARE(searchScreenshot(folder, "search_de.png"), QString());
    }

    // The window as a person sees it, for a look by eye: JOTTEX_SCREENSHOTS names the folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("JOTTEX_SCREENSHOTS not set");
        frmNoteManager* manager = listed(3);
        const QModelIndex second = manager->lvNotes()->model()->index(1, 0);
        manager->lvNotes()->setCurrentIndex(second);
        manager->lvNotes_ItemClick(second);
        QVERIFY(QTest::qWaitForWindowExposed(manager));
        QTest::qWait(200);
        QVERIFY(manager->grab().save(folder + QStringLiteral("/manager.png")));
    }
};

JOTTEX_GUI_TEST_MAIN(TestFrmNoteManager)
#include "tst_frmnotemanager.moc"
