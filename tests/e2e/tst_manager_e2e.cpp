#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "store/modNote.h"

#include <QRegularExpression>
#include <QtTest>
#include <csignal>

// The note menu's "Multi-Note Manager" on the real program opens the manager: the program
// wires the note windows to it at start. The status icon docks in a real panel's tray.
class TestManagerEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;

    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

    // The window Jottex docked in the panel's tray, as an id; empty while there is none.
    QString trayIcon(const QString& panelId) const
    {
        static const QRegularExpression docked(
            QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\(\"jottex\" \"Jottex\"\\)"),
            QRegularExpression::MultilineOption);
        return docked
            .match(m_x.run(QStringLiteral("xwininfo"),
                           {QStringLiteral("-id"), panelId, QStringLiteral("-tree")}))
            .captured(1);
    }

    int shownNotes() const { return int(m_x.windowIds(QStringLiteral("^Jottex$")).size()); }

    // The docked icon is a window without a window manager's frame too: the menu is the other.
    bool trayMenuShows(const QString& icon) const
    {
        QStringList menus = m_x.popupMenus(QStringLiteral("^jottex$"));
        menus.removeAll(QString::number(icon.toUInt(nullptr, 16)));
        return !menus.isEmpty();
    }

    // Opens the icon's menu. A click that comes while the program still closes the menu
    // before is lost, as it would be for a user: such a click is given again.
    void openTrayMenu(const QString& icon, const QRect& place)
    {
        for (int attempt = 0; attempt < 4 && !trayMenuShows(icon); ++attempt) {
            clickOn(place, 3);
            if (QTest::qWaitFor([&] { return trayMenuShows(icon); }, 1500))
                return;
        }
        QVERIFY(trayMenuShows(icon));
    }

    // Chooses the menu's item that many places down.
    void chooseFromTray(const QString& icon, const QRect& place, int downs)
    {
        openTrayMenu(icon, place);
        for (int i = 0; i < downs; ++i)
            xdotool(QStringLiteral("key Down"));
        xdotool(QStringLiteral("key Return"));
        QVERIFY(QTest::qWaitFor([&] { return !trayMenuShows(icon); }, 10000));
    }

    void clickOn(const QRect& area, int button)
    {
        xdotool(QStringLiteral("mousemove %1 %2 click %3")
                    .arg(area.center().x())
                    .arg(area.center().y())
                    .arg(button));
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

    // The program starts before the panel, as both may at login: the icon docks once the tray
    // is there, and its menu and a left click act on the notes.
    void trayIconActsOnTheNotes()
    {
        if (!XServer::haveTool(QStringLiteral("tint2")))
            QSKIP("tint2 is not installed");
        TestEnvironment::resetFolders();
        QProcess jottex;
        QVERIFY(m_x.launch(jottex));
        QVERIFY(QTest::qWaitFor([this] { return shownNotes() == 1; }, 20000));

        QTemporaryDir folder;
        const QString config = folder.filePath(QStringLiteral("tint2rc"));
        QVERIFY(TestEnvironment::writeFile(config, "panel_items = S\n"
                                                   "panel_size = 100% 32\n"
                                                   "panel_position = bottom center horizontal\n"
                                                   "systray_icon_size = 24\n"));
        QProcess panel;
        panel.setProcessEnvironment(m_x.environment());
        panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        panel.start(QStringLiteral("tint2"), {QStringLiteral("-c"), config});
        QVERIFY(panel.waitForStarted(5000));
        QString panelId;
        QString icon;
        QVERIFY(QTest::qWaitFor(
            [&] {
                panelId = m_x.run(QStringLiteral("xdotool"),
                                  {QStringLiteral("search"), QStringLiteral("--class"),
                                   QStringLiteral("^tint2$")})
                              .section(QLatin1Char('\n'), 0, 0);
                icon = panelId.isEmpty() ? QString() : trayIcon(panelId);
                return !icon.isEmpty() &&
                       m_x.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), icon})
                           .contains(QStringLiteral("IsViewable"));
            },
            10000));
        const QRect place = m_x.geometry(icon);
        QVERIFY2(place.width() > 0 && place.y() > 900, qPrintable(icon));

        const QString screenshots = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (!screenshots.isEmpty()) {
            openTrayMenu(icon, place);
            QVERIFY(
                m_x.grab(QRect(0, 724, 400, 300)).save(screenshots + QStringLiteral("/tray.png")));
            xdotool(QStringLiteral("key Escape"));
            QVERIFY(QTest::qWaitFor([&] { return !trayMenuShows(icon); }, 10000));
        }

        chooseFromTray(icon, place, 1); // New Note
        QVERIFY(QTest::qWaitFor([this] { return shownNotes() == 2; }, 10000));
        chooseFromTray(icon, place, 3); // Hide All Notes
        QVERIFY(QTest::qWaitFor([this] { return shownNotes() == 0; }, 10000));
        clickOn(place, 1);
        QVERIFY(QTest::qWaitFor([this] { return shownNotes() == 2; }, 10000));

        // Show All brings back a note the window manager minimised.
        xdotool(QStringLiteral("windowminimize ") +
                m_x.windowIds(QStringLiteral("^Jottex$")).first());
        QVERIFY(QTest::qWaitFor([this] { return shownNotes() == 1; }, 10000));
        chooseFromTray(icon, place, 2);
        QVERIFY(QTest::qWaitFor([this] { return shownNotes() == 2; }, 10000));

        // Quit keeps both notes for the next start, as the end of the session does.
        chooseFromTray(icon, place, 6);
        QVERIFY(jottex.waitForFinished(15000));
        QCOMPARE(jottex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(jottex.exitCode(), 0);
        QCOMPARE(modNote::LoadNote(true, QString()).size(), 2);
        panel.terminate();
        QVERIFY(panel.waitForFinished(5000));
    }
};

JOTTEX_TEST_MAIN(TestManagerEndToEnd)
#include "tst_manager_e2e.moc"
