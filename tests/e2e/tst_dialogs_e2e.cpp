#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QtTest>
#include <csignal>
#include <functional>

// Boxes left open while what owns them goes away, with the real program under a window
// manager: the alert's own timers close it, or the session ends. The program must live on,
// or end as a logout ends it, with every note kept.
class TestDialogsEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;

    // A window-maps wait: the first run of the program also loads fonts and icons.
    static constexpr int kMapMs = 20000;
    static constexpr int kExitMs = 15000;

    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

    void click(QPoint where) const
    {
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.1 click 1").arg(where.x()).arg(where.y()));
    }

    QStringList windows(const QString& titlePattern) const { return m_x.windowIds(titlePattern); }

    // The one window of that title, other than those known already, once it shows.
    QString waitForWindow(const QString& titlePattern, const QStringList& known = {}) const
    {
        QString id;
        (void)QTest::qWaitFor(
            [&] {
                QStringList ids = windows(titlePattern);
                for (const QString& old : known)
                    ids.removeAll(old);
                id = ids.size() == 1 ? ids.first() : QString();
                return !id.isEmpty();
            },
            kMapMs);
        return id;
    }

    // The program with one stored note, its window shown and the note restored.
    QString startWithOneNote(QProcess& jottex)
    {
        TestEnvironment::resetFolders();
        modNote::SaveMainNote(Samples::note(QStringLiteral("kept note"), 1500, 1500));
        if (!m_x.launch(jottex))
            return {};
        QString note;
        if (!QTest::qWaitFor(
                [&] {
                    note = m_x.noteWindowIds().value(0);
                    return !note.isEmpty();
                },
                kMapMs))
            return {};
        if (!QTest::qWaitFor([] { return !QFile::exists(AppPaths::mainDataFile()); }, kMapMs))
            return {};
        return note;
    }

    // The note's menu, walked with the keyboard: a click gives the note the focus first.
    void noteMenu(const QString& note, const QString& keys) const
    {
        const QRect place = m_x.geometry(note);
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.2 click 1 sleep 0.2 click 3 sleep 0.3 %3")
                    .arg(place.x() + 40)
                    .arg(place.y() + 50)
                    .arg(keys));
    }

    // Two overlapping notes of the on-top band, a up and to the left of b and stacked under
    // it; a's text has the focus, without a being raised. Their ids, a first.
    QStringList startWithTwoOverlappingNotes(QProcess& jottex)
    {
        TestEnvironment::resetFolders();
        // 15 twips to the pixel: a at 100,100, b at 200,200, each 223 x 191 pixels.
        for (const int place : {1500, 3000})
            modNote::SaveMainNote(
                Samples::note(QStringLiteral("note %1").arg(place), place, place));
        if (!m_x.launch(jottex))
            return {};
        QStringList notes;
        if (!QTest::qWaitFor(
                [&] {
                    notes = m_x.noteWindowIds();
                    return notes.size() == 2;
                },
                kMapMs))
            return {};
        if (m_x.geometry(notes[0]).x() > m_x.geometry(notes[1]).x())
            notes.swapItemsAt(0, 1);
        xdotool(QStringLiteral("windowactivate --sync %1 windowfocus --sync %2")
                    .arg(notes[1], notes[0]));
        return notes;
    }

    // The window last in the window manager's stacking, the topmost one.
    QString topmost() const
    {
        const QStringList stacking = m_x.stackingOrder();
        return stacking.value(stacking.size() - 1);
    }

    void saveScreen(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (!folder.isEmpty())
            (void)m_x.grab(QRect(0, 0, 800, 600)).save(folder + QLatin1Char('/') + name);
    }

    // A logout: the program ends as it does today and keeps the note in the main data file.
    static void endSessionKeepsTheNote(QProcess& jottex)
    {
        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(jottex.state(), QProcess::NotRunning, kExitMs);
        QCOMPARE(jottex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(jottex.exitCode(), 0);
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 1);
        QVERIFY(kept.first().Data.contains(QStringLiteral("kept note")));
    }

