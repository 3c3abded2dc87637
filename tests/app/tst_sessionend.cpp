#include "TestEnvironment.h"
#include "app/SessionEnd.h"
#include "dialogs/DialogSeam.h"
#include "shell/Paths.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QtTest>

// The end of the session keeps every note in the main data file, as one write in window
// order, and asks nothing.
class TestSessionEnd : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnvironment::resetFolders(); }

    void everyNoteIsKeptWithoutPrompt()
    {
        for (int i = 0; i < 3; ++i) {
            frmMain* window = frmMain::create(NoteOrigin::NewNote);
            window->show();
            window->setSizeTwips(3000 + 150 * i, 2400);
            window->RTB1()->setFocus();
            QTest::keyClicks(window->RTB1(), QStringLiteral("note %1").arg(i));
        }
        frmMain::openWindows()[1]->MinimizeNote();
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(QFile::exists(NoteRecovery::path()));

        SessionEnd::endSession();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(frmMain::openWindows().isEmpty());
        QVERIFY(DialogSeam::requests().isEmpty());
        QVERIFY(QFile::exists(AppPaths::autostartFile()));
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 3);
        QCOMPARE(kept[2].Width, 3300);
        QCOMPARE(kept[1].Width, 3150); // minimised: its full size
        QVERIFY(kept[0].Data.contains(QStringLiteral("note 0")));
        // Kept in the main data file, the notes need no recovery file any more.
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }
};

JOTTEX_GUI_TEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
