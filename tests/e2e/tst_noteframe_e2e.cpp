#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Twips.h"
#include "store/modNote.h"
#include "window/NoteSize.h"

#include <QtTest>
#include <csignal>

// The note's frame as a user works it, with the mouse and keys on the real program under a
// window manager: which press opens which menu, what a drag moves, and the caption strip a
// note minimises to.
class TestNoteFrameEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;
    QProcess m_jottex;
    QString m_note; // the window of the blank note the program opens
    QRect m_start;  // its place and size on screen when it opened

    static QString show(const QRect& r)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    // Points on the frame, in the window, for a note of this size in pixels. The layout in
    // twips: help and close pictures 255 wide at width - 560 and width - 285, the subcaption
    // 255 high at height - 320, the 180-twip grip 50 in from the bottom-right corner.
    static QPoint iconPoint() { return {8, 22}; } // low on the icon, below the strip's pictures
    static QPoint captionPoint() { return {60, 9}; }
    static QPoint helpPoint(QSize note) { return {note.width() - 29, 9}; }
    static QPoint closePoint(QSize note) { return {note.width() - 11, 9}; }
    static QPoint subCaptionPoint(QSize note) { return {20, note.height() - 14}; }
    static QPoint gripPoint(QSize note) { return {note.width() - 9, note.height() - 9}; }
    // The window's own surface right of the text area, which ends 175 twips from the edge.
    static QPoint surfacePoint(QSize note) { return {note.width() - 5, note.height() / 2}; }

    static QSize stripSize()
    {
        return {Twips::toPixels(NoteSize::MinWidth), Twips::toPixels(NoteSize::MinHeight)};
    }

    QRect place() const { return m_x.geometry(m_note); }
    QStringList menus() const { return m_x.popupMenus(QStringLiteral("^jottex$")); }

    // One xdotool run: commands chained, with "sleep" between them where a person would pause.
    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

    QString at(QPoint inNote) const
    {
        const QPoint screen = m_start.topLeft() + inNote;
        return QStringLiteral("mousemove %1 %2").arg(screen.x()).arg(screen.y());
    }

    void doubleClick(QPoint inNote) const
    {
        xdotool(at(inNote) + QStringLiteral(" sleep 0.2 mousedown 1 sleep 0.05 mouseup 1 sleep "
                                            "0.1 mousedown 1 sleep 0.05 mouseup 1"));
    }

    // Out of the way of every window and out of screen grabs.
    void parkPointer() const { xdotool(QStringLiteral("mousemove 1270 1010 sleep 0.2")); }

    // Pixels of the note's top-left corner that differ between two grabs.
    static int differingPixels(const QImage& a, const QImage& b)
    {
        if (a.size() != b.size())
            return -1;
        int count = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x)
                count += a.pixel(x, y) != b.pixel(x, y);
        }
        return count;
    }

