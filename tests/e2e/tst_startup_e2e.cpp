#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QtTest>

// The real program under a real X server: notes waiting from the last session come back.
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
};

JOTTEX_TEST_MAIN(TestStartUpEndToEnd)
#include "tst_startup_e2e.moc"
