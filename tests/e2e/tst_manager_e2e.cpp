#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "store/modNote.h"

#include <QtTest>
#include <csignal>

// The note menu's "Multi-Note Manager" on the real program opens the manager: the program
// wires the note windows to it at start.
class TestManagerEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;

    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

private slots:
    void initTestCase()
    {
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void noteMenuOpensTheManager()
    {
        TestEnvironment::resetFolders();
        QProcess jottex;
        QVERIFY(m_x.launch(jottex));
        QVERIFY(QTest::qWaitFor(
            [this] { return m_x.windowIds(QStringLiteral("^Jottex$")).size() == 1; }, 20000));
        const QRect note = m_x.geometry(m_x.windowIds(QStringLiteral("^Jottex$")).first());
        // "Multi-Note Manager" is the fourth item of the note's menu.
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.2 click 1 sleep 0.2 click 3 sleep 0.3 "
                               "key Down sleep 0.05 key Down sleep 0.05 key Down sleep 0.05 "
                               "key Down sleep 0.05 key Return sleep 0.3")
                    .arg(note.x() + 40)
                    .arg(note.y() + 50));
        QVERIFY(QTest::qWaitFor(
            [this] { return m_x.windowIds(QStringLiteral("^Multi-Note Manager$")).size() == 1; },
            10000));
        const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (!folder.isEmpty()) {
            xdotool(QStringLiteral("mousemove 0 0 sleep 0.3"));
            QVERIFY(m_x.grab(QRect(0, 0, 800, 600)).save(folder + QStringLiteral("/e2e.png")));
        }

        // The manager's box is above every note, though the note sits in the on-top band.
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("two.not"));
        QVERIFY(modNote::WriteNoteList({Samples::note(QStringLiteral("1"), 100, 50),
                                        Samples::note(QStringLiteral("2"), 200, 100)},
                                       path)
                    .ok());
        const QByteArray before = TestEnvironment::readFile(path);
        const QRect manager =
            m_x.geometry(m_x.windowIds(QStringLiteral("^Multi-Note Manager$")).first());
        // The tool bar under the menu bar: "open" first, "delete" third.
        const int toolbarY = manager.y() + 32;
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.2 click 1")
                    .arg(manager.x() + 10)
                    .arg(toolbarY));
        QVERIFY(QTest::qWaitFor(
            [this] { return m_x.windowIds(QStringLiteral("^Select a file")).size() == 1; }, 10000));
        xdotool(QStringLiteral("type --delay 10 ") + path);
        xdotool(QStringLiteral("key Return sleep 0.5 mousemove %1 %2 sleep 0.2 click 1")
                    .arg(manager.x() + 56)
                    .arg(toolbarY));
        QVERIFY(QTest::qWaitFor(
            [this] { return m_x.windowIds(QStringLiteral("^Confirm Delete$")).size() == 1; },
            10000));
        const QString box = m_x.windowIds(QStringLiteral("^Confirm Delete$")).first();
        const QString noteId = m_x.windowIds(QStringLiteral("^Jottex$")).first();
        QVERIFY(m_x.run(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), box, QStringLiteral("_NET_WM_STATE")})
                    .contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        const QStringList stacking = m_x.stackingOrder();
        QVERIFY2(stacking.indexOf(box) > stacking.indexOf(noteId), qPrintable(stacking.join(u' ')));
        xdotool(QStringLiteral("key Escape"));
        QVERIFY(QTest::qWaitFor(
            [this] { return m_x.windowIds(QStringLiteral("^Confirm Delete$")).isEmpty(); }, 10000));
        QCOMPARE(TestEnvironment::readFile(path), before);
        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        QVERIFY(jottex.waitForFinished(15000));
    }
};

JOTTEX_TEST_MAIN(TestManagerEndToEnd)
#include "tst_manager_e2e.moc"