private slots:
    void initTestCase()
    {
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // A blank start: one new note at the default size, in the middle of the screen.
    void init()
    {
        TestEnvironment::resetFolders();
        parkPointer();
        QVERIFY2(m_x.launch(m_jottex), qPrintable(m_jottex.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(m_x.windowIds(QStringLiteral("^Jottex$")).size(), 1, 20000);
        m_note = m_x.windowIds(QStringLiteral("^Jottex$")).first();
        m_start = place();
        QCOMPARE(m_start.size(), QSize(Twips::toPixels(NoteSize::DefaultWidth),
                                       Twips::toPixels(NoteSize::DefaultHeight)));
        QVERIFY(menus().isEmpty());
    }

    void cleanup()
    {
        if (m_jottex.state() != QProcess::NotRunning) {
            m_jottex.kill();
            m_jottex.waitForFinished(5000);
        }
    }

    void iconRightClickOpensOnlyTheIconMenu()
    {
        xdotool(at(iconPoint()) + QStringLiteral(" sleep 0.1 click 3"));
        QTRY_VERIFY_WITH_TIMEOUT(!menus().isEmpty(), 5000);
        QTest::qWait(300); // a second menu would open in the same press
        QCOMPARE(menus().size(), 1);
        // The icon menu's second item is Minimize.
        xdotool(QStringLiteral("key Down sleep 0.1 key Down sleep 0.1 key Return"));
        QTRY_COMPARE_WITH_TIMEOUT(place().size(), stripSize(), 5000);
        QVERIFY(menus().isEmpty());
    }

    void subCaptionMenuOpensOnReleaseAndSetsTheKind()
    {
        xdotool(at(subCaptionPoint(m_start.size())) + QStringLiteral(" sleep 0.1 mousedown 3"));
        QTest::qWait(500);
        QCOMPARE(menus().size(), 0);
        xdotool(QStringLiteral("mouseup 3"));
        QTRY_COMPARE_WITH_TIMEOUT(menus().size(), 1, 5000);
        // Its second item is Word Count.
        xdotool(QStringLiteral("key Down sleep 0.1 key Down sleep 0.1 key Return"));
        QTRY_VERIFY_WITH_TIMEOUT(menus().isEmpty(), 5000);

        // The session ends: the note is kept with the subcaption it shows.
        ::kill(static_cast<pid_t>(m_jottex.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(m_jottex.state(), QProcess::NotRunning, 15000);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept.first().TimeDate, QStringLiteral("Word Count: 0"));
    }

    void onlyTheCaptionAndTheSurfaceDragTheNote_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("moves");
        QTest::newRow("caption") << QStringLiteral("caption") << true;
        QTest::newRow("help picture") << QStringLiteral("help") << false;
        QTest::newRow("close picture") << QStringLiteral("close") << false;
        QTest::newRow("subcaption") << QStringLiteral("subcaption") << false;
        QTest::newRow("bare surface") << QStringLiteral("surface") << true;
    }

    void onlyTheCaptionAndTheSurfaceDragTheNote()
    {
        QFETCH(QString, control);
        QFETCH(bool, moves);
        const QSize size = m_start.size();
        const QPoint from = control == QLatin1String("caption")   ? captionPoint()
                            : control == QLatin1String("help")    ? helpPoint(size)
                            : control == QLatin1String("close")   ? closePoint(size)
                            : control == QLatin1String("surface") ? surfacePoint(size)
                                                                  : subCaptionPoint(size);
        // Released well away from the picture, so no click happens.
        const QPoint delta(80, 60);
        const QPoint halfway = m_start.topLeft() + from + delta / 2;
        const QPoint to = m_start.topLeft() + from + delta;
        xdotool(at(from) + QStringLiteral(" sleep 0.2 mousedown 1 sleep 0.2 mousemove %1 %2 sleep "
                                          "0.2 mousemove %3 %4 sleep 0.2 mouseup 1")
                               .arg(halfway.x())
                               .arg(halfway.y())
                               .arg(to.x())
                               .arg(to.y()));
        if (moves) {
            QTRY_COMPARE_WITH_TIMEOUT(show(place()), show(m_start.translated(delta)), 5000);
        } else {
            QTest::qWait(500);
            QCOMPARE(show(place()), show(m_start));
            // Nor was it a click: the note is still open and no message box came up.
            QCOMPARE(m_x.windowIds(QStringLiteral("^Jottex$")), QStringList{m_note});
        }
    }

    void minimisedStripShowsTheWholeIcon()
    {
        // Where the icon sits: 32 pixels wide, down to the foot of the 345-twip caption strip.
        const QRect corner(m_start.topLeft(), QSize(32, Twips::toPixels(345)));
        // The strip is painted grey beside the icon once the note is drawn.
        QTRY_COMPARE_WITH_TIMEOUT(
            m_x.grab(QRect(m_start.topLeft() + QPoint(40, 20), QSize(1, 1))).pixelColor(0, 0),
            QColor(128, 128, 128), 5000);
        const QImage full = m_x.grab(corner);
        QVERIFY(!full.isNull());

        doubleClick(iconPoint());
        QTRY_COMPARE_WITH_TIMEOUT(place().size(), stripSize(), 5000);
        parkPointer();
        QTRY_COMPARE_WITH_TIMEOUT(differingPixels(m_x.grab(corner), full), 0, 3000);
    }

    void iconDoubleClickRestoresANoteShrunkByHand()
    {
        const QPoint beyond = m_start.topLeft() - QPoint(40, 40);
        xdotool(at(gripPoint(m_start.size())) +
                QStringLiteral(" sleep 0.2 mousedown 1 sleep 0.2 mousemove %1 %2 sleep 0.2 "
                               "mouseup 1")
                    .arg(beyond.x())
                    .arg(beyond.y()));
        // No smaller than the strip.
        QTRY_COMPARE_WITH_TIMEOUT(place().size(), stripSize(), 5000);
        QCOMPARE(place().topLeft(), m_start.topLeft());

        doubleClick(iconPoint());
        QTRY_COMPARE_WITH_TIMEOUT(place().size(), m_start.size(), 5000);
    }
};

JOTTEX_TEST_MAIN(TestNoteFrameEndToEnd)
#include "tst_noteframe_e2e.moc"
