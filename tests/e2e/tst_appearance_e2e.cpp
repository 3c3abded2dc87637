#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Twips.h"
#include "window/NoteSize.h"

#include <QtTest>

// A note's place and looks on a real X server under a window manager: snapping to the work
// area while dragged by its caption, the stay-on-top state the window manager keeps, and the
// opacity a compositor draws while the note is not active.
class TestAppearanceEndToEnd : public QObject {
    Q_OBJECT

private:
    static constexpr QSize kScreen{1280, 1024}; // Xvfb's screen; openbox reserves nothing
    XServer m_x;
    QProcess m_jottex;
    QProcess m_compositor;
    QString m_note;
    QRect m_start;

    QRect place() const { return m_x.geometry(m_note); }

    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

    QString at(QPoint inNote) const
    {
        const QPoint screen = place().topLeft() + inNote;
        return QStringLiteral("mousemove %1 %2").arg(screen.x()).arg(screen.y());
    }

    QString property(const QString& name) const
    {
        return m_x.run(QStringLiteral("xprop"), {QStringLiteral("-id"), m_note, name}).trimmed();
    }

    bool isViewable() const
    {
        return m_x.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), m_note})
            .contains(QStringLiteral("Map State: IsViewable"));
    }

    // The note's main popup menu, from the bottom: Close, About, Note Options; then the
    // keys that walk the "Note Options" submenu.
    void noteOptions(const QString& keys) const
    {
        xdotool(at(QPoint(m_start.width() / 2, m_start.height() / 2)) +
                QStringLiteral(" sleep 0.2 click 3 sleep 0.5 key Up sleep 0.1 key Up sleep 0.1 "
                               "key Up sleep 0.1 key Right sleep 0.3 ") +
                keys);
    }

    void startNote()
    {
        TestEnvironment::resetFolders();
        xdotool(QStringLiteral("mousemove 1270 1010 sleep 0.2"));
        QVERIFY2(m_x.launch(m_jottex), qPrintable(m_jottex.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(m_x.noteWindowIds().size(), 1, 20000);
        m_note = m_x.noteWindowIds().first();
        QTRY_VERIFY_WITH_TIMEOUT(isViewable(), 5000);
        m_start = place();
    }

private slots:
    void initTestCase()
    {
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void cleanup()
    {
        for (QProcess* process : {&m_jottex, &m_compositor}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    // Dragged down by its caption, the note jumps onto the bottom of the work area once its
    // bottom comes within 20 pixels, and stays there while the mouse goes a little further.
    void dragSnapsToTheBottomOfTheWorkArea()
    {
        startNote();
        const QPoint caption(60, 9);
        const QPoint press = m_start.topLeft() + caption;
        const int toBottom = kScreen.height() - m_start.bottom() - 1;
        QString moves;
        // Down in steps: 40 pixels above the edge, 12 (it snaps), then 10 further (it holds).
        for (const int down : {100, 200, toBottom - 40, toBottom - 12, toBottom - 2})
            moves +=
                QStringLiteral(" mousemove %1 %2 sleep 0.2").arg(press.x()).arg(press.y() + down);
        xdotool(at(caption) + QStringLiteral(" sleep 0.2 mousedown 1 sleep 0.2") + moves +
                QStringLiteral(" mouseup 1"));
        QTRY_COMPARE_WITH_TIMEOUT(place().bottom() + 1, kScreen.height(), 5000);
        QCOMPARE(place().left(), m_start.left());
        QCOMPARE(place().size(), m_start.size());
    }

    // "Always on Top" goes on and off through the window manager's state: the same window,
    // shown throughout, at the same place.
    void alwaysOnTopTogglesInPlace()
    {
        startNote();
        const QString above = QStringLiteral("_NET_WM_STATE_ABOVE");
        QTRY_VERIFY_WITH_TIMEOUT(property(QStringLiteral("_NET_WM_STATE")).contains(above), 5000);
        // Without a compositor "Transparency" is hidden: Font Family, Color, Always on Top.
        const QString toggle = QStringLiteral("key Down sleep 0.1 key Down sleep 0.1 key Return");
        noteOptions(toggle);
        QTRY_VERIFY_WITH_TIMEOUT(!property(QStringLiteral("_NET_WM_STATE")).contains(above), 5000);
        QVERIFY(isViewable());
        QCOMPARE(place(), m_start);
        noteOptions(toggle);
        QTRY_VERIFY_WITH_TIMEOUT(property(QStringLiteral("_NET_WM_STATE")).contains(above), 5000);
        QVERIFY(isViewable());
        QCOMPARE(place(), m_start);
        QCOMPARE(m_x.noteWindowIds(), QStringList{m_note});
    }

    // With a compositor the note fades to its level when another window becomes active, and
    // is opaque again (no opacity at all) once it is active again.
    void inactiveNoteTakesItsOpacity()
    {
        if (!XServer::haveTool(QStringLiteral("xcompmgr")))
            QSKIP("xcompmgr is not installed");
        m_compositor.setProcessEnvironment(m_x.environment());
        m_compositor.start(QStringLiteral("xcompmgr"), {});
        QVERIFY(m_compositor.waitForStarted(5000));
        QTest::qWait(500);
        startNote();
        const QString opacity = QStringLiteral("_NET_WM_WINDOW_OPACITY");
        // Font Family, Color, Transparency > Low, Medium, High.
        noteOptions(QStringLiteral("key Down sleep 0.1 key Down sleep 0.1 key Right sleep 0.3 "
                                   "key Down sleep 0.1 key Down sleep 0.1 key Return"));
        QTest::qWait(500);
        QVERIFY2(!property(opacity).contains(QStringLiteral("= ")), qPrintable(property(opacity)));

        // A new note (the menu's first item) takes the focus: the first one fades to 50 of 255.
        xdotool(at(QPoint(m_start.width() / 2, m_start.height() / 2)) +
                QStringLiteral(" sleep 0.2 click 3 sleep 0.5 key Down sleep 0.1 key Return"));
        QTRY_COMPARE_WITH_TIMEOUT(m_x.noteWindowIds().size(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(property(opacity),
                                  opacity + QStringLiteral("(CARDINAL) = 842150450"), 5000);

        // A click on its caption, clear of the new note, makes it active and opaque.
        xdotool(at(QPoint(60, 5)) + QStringLiteral(" sleep 0.2 click 1"));
        QTRY_VERIFY2_WITH_TIMEOUT(!property(opacity).contains(QStringLiteral("= ")),
                                  qPrintable(property(opacity)), 5000);
    }
};

JOTTEX_TEST_MAIN(TestAppearanceEndToEnd)
#include "tst_appearance_e2e.moc"