private slots:
    void initTestCase()
    {
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // The alert's message opens a box; the alert's timers close the alert while the box is
    // still open. The box outlives the alert's slide, and answering it ends nothing.
    void alertClosesUnderItsOpenBox()
    {
        QProcess jottex;
        const QString note = startWithOneNote(jottex);
        QVERIFY(!note.isEmpty());

        // Special Note > Reminder (alarm), the time prompt kept at the time it opens on: the
        // reminder is due within the note's next look at the clock.
        noteMenu(note, QStringLiteral("key Down sleep 0.05 key Down sleep 0.05 key Down sleep 0.05 "
                                      "key Right sleep 0.2 key Down sleep 0.05 key Return"));
        const QString prompt = waitForWindow(QStringLiteral("^Reminder Time$"));
        QVERIFY(!prompt.isEmpty());
        const QRect promptPlace = m_x.geometry(prompt);
        click(promptPlace.topLeft() + QPoint(30, promptPlace.height() / 2));
        xdotool(QStringLiteral("key Return"));
        QTRY_VERIFY_WITH_TIMEOUT(windows(QStringLiteral("^Reminder Time$")).isEmpty(), kMapMs);

        // The alert is the other "Jottex" window; it has risen once it is its full height.
        QString alert;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const QString& id : windows(QStringLiteral("^Jottex$"))) {
                    if (id != note && m_x.geometry(id).height() >= 110)
                        alert = id;
                }
                return !alert.isEmpty();
            }(),
            kMapMs);
        const QRect alertPlace = m_x.geometry(alert);
        click(alertPlace.topLeft() + QPoint(alertPlace.width() / 2, alertPlace.height() * 2 / 3));
        const QString box = waitForWindow(QStringLiteral("^Jottex$"), {note, alert});
        QVERIFY(!box.isEmpty());

        // The alert slides away on time while its box stays open; the program lives on.
        QTRY_VERIFY_WITH_TIMEOUT(!windows(QStringLiteral("^Jottex$")).contains(alert), kMapMs);
        QCOMPARE(jottex.state(), QProcess::Running);
        QVERIFY(windows(QStringLiteral("^Jottex$")).contains(box));

        // OK (the box's only button, and the default).
        const QRect boxPlace = m_x.geometry(box);
        click(boxPlace.topLeft() + QPoint(boxPlace.width() / 2, 15));
        xdotool(QStringLiteral("key Return"));
        QTRY_VERIFY_WITH_TIMEOUT(!windows(QStringLiteral("^Jottex$")).contains(box), kMapMs);
        QCOMPARE(jottex.state(), QProcess::Running);
        QVERIFY(m_x.noteWindowIds().contains(note));
        endSessionKeepsTheNote(jottex);
    }

    // Every note sits in the on-top band; what the lower of two notes opens shows above both
    // of them, and stays there when the user clicks the other note. The manager is owned by
    // the note that opens it. Keys reach the note however xdotool lets them go.
    void dialogsAboveEveryNote()
    {
        QProcess jottex;
        const QStringList notes = startWithTwoOverlappingNotes(jottex);
        QCOMPARE(notes.size(), 2);
        QVERIFY(m_x.stackingOrder().indexOf(notes[0]) < m_x.stackingOrder().indexOf(notes[1]));
        // A place of the upper note that no box opened over the lower one covers.
        const QRect upper = m_x.geometry(notes[1]);
        const QString clickUpper = QStringLiteral("mousemove %1 %2 sleep 0.1 click 1 sleep 0.3")
                                       .arg(upper.right() - 10)
                                       .arg(upper.bottom() - 30);
        const auto staysTopmost = [&](const QString& box, const QString& screenshot) {
            QTRY_COMPARE_WITH_TIMEOUT(topmost(), box, 5000);
            xdotool(clickUpper);
            saveScreen(screenshot);
            QCOMPARE(topmost(), box);
            xdotool(QStringLiteral("windowactivate --sync %1 sleep 0.2 key Escape").arg(box));
        };

        // A change, then the window manager's close: the save prompt.
        xdotool(QStringLiteral("type x"));
        xdotool(QStringLiteral("sleep 0.2 key alt+F4"));
        const QString prompt = waitForWindow(QStringLiteral("^Perform Save$"));
        QVERIFY(!prompt.isEmpty());
        staysTopmost(prompt, QStringLiteral("prompt.png"));
        QTRY_VERIFY_WITH_TIMEOUT(windows(QStringLiteral("^Perform Save$")).isEmpty(), kMapMs);

        // Ctrl+O as xdotool types it: the file dialog.
        const QString focusLower = QStringLiteral("windowactivate --sync %1 sleep 0.2 windowfocus "
                                                  "--sync %2 sleep 0.2 ")
                                       .arg(notes[1], notes[0]);
        xdotool(focusLower + QStringLiteral("key ctrl+o"));
        const QString files = waitForWindow(QStringLiteral("^Select a file"));
        QVERIFY(!files.isEmpty());
        staysTopmost(files, QStringLiteral("open.png"));
        QTRY_VERIFY_WITH_TIMEOUT(windows(QStringLiteral("^Select a file")).isEmpty(), kMapMs);

        // The manager from the lower note's menu, which Shift+F10 opens at the caret; it is
        // the fourth item.
        xdotool(focusLower + QStringLiteral("key shift+F10 sleep 0.3 key Down sleep 0.05 key "
                                            "Down sleep 0.05 key Down sleep 0.05 key Down sleep "
                                            "0.05 key Return"));
        const QString manager = waitForWindow(QStringLiteral("^Multi-Note Manager$"));
        QVERIFY(!manager.isEmpty());
        QCOMPARE(m_x.transientFor(manager), notes[0]);
        QTRY_COMPARE_WITH_TIMEOUT(topmost(), manager, 5000);
        saveScreen(QStringLiteral("manager.png"));
        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        QVERIFY(jottex.waitForFinished(kExitMs));
    }

    void logoutWhileABoxIsOpen_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("title");
        // The last items of the menu are About > (Ulmar's Website, Jottex), then Close.
        QTest::newRow("about") << QStringLiteral("key Up sleep 0.05 key Up sleep 0.05 key Right "
                                                 "sleep 0.2 key Down sleep 0.05 key Return")
                               << QStringLiteral("^About$");
        // Open, the second item.
        QTest::newRow("file dialog")
            << QStringLiteral("key Down sleep 0.05 key Down sleep 0.05 key Return")
            << QStringLiteral("^Select a file");
        QTest::newRow("manager") << QStringLiteral("key Down sleep 0.05 key Down sleep 0.05 key "
                                                   "Down sleep 0.05 key Down sleep 0.05 key Return")
                                 << QStringLiteral("^Multi-Note Manager$");
    }

    // The session ends while a window opened from the note is up: the program ends as a
    // logout ends it, and the note is kept.
    void logoutWhileABoxIsOpen()
    {
        QFETCH(QString, keys);
        QFETCH(QString, title);
        QProcess jottex;
        const QString note = startWithOneNote(jottex);
        QVERIFY(!note.isEmpty());
        noteMenu(note, keys);
        QVERIFY(!waitForWindow(title).isEmpty());
        endSessionKeepsTheNote(jottex);
    }
};

JOTTEX_TEST_MAIN(TestDialogsEndToEnd)
#include "tst_dialogs_e2e.moc"
