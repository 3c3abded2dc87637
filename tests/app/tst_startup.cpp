#include "Samples.h"
#include "TestEnvironment.h"
#include "app/StartUp.h"
#include "dialogs/DialogSeam.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"
#include "store/NoteDocument.h"
#include "store/modNote.h"
#include "window/NoteTextEdit.h"
#include "window/OpenNotes.h"
#include "window/frmMain.h"

#include <QLabel>
#include <QTextEdit>
#include <QtTest>

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

    void cleanup() { qDeleteAll(frmMain::openWindows()); }

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
    }

    void onlyWholeOptionsThatNameNoNoteFile()
    {
        QFETCH(QString, commandLine);
        QFETCH(modMain::Request, request);
        QCOMPARE(modMain::commandLineRequest(commandLine), request);
    }
};

JOTTEX_GUI_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
