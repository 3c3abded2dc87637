#include "RealDialogs.h"
#include "Samples.h"
#include "ScratchDevice.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "app/SessionEnd.h"
#include "app/StartUp.h"
#include "dialogs/DialogSeam.h"
#include "manager/FolderNotes.h"
#include "manager/NotesFolderChoice.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"
#include "store/NoteDocument.h"
#include "store/NoteRecovery.h"
#include "store/NotesFolder.h"
#include "store/modNote.h"
#include "window/NoteHooks.h"
#include "window/NoteMenus.h"
#include "window/NoteTextEdit.h"
#include "window/OpenNotes.h"
#include "window/frmMain.h"

#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextEdit>
#include <QtTest>
#include <unistd.h>

namespace {
// Which notes folder a case starts with or ends with.
enum class Folder { None, First, Second, AFile };

// What the user answers in the boxes about the notes folder.
enum class Answer { ChooseAnother, StopUsing, Cancel };

// What kept the main data file at the last logout, beside a run that crashed.
enum class MainFile { Older, Newer, Broken, HoldsTheSameNote };

// A run that ended without a logout: no process has this number.
constexpr qint64 kEndedRun = 999999999;

QString recoveryFileOf(qint64 pid, const QString& folder = AppPaths::appDirectory())
{
    return folder + QStringLiteral("/session-%1.recovery").arg(pid);
}

void setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

// A display number no X server serves on this machine.
QString freeDisplay()
{
    for (int number = 271;; ++number) {
        const QString lock = QStringLiteral("/tmp/.X%1-lock").arg(number);
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (!QFile::exists(lock) && !QFile::exists(socket))
            return QStringLiteral(":%1").arg(number);
    }
}

QStringList shownTexts()
{
    QStringList texts;
    for (frmMain* window : frmMain::openWindows())
        texts << window->RTB1()->toPlainText().trimmed();
    return texts;
}
} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    static QString plainText(frmMain* window) { return window->RTB1()->toPlainText().trimmed(); }

    QString writeNoteFile(const char* name, const QList<NoteRecord>& notes)
    {
        QString path = m_folder.filePath(QLatin1String(name));
        QFile::remove(path);
        modNote::SaveNote(notes.first(), path);
        for (qsizetype i = 1; i < notes.size(); ++i)
            modNote::AppendNote(notes[i], path);
        return path;
    }

    static void expectOneBlankNote()
    {
        const QList<frmMain*> windows = frmMain::openWindows();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.first()->NoteFileName().isEmpty());
        QVERIFY(!windows.first()->IsDirty());
        QCOMPARE(plainText(windows.first()), QString());
        QVERIFY(windows.first()->isVisible());
    }

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0)));
    }

    void cleanup()
    {
        qDeleteAll(frmMain::openWindows());
        if (FolderNotes::active())
            QVERIFY(FolderNotes::use(QString()).ok());
    }

    void quotedNoteFileOpensItsFirstNote()
    {
        const QString path =
            writeNoteFile("shop.not", {Samples::note(QStringLiteral("first"), 6120),
                                       Samples::note(QStringLiteral("second"), 600)});
        modMain::Main(QLatin1Char('"') + path + QLatin1Char('"'));
        const QList<frmMain*> windows = frmMain::openWindows();
        QCOMPARE(windows.size(), 1);
        frmMain* window = windows.first();
        QCOMPARE(plainText(window), QStringLiteral("first"));
        QCOMPARE(window->NoteFileName(), path);
        QCOMPARE(window->shownFile(), path);
        QVERIFY(window->IsDirty());
        QCOMPARE(window->lblSubCaption()->text(), QStringLiteral("1/2/2020 3:04:05 AM"));
        QCOMPARE(window->twipsGeometry(), QRect(6120, 4215, 3345, 2865));
        QCOMPARE(window->note().Color, QStringLiteral("blue"));
        QVERIFY(window->isVisible());
    }

    void extensionTestIgnoresCase()
    {
        const QString path =
            writeNoteFile("SHOP.NOT", {Samples::note(QStringLiteral("upper"), 600)});
        modMain::Main(path);
        QCOMPARE(frmMain::openWindows().size(), 1);
        QCOMPARE(plainText(frmMain::openWindows().first()), QStringLiteral("upper"));
    }

    void otherArgumentsGiveOneBlankNote_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("text file") << QStringLiteral("/notes/readme.txt");
        QTest::newRow("missing note file") << QStringLiteral("/nowhere/gone.not");
        QTest::newRow("two arguments") << QStringLiteral("--flag /notes/a.not x");
    }

    void otherArgumentsGiveOneBlankNote()
    {
        QFETCH(QString, argument);
        modMain::Main(argument);
        expectOneBlankNote();
    }

    void noteFileWithoutNotesGivesBlankNote()
    {
        const QString path = m_folder.filePath(QStringLiteral("empty.not"));
        QVERIFY(TestEnvironment::writeFile(
            path, "<?xml version=\"1.0\"?>\r\n<NOTES version=\"4.4.0.9\">\r\n</NOTES>\r\n"));
        modMain::Main(path);
        expectOneBlankNote();
    }

    void waitingNotesAreRestoredAndFileDeleted()
    {
        for (int i = 0; i < 3; ++i)
            modNote::SaveMainNote(Samples::note(QStringLiteral("note %1").arg(i), 600 + 1500 * i));
        modMain::Main(QString());
        const QList<frmMain*> windows = frmMain::openWindows();
        QCOMPARE(windows.size(), 3);
        const QString fresh = LocaleFormat::generalDate(Clock::now());
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(plainText(windows[i]), QStringLiteral("note %1").arg(i));
            QCOMPARE(windows[i]->twipsGeometry(), QRect(600 + 1500 * i, 4215, 3345, 2865));
            QVERIFY(windows[i]->NoteFileName().isEmpty());
            QVERIFY(windows[i]->shownFile().isEmpty());
            QVERIFY(windows[i]->IsDirty());
            QCOMPARE(windows[i]->lblSubCaption()->text(), fresh);
        }
        QVERIFY(!QFile::exists(AppPaths::mainDataFile()));
    }

    // A flood of thousands of waiting notes opens only the newest at login; the others stay in
    // the main data file through the next logout, and the same notes open again after it.
    void floodOfWaitingNotesOpensOnlyTheNewest()
    {
        const qsizetype unopened = 5;
        const qsizetype total = modMain::kMostNotesAtLogin + unopened;
        NoteRecordList notes;
        for (qsizetype i = 0; i < total; ++i)
            notes.append(Samples::note(QStringLiteral("note %1").arg(i), 600));
        QVERIFY(modNote::SaveMainNotes(notes).ok());
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        DialogSeam::clearRequests();

        modMain::Main(QString());
        const QList<frmMain*> windows = frmMain::openWindows();
        QCOMPARE(windows.size(), modMain::kMostNotesAtLogin);
        QCOMPARE(plainText(windows.first()), QStringLiteral("note %1").arg(unopened));
        QCOMPARE(plainText(windows.last()), QStringLiteral("note %1").arg(total - 1));
        QCOMPARE(DialogSeam::requests().size(), 1);
        const QString told = DialogSeam::requests().first().text;
        QVERIFY2(told.contains(QStringLiteral("other 5 were not opened")), qPrintable(told));
        QVERIFY(told.contains(AppPaths::mainDataFile()));
        QCOMPARE(modNote::LoadNote(true, QString()), kept.first(unopened));

        // The next logout adds the open notes after the ones still waiting: none is lost.
        QVERIFY(modNote::SaveMainNotes(OpenNotes::records()).ok());
        qDeleteAll(frmMain::openWindows());
        const NoteRecordList afterLogout = modNote::LoadNote(true, QString());
        QCOMPARE(afterLogout.size(), total);
        QCOMPARE(afterLogout.first(unopened), kept.first(unopened));
        for (qsizetype i = unopened; i < total; ++i) {
            const QRegularExpression text(QStringLiteral("note %1\\b").arg(i));
            QVERIFY2(text.match(afterLogout[i].Data).hasMatch(), qPrintable(afterLogout[i].Data));
        }
    }

    void noMainDataFileGivesBlankNote()
    {
        modMain::Main(QString());
        expectOneBlankNote();
    }

    void unusableMainDataFileStays_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("no note") << QByteArray("<NOTES version=\"4.4.0.9\"></NOTES>") << false;
        QTest::newRow("not XML") << QByteArray("<NOTES><NOTE>") << true;
        QTest::newRow("bad number")
            << QByteArray("<NOTES><NOTE><TOP>x</TOP></NOTE></NOTES>") << true;
    }

    void unusableMainDataFileStays()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, unreadable);
        QVERIFY(TestEnvironment::writeFile(AppPaths::mainDataFile(), content));
        modMain::Main(QString());
        expectOneBlankNote();
        // One that cannot be read is kept aside, so the next logout starts a fresh file.
        const QFileInfoList aside =
            QDir(AppPaths::appDirectory())
                .entryInfoList({QStringLiteral("jottex.dat.bad-*")}, QDir::Files);
        QCOMPARE(aside.size(), unreadable ? 1 : 0);
        const QString kept = unreadable ? aside.first().filePath() : AppPaths::mainDataFile();
        QCOMPARE(TestEnvironment::readFile(kept), content);
    }

    // A run killed outright and a logout of another copy, in either order, or a main data file
    // that cannot be read: every note comes back once, and each recovery file goes, logged,
    // only once its notes are on the desktop and in this run's recovery file.
    void everyKeptNoteComesBack_data()
    {
        QTest::addColumn<MainFile>("mainFile");
        QTest::addColumn<QStringList>("shown");
        const QStringList both{QStringLiteral("logged out"), QStringLiteral("crashed")};
        QTest::newRow("crash, then another copy's logout") << MainFile::Newer << both;
        QTest::newRow("logout, then a crash") << MainFile::Older << both;
        QTest::newRow("crash, then a broken main file")
            << MainFile::Broken << QStringList{QStringLiteral("crashed")};
        QTest::newRow("logout that kept the crashed run's note too")
            << MainFile::HoldsTheSameNote << both;
    }

    void everyKeptNoteComesBack()
    {
        QFETCH(MainFile, mainFile);
        QFETCH(QStringList, shown);
        const NoteRecord crashed = Samples::note(QStringLiteral("crashed"), 600);
        const NoteRecord loggedOut = Samples::note(QStringLiteral("logged out"), 4000);
        const QString orphan = recoveryFileOf(kEndedRun);
        QVERIFY(modNote::WriteNoteList({crashed}, orphan).ok());
        if (mainFile == MainFile::Broken) {
            QVERIFY(TestEnvironment::writeFile(AppPaths::mainDataFile(), "<NOTES><NOTE>"));
        } else {
            NoteRecordList kept{loggedOut};
            if (mainFile == MainFile::HoldsTheSameNote)
                kept << crashed;
            QVERIFY(modNote::SaveMainNotes(kept).ok());
        }
        const QDateTime now = QDateTime::currentDateTime();
        setModified(orphan, now.addSecs(mainFile == MainFile::Older ? 0 : -60));
        setModified(AppPaths::mainDataFile(), now.addSecs(mainFile == MainFile::Older ? -60 : 0));

        modMain::Main(QString());
        QCOMPARE(shownTexts(), shown);
        QVERIFY(NoteRecovery::orphanedFiles().isEmpty());
        QCOMPARE(modNote::LoadNote(false, NoteRecovery::path()).size(), shown.size());
        QCOMPARE(TestEnvironment::logLines().filter(QStringLiteral(" removed: ")).size(), 1);
        QVERIFY(!QFile::exists(AppPaths::mainDataFile()));
    }

    // An earlier run that had this run's process number left its file: its notes come back
    // instead of being overwritten by this run's.
    void earlierRunWithTheSameNumberComesBack()
    {
        QVERIFY(modNote::WriteNoteList({Samples::note(QStringLiteral("earlier"), 600)},
                                       NoteRecovery::path())
                    .ok());
        modMain::Main(QString());
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("earlier")});
        QCOMPARE(modNote::LoadNote(false, NoteRecovery::path()).size(), 1);
        QVERIFY(NoteRecovery::orphanedFiles().isEmpty());
    }

    // A folder in the main data file's place is told at start, since a logout cannot tell it.
    // Before the tests whose failing writes tell the user first: the box comes once a run.
    void folderInPlaceOfTheMainFileIsTold()
    {
        QVERIFY(QDir().mkpath(AppPaths::mainDataFile()));
        modMain::Main(QString());
        expectOneBlankNote();
        const auto& requests = DialogSeam::requests();
        QCOMPARE(requests.size(), 1);
        QVERIFY(requests[0].text.contains(QStringLiteral("a folder named jottex.dat")));
        QVERIFY(requests[0].text.contains(NoteRecovery::path()));
    }

    // Nothing can be written, yet every waiting note shows; the files stay for the next start.
    void readOnlyDataFolderShowsTheWaitingNotes()
    {
        ScratchDevice device(AppPaths::appDirectory());
        if (!device.mounted())
            QSKIP("mounting a tmpfs is not allowed here");
        QVERIFY(modNote::SaveMainNotes({Samples::note(QStringLiteral("one"), 600),
                                        Samples::note(QStringLiteral("two"), 3000)})
                    .ok());
        QVERIFY(modNote::WriteNoteList({Samples::note(QStringLiteral("three"), 5000)},
                                       recoveryFileOf(kEndedRun))
                    .ok());
        QVERIFY(device.makeReadOnly());

        modMain::Main(QString());
        QCOMPARE(shownTexts(), (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                            QStringLiteral("three")}));
        QVERIFY(QFile::exists(AppPaths::mainDataFile()));
        QVERIFY(QFile::exists(recoveryFileOf(kEndedRun)));
        QCOMPARE(modNote::LoadNote(false, NoteRecovery::sparePath()).size(), 3);
    }

    // The notes folder's notes open first. The last logout kept the same notes in jottex.dat
    // (a logout the watchdog finished does), or a crashed run in its recovery file: each opens
    // once, from its file, beside the notes kept outside the folder, and no blank note.
    void folderNotesOpenOnce_data()
    {
        QTest::addColumn<bool>("inMainFile");
        QTest::addColumn<bool>("inRecoveryFile");
        QTest::newRow("kept in jottex.dat too") << true << false;
        QTest::newRow("kept by a crashed run too") << false << true;
        QTest::newRow("kept in both") << true << true;
    }

    void folderNotesOpenOnce()
    {
        QFETCH(bool, inMainFile);
        QFETCH(bool, inRecoveryFile);
        const QString folder = m_folder.filePath(QStringLiteral("synced"));
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(NotesFolder::adopt(folder).ok());
        NoteRecordList inFolder;
        for (int i = 0; i < 2; ++i) {
            NoteRecord record = Samples::note(QStringLiteral("folder %1").arg(i), 600 + 3000 * i);
            record.FolderId = NotesFolder::newId();
            QVERIFY(NotesFolder::write(folder, record).ok());
            inFolder << record;
        }
        QVERIFY(NotesFolder::configure(folder).ok());
        const NoteRecord outside = Samples::note(QStringLiteral("outside"), 5000);
        if (inMainFile)
            QVERIFY(modNote::SaveMainNotes(inFolder + NoteRecordList{outside}).ok());
        if (inRecoveryFile)
            QVERIFY(modNote::WriteNoteList(inFolder, recoveryFileOf(kEndedRun)).ok());

        QVERIFY(modMain::Main(QString()));
        QStringList shown = shownTexts();
        QCOMPARE(shown.size(), inMainFile ? 3 : 2);
        QStringList fromFolder = shown.first(2);
        fromFolder.sort();
        QCOMPARE(fromFolder, (QStringList{QStringLiteral("folder 0"), QStringLiteral("folder 1")}));
        QCOMPARE(shown.sliced(2),
                 inMainFile ? QStringList{QStringLiteral("outside")} : QStringList());
        QVERIFY(FolderNotes::active());
        QVERIFY(!QFile::exists(AppPaths::mainDataFile()));
        QVERIFY(NoteRecovery::orphanedFiles().isEmpty());
    }

    // "--notes-folder DIR" with no Jottex running: a plain start with the folder stored first,
    // so its notes open, then the waiting ones.
    void notesFolderStartOpensItsNotes()
    {
        const QString folder = m_folder.filePath(QStringLiteral("started"));
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(NotesFolder::adopt(folder).ok());
        NoteRecord synced = Samples::note(QStringLiteral("synced"), 600);
        synced.FolderId = NotesFolder::newId();
        QVERIFY(NotesFolder::write(folder, synced).ok());
        modNote::SaveMainNote(Samples::note(QStringLiteral("waiting"), 4000));

        QVERIFY(modMain::Start(modMain::Request::NotesFolder, folder));
        QCOMPARE(shownTexts(), (QStringList{QStringLiteral("synced"), QStringLiteral("waiting")}));
        QCOMPARE(NotesFolder::configured(), folder);
        QCOMPARE(FolderNotes::folder(), folder);
    }

    // Note Options > Notes Folder... With none in use, the folder chooser, and the folder
    // chosen is used; with one in use, a box that names it, then another folder, none, or no
    // change. A folder that cannot be used is told in one sentence. Every box belongs to the
    // note that asked.
    void notesFolderItemAsksAndSwitches_data()
    {
        QTest::addColumn<Folder>("before");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<Folder>("chosen"); // None: the chooser is cancelled
        QTest::addColumn<Folder>("after");
        QTest::addColumn<QList<DialogSeam::Kind>>("asked");
        using K = DialogSeam::Kind;
        QTest::newRow("none in use, one chosen") << Folder::None << QList<Answer>() << Folder::First
                                                 << Folder::First << QList<K>{K::Folder};
        QTest::newRow("none in use, chooser cancelled")
            << Folder::None << QList<Answer>() << Folder::None << Folder::None
            << QList<K>{K::Folder};
        QTest::newRow("another chosen")
            << Folder::First << QList<Answer>{Answer::ChooseAnother} << Folder::Second
            << Folder::Second << QList<K>{K::MessageBox, K::Folder};
        QTest::newRow("stop using") << Folder::First << QList<Answer>{Answer::StopUsing}
                                    << Folder::None << Folder::None << QList<K>{K::MessageBox};
        QTest::newRow("cancel") << Folder::First << QList<Answer>{Answer::Cancel} << Folder::None
                                << Folder::First << QList<K>{K::MessageBox};
        QTest::newRow("chosen folder is a file")
            << Folder::None << QList<Answer>() << Folder::AFile << Folder::None
            << QList<K>{K::Folder, K::MessageBox};
    }

    void notesFolderItemAsksAndSwitches()
    {
        QFETCH(Folder, before);
        QFETCH(QList<Answer>, answers);
        QFETCH(Folder, chosen);
        QFETCH(Folder, after);
        QFETCH(QList<DialogSeam::Kind>, asked);
        const QHash<Folder, QString> folders{
            {Folder::None, QString()},
            {Folder::First, m_folder.filePath(QStringLiteral("first"))},
            {Folder::Second, m_folder.filePath(QStringLiteral("second"))},
            {Folder::AFile, m_folder.filePath(QStringLiteral("a file"))},
        };
        for (const Folder made : {Folder::First, Folder::Second}) {
            QVERIFY(QDir(folders[made]).removeRecursively());
            QVERIFY(QDir().mkpath(folders[made]));
        }
        QVERIFY(TestEnvironment::writeFile(folders[Folder::AFile], "not a folder"));
        NoteHooks::setChooseNotesFolder([](frmMain& owner) { NotesFolderChoice::ask(&owner); });
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        if (before != Folder::None)
            QVERIFY(FolderNotes::use(folders[before]).ok());
        const QHash<Answer, QMessageBox::StandardButton> buttons{
            {Answer::ChooseAnother, QMessageBox::Yes},
            {Answer::StopUsing, QMessageBox::No},
            {Answer::Cancel, QMessageBox::Cancel},
        };
        for (const Answer answer : answers)
            DialogSeam::queueMessageBoxAnswer(buttons[answer]);
        DialogSeam::queueFolderAnswer(folders[chosen]);
        DialogSeam::clearRequests();

        window->triggerMenuItem(NoteMenus::mnuNotesFolder);
        const QList<DialogSeam::Request>& requests = DialogSeam::requests();
        QCOMPARE(requests.size(), asked.size());
        for (qsizetype i = 0; i < asked.size(); ++i) {
            QCOMPARE(requests[i].kind, asked[i]);
            QCOMPARE(requests[i].owner, window);
        }
        if (!answers.isEmpty())
            QVERIFY(requests.first().text.contains(folders[before]));
        if (chosen == Folder::AFile) {
            // One sentence, naming the folder.
            const QString told = requests.last().text;
            QVERIFY2(told.contains(folders[chosen]) && told.endsWith(QLatin1Char('.')) &&
                         !told.contains(QStringLiteral(". ")),
                     qPrintable(told));
        }
        QCOMPARE(FolderNotes::folder(), folders[after]);
        QCOMPARE(NotesFolder::configured(), folders[after]);
    }

    // The note that asked goes while the real box about its folder is up, as a note whose file
    // was removed on another machine does: it stays until the box has returned.
    void noteThatAskedOutlivesTheBox()
    {
        const QString folder = m_folder.filePath(QStringLiteral("held"));
        QVERIFY(QDir(folder).removeRecursively() && QDir().mkpath(folder));
        QVERIFY(FolderNotes::use(folder).ok());
        NoteHooks::setChooseNotesFolder([](frmMain& owner) { NotesFolderChoice::ask(&owner); });
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        const QPointer<frmMain> asker(window);
        DialogSeam::disarm();
        bool boxOverTheNote = false;
        bool heldWhileBoxShows = false;
        QTimer::singleShot(0, [&] {
            QDialog* box = RealDialogs::waitForDialog();
            if (!box)
                return;
            boxOverTheNote = box->windowTitle() == QLatin1String("Notes Folder") &&
                             box->parentWidget() == window;
            window->deleteLater();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            heldWhileBoxShows = !asker.isNull();
            box->reject();
        });
        window->triggerMenuItem(NoteMenus::mnuNotesFolder);
        QVERIFY(boxOverTheNote);
        QVERIFY(heldWhileBoxShows);
        // Back in the handler, which goes on with the note.
        QVERIFY(asker);
        QCOMPARE(FolderNotes::folder(), folder);
    }

    void commandLineIsArgumentsJoined_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("none") << QByteArrayList{"jottex"} << QString();
        QTest::newRow("quoted") << QByteArrayList{"jottex", "\"/a b/c.not\""}
                                << QStringLiteral("\"/a b/c.not\"");
        QTest::newRow("several") << QByteArrayList{"jottex", "/a", "b.not"}
                                 << QStringLiteral("/a b.not");
        // Words the toolkit would take as its own options stay the user's.
        QTest::newRow("toolkit options") << QByteArrayList{"jottex", "-reverse", "-name", "x.not"}
                                         << QStringLiteral("-reverse -name x.not");
        QTest::newRow("dash file")
            << QByteArrayList{"jottex", "-name.not"} << QStringLiteral("-name.not");
    }

    void commandLineIsArgumentsJoined()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(QString, commandLine);
        std::vector<const char*> argv;
        for (const QByteArray& argument : arguments)
            argv.push_back(argument.constData());
        QCOMPARE(modMain::commandLineText(int(argv.size()), argv.data()), commandLine);
    }

    void onlyWholeOptionsThatNameNoNoteFile_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<modMain::Request>("request");
        using R = modMain::Request;
        QTest::newRow("none") << QString() << R::Start;
        QTest::newRow("help") << QStringLiteral("--help") << R::Help;
        QTest::newRow("short help") << QStringLiteral("-h") << R::Help;
        QTest::newRow("version") << QStringLiteral("--version") << R::Version;
        QTest::newRow("unknown") << QStringLiteral("--frobnicate") << R::UnknownOption;
        QTest::newRow("option then more") << QStringLiteral("--help me") << R::UnknownOption;
        // A note file is opened whatever its name looks like.
        QTest::newRow("dashed note") << QStringLiteral("--help.not") << R::Start;
        QTest::newRow("quoted note") << QStringLiteral("\"--x y.NOT\"") << R::Start;
        QTest::newRow("toolkit words") << QStringLiteral("-reverse -name.not") << R::Start;
        // Anything else keeps its old meaning: one blank note.
        QTest::newRow("single dash word") << QStringLiteral("-v") << R::Start;
        // The desktop's commands, each a whole command line but for the text to search for.
        QTest::newRow("new") << QStringLiteral("--new") << R::NewNote;
        QTest::newRow("show all") << QStringLiteral("--show-all") << R::ShowAll;
        QTest::newRow("toggle") << QStringLiteral("--toggle") << R::Toggle;
        QTest::newRow("search") << QStringLiteral("--search") << R::Search;
        QTest::newRow("search text") << QStringLiteral("--search two words") << R::Search;
        QTest::newRow("search ends in not") << QStringLiteral("--search cannot") << R::Search;
        QTest::newRow("new then more") << QStringLiteral("--new x") << R::UnknownOption;
        QTest::newRow("glued search") << QStringLiteral("--searchx") << R::UnknownOption;
        QTest::newRow("dashed new note") << QStringLiteral("--new.not") << R::Start;
        QTest::newRow("notes folder")
            << QStringLiteral("--notes-folder /a b/x.not") << R::NotesFolder;
        QTest::newRow("notes folder off") << QStringLiteral("--notes-folder") << R::NotesFolder;
        QTest::newRow("glued notes folder")
            << QStringLiteral("--notes-folderx") << R::UnknownOption;
    }

    void onlyWholeOptionsThatNameNoNoteFile()
    {
        QFETCH(QString, commandLine);
        QFETCH(modMain::Request, request);
        QCOMPARE(modMain::commandLineRequest(commandLine), request);
    }

    // What a later start hands over: a note file the running program can find from its own
    // working folder, the text to search for, or the plain arguments.
    void requestArgumentIsWhatTheRunningProgramNeeds_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("argument");
        const QString here = QDir::currentPath();
        QTest::newRow("relative note")
            << QStringLiteral("a b.not") << here + QStringLiteral("/a b.not");
        QTest::newRow("quoted absolute")
            << QStringLiteral("\"/x/y.not\"") << QStringLiteral("/x/y.not");
        QTest::newRow("none") << QString() << QString();
        QTest::newRow("other words") << QStringLiteral("-v w") << QStringLiteral("-v w");
        QTest::newRow("search") << QStringLiteral("--search  Café ") << QStringLiteral("Café");
        QTest::newRow("search nothing") << QStringLiteral("--search") << QString();
        QTest::newRow("new") << QStringLiteral("--new") << QString();
        QTest::newRow("relative notes folder")
            << QStringLiteral("--notes-folder sync/../Sync Notes/")
            << here + QStringLiteral("/Sync Notes");
        QTest::newRow("notes folder off") << QStringLiteral("--notes-folder") << QString();
        QTest::newRow("empty notes folder") << QStringLiteral("--notes-folder ") << QString();
    }

    void requestArgumentIsWhatTheRunningProgramNeeds()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, argument);
        QCOMPARE(modMain::requestArgument(commandLine), argument);
    }

    // Only the session manager's whole restart command is its: a note file keeps opening.
    void onlyTheSessionManagersRestartIsHandedOn_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<modMain::Starter>("starter");
        using S = modMain::Starter;
        QTest::newRow("restart") << QByteArrayList{"jottex", "-session", "10a2_33"}
                                 << S::SessionManager;
        QTest::newRow("none") << QByteArrayList{"jottex"} << S::User;
        QTest::newRow("no id") << QByteArrayList{"jottex", "-session"} << S::User;
        QTest::newRow("more after")
            << QByteArrayList{"jottex", "-session", "1_2", "a.not"} << S::User;
        QTest::newRow("note file") << QByteArrayList{"jottex", "-session", "x.not"} << S::User;
        QTest::newRow("other option") << QByteArrayList{"jottex", "-sessions", "1_2"} << S::User;
    }

    void onlyTheSessionManagersRestartIsHandedOn()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(modMain::Starter, starter);
        std::vector<const char*> argv;
        for (const QByteArray& argument : arguments)
            argv.push_back(argument.constData());
        QCOMPARE(modMain::starterOf(int(argv.size()), argv.data()), starter);
    }

    // With no X server to reach, the program says in one sentence what it needs and ends with
    // 1; asking for help or the version needs no display.
    void noDisplayIsToldInOneSentence_data()
    {
        QTest::addColumn<QString>("display"); // empty: DISPLAY unset
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // what stderr says, or stdout with exit code 0
        const QString nothing = freeDisplay();
        QTest::newRow("display with no server")
            << nothing << QStringList() << 1
            << QStringLiteral("jottex: Jottex needs an X display (under Wayland: XWayland), and "
                              "none answers at DISPLAY=%1.\n")
                   .arg(nothing);
        QTest::newRow("no display set")
            << QString() << QStringList() << 1
            << QStringLiteral("jottex: Jottex needs an X display (under Wayland: XWayland), and "
                              "DISPLAY is not set.\n");
        QTest::newRow("note file") << nothing << QStringList{QStringLiteral("/tmp/x.not")} << 1
                                   << QStringLiteral("none answers at DISPLAY=%1").arg(nothing);
        QTest::newRow("version") << nothing << QStringList{QStringLiteral("--version")} << 0
                                 << QStringLiteral("jottex ");
        QTest::newRow("help") << QString() << QStringList{QStringLiteral("--help")} << 0
                              << QStringLiteral("Usage: jottex");
    }

    void noDisplayIsToldInOneSentence()
    {
        QFETCH(QString, display);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
            environment.remove(QLatin1String(name));
        if (!display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), display);
        QProcess jottex;
        jottex.setProcessEnvironment(environment);
        jottex.start(XServer::program(), arguments);
        QVERIFY(jottex.waitForFinished(20000));
        QCOMPARE(jottex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(jottex.exitCode(), exitCode);
        const QString error = QString::fromLocal8Bit(jottex.readAllStandardError());
        if (exitCode == 0) {
            QVERIFY(error.isEmpty());
            QVERIFY(QString::fromLocal8Bit(jottex.readAllStandardOutput()).startsWith(said));
        } else if (said.endsWith(u'\n')) {
            QCOMPARE(error, said);
        } else {
            QVERIFY2(error.contains(said) && error.count(u'\n') == 1, qPrintable(error));
        }
    }

    // A folder that is not there, or a file, is refused before anything else: one sentence,
    // status 2, the setting as it was, and no running Jottex asked. A folder that exists goes
    // on to need a display like any start.
    void unusableNotesFolderChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << QStringLiteral("gone") << 2
                                 << QStringLiteral("jottex: the notes folder %1 does not exist.\n");
        QTest::newRow("a file") << QStringLiteral("file.txt") << 2
                                << QStringLiteral("jottex: %1 is not a folder, so it cannot be the "
                                                  "notes folder.\n");
        QTest::newRow("existing folder")
            << QStringLiteral("there") << 1
            << QStringLiteral("jottex: Jottex needs an X display (under Wayland: XWayland), and "
                              "DISPLAY is not set.\n");
    }

    void unusableNotesFolderChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("there")));
        QVERIFY(TestEnvironment::writeFile(work.filePath(QStringLiteral("file.txt")), "text"));
        const QString earlier = work.filePath(QStringLiteral("there"));
        QVERIFY(NotesFolder::configure(earlier).ok());
        const QByteArray settings = TestEnvironment::readFile(AppPaths::hiveFile());

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
            environment.remove(QLatin1String(variable));
        QProcess jottex;
        jottex.setProcessEnvironment(environment);
        jottex.setWorkingDirectory(work.path());
        jottex.start(XServer::program(), {QStringLiteral("--notes-folder"), name});
        QVERIFY(jottex.waitForFinished(20000));
        QCOMPARE(jottex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(jottex.exitCode(), exitCode);
        QCOMPARE(QString::fromLocal8Bit(jottex.readAllStandardError()),
                 said.contains(u'%') ? said.arg(work.filePath(name)) : said);
        QCOMPARE(TestEnvironment::readFile(AppPaths::hiveFile()), settings);
        QCOMPARE(NotesFolder::configured(), earlier);
    }

    // A later start hands over without a display of its own, and ends with 0 once the running
    // program took the command, or with 3 when it hung up without taking it. The socket's
    // folder is made private on the way; without XDG_RUNTIME_DIR it is one in the temporary
    // folder, and a screen number of the display is the same session.
    void handOverNeedsNoDisplay_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("runtimeFolder");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("taken") << true << true << QString() << 0;
        QTest::newRow("hung up") << false << true << QString() << 3;
        QTest::newRow("no runtime folder") << true << false << QString() << 0;
        QTest::newRow("screen number") << true << true << QStringLiteral(".0") << 0;
    }

    void handOverNeedsNoDisplay()
    {
        QFETCH(bool, answers);
        QFETCH(bool, runtimeFolder);
        QFETCH(QString, screen);
        QFETCH(int, exitCode);
        const QString display = freeDisplay();
        const QString folder =
            runtimeFolder ? qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/jottex")
                          : QDir::tempPath() + QStringLiteral("/jottex-%1").arg(::getuid());
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadGroup |
                                                  QFile::ExeGroup | QFile::ExeOther));
        QLocalServer running;
        QVERIFY(running.listen(folder + QStringLiteral("/display-") + display));
        connect(&running, &QLocalServer::newConnection, this, [&running, answers] {
            QLocalSocket* socket = running.nextPendingConnection();
            if (!answers) {
                socket->abort();
                return;
            }
            connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("k");
            });
        });

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!runtimeFolder)
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("DISPLAY"), display + screen);
        QProcess later;
        later.setProcessEnvironment(environment);
        later.start(XServer::program(), {QStringLiteral("--search"), QStringLiteral("--x-y")});
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 15000);
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), exitCode);
        const QString error = QString::fromLocal8Bit(later.readAllStandardError());
        QCOMPARE(error.isEmpty(), answers);
        if (!answers)
            QVERIFY2(error.contains(QStringLiteral("did not answer")), qPrintable(error));
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ExeGroup),
                 QFile::Permissions());
    }

    // Programs started from a note (a link's browser) see the environment the user started
    // Jottex with, not the platform it chose for itself.
    void linkHandlerGetsTheUsersEnvironment_data()
    {
        QTest::addColumn<QString>("userPlatform"); // empty: unset
        QTest::newRow("unset, under Wayland") << QString();
        QTest::newRow("the user's own") << QStringLiteral("xcb");
    }

    void linkHandlerGetsTheUsersEnvironment()
    {
        QFETCH(QString, userPlatform);
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // A stand-in for the desktop's launcher that writes down its environment.
        const QString handler = m_folder.filePath(QStringLiteral("bin/xdg-open"));
        const QString seen = m_folder.filePath(QStringLiteral("environment.txt"));
        QFile::remove(seen);
        QVERIFY(QDir().mkpath(QFileInfo(handler).absolutePath()));
        QVERIFY(TestEnvironment::writeFile(
            handler, QStringLiteral("#!/bin/sh\nenv > '%1.part' && mv '%1.part' '%1'\n")
                         .arg(seen)
                         .toUtf8()));
        QVERIFY(QFile::setPermissions(handler, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        // A link long enough to fill the note, so a click anywhere on its text opens it.
        const QString link = QStringLiteral("http://example.org/") + QString(900, u'a');
        const QString noteFile = writeNoteFile("link.not", {Samples::note(link, 1500, 1500)});

        QProcessEnvironment environment = x.environment();
        environment.insert(QStringLiteral("PATH"), QFileInfo(handler).absolutePath() + u':' +
                                                       environment.value(QStringLiteral("PATH")));
        environment.insert(QStringLiteral("BROWSER"), handler);
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-none"));
        if (userPlatform.isEmpty())
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        else
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), userPlatform);
        QProcess jottex;
        QVERIFY(x.launch(jottex, {noteFile}, environment));
        QTRY_COMPARE_WITH_TIMEOUT(x.noteWindowIds().size(), 1, 20000);
        const QRect note = x.geometry(x.noteWindowIds().first());
        // The note marks its links a moment after it shows: a click before that only places
        // the caret, so click again until the handler runs.
        const QStringList click{QStringLiteral("mousemove"), QString::number(note.center().x()),
                                QString::number(note.center().y()), QStringLiteral("click"),
                                QStringLiteral("1")};
        QVERIFY(QTest::qWaitFor(
            [&] {
                x.run(QStringLiteral("xdotool"), click);
                return QTest::qWaitFor([&] { return QFile::exists(seen); }, 1000);
            },
            20000));
        jottex.kill();
        QVERIFY(jottex.waitForFinished(5000));
        const QStringList lines =
            QString::fromLocal8Bit(TestEnvironment::readFile(seen)).split(u'\n');
        const QStringList platform =
            lines.filter(QRegularExpression(QStringLiteral("^QT_QPA_PLATFORM=")));
        QCOMPARE(platform, userPlatform.isEmpty()
                               ? QStringList()
                               : QStringList{QStringLiteral("QT_QPA_PLATFORM=") + userPlatform});
        QCOMPARE(lines.filter(QStringLiteral("WAYLAND_DISPLAY=wayland-none")).size(), 1);
    }

    // The main data file cannot be written at the logout: a folder in its place, or a full
    // disk. The notes, with what was typed since the recovery file's last write, come back at
    // the next start all the same. Last, since the end of the session silences every box.
    void notesWithNoHomeAtTheLogoutComeBack_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("folder in the way") << false;
        QTest::newRow("disk full") << true;
    }

    void notesWithNoHomeAtTheLogoutComeBack()
    {
        QFETCH(bool, diskFull);
        ScratchDevice device(AppPaths::appDirectory(), QStringLiteral("256k"));
        if (diskFull && !device.mounted())
            QSKIP("mounting a tmpfs is not allowed here");
        if (!diskFull)
            device.unmount();
        frmMain* window = frmMain::create(NoteOrigin::NewNote);
        window->show();
        window->RTB1()->setFocus();
        QTest::keyClicks(window->RTB1(), QStringLiteral("kept before"));
        QVERIFY(NoteRecovery::writeNow().ok());
        if (diskFull)
            device.fill();
        else
            QVERIFY(QDir().mkpath(AppPaths::mainDataFile()));
        QTest::keyClicks(window->RTB1(), QStringLiteral(" and typed last"));

        SessionEnd::endSession();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(frmMain::openWindows().isEmpty());
        const QString kept = diskFull ? NoteRecovery::sparePath() : NoteRecovery::path();
        QVERIFY(QFile::exists(kept));
        QCOMPARE(TestEnvironment::logLines().filter(kept + QStringLiteral(" and come back")).size(),
                 1);

        // Space is freed; the next start, in another process: this one's file is an ended
        // run's then, and no older copy of it comes back beside it.
        QFile::remove(AppPaths::appDirectory() + QStringLiteral("/filler"));
        if (kept != NoteRecovery::path() && QFile::exists(NoteRecovery::path()))
            QVERIFY(QFile::rename(NoteRecovery::path(), recoveryFileOf(kEndedRun - 1)));
        QVERIFY(QFile::rename(kept, recoveryFileOf(kEndedRun, QFileInfo(kept).absolutePath())));
        modMain::Main(QString());
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("kept before and typed last")});
    }
};

JOTTEX_GUI_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
