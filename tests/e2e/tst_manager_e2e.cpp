#include "TestEnvironment.h"
#include "XServer.h"

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
        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        QVERIFY(jottex.waitForFinished(15000));
    }
};

JOTTEX_TEST_MAIN(TestManagerEndToEnd)
#include "tst_manager_e2e.moc"
