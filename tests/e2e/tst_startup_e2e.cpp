#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QtTest>

// The real program under a real X server: notes waiting from the last session come back.
class TestStartUpEndToEnd : public QObject {
    Q_OBJECT

private:
    static QString program()
    {
        return qEnvironmentVariable("JOTTEX_BIN_DIR", QStringLiteral(JOTTEX_BINARY_DIR "/src")) +
               QStringLiteral("/jottex");
    }

private slots:
    void waitingNotesComeBackAsWindows()
    {
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        for (int i = 0; i < 3; ++i) {
            NoteRecord note;
            note.Color = QStringLiteral("yellow");
            note.Data = QStringLiteral("{\\rtf1\\ansi note %1\\par\r\n}").arg(i);
            note.TimeDate = QStringLiteral("12/6/2026 9:21:58 AM");
            note.Height = 2865;
            note.Width = 3345;
            note.Left = 600 + 3600 * i;
            note.Top = 450;
            modNote::SaveMainNote(note);
        }
        QVERIFY(QFile::exists(AppPaths::mainDataFile()));

        QProcess jottex;
        jottex.setProcessEnvironment(x.environment());
        jottex.setProcessChannelMode(QProcess::ForwardedChannels);
        jottex.start(program(), {});
        QVERIFY2(jottex.waitForStarted(10000), qPrintable(jottex.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(x.windowIds(QStringLiteral("^Jottex")).size(), 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(AppPaths::mainDataFile()), 5000);
        QCOMPARE(jottex.state(), QProcess::Running);

        jottex.kill();
        jottex.waitForFinished(5000);
    }
};

JOTTEX_TEST_MAIN(TestStartUpEndToEnd)
#include "tst_startup_e2e.moc"
