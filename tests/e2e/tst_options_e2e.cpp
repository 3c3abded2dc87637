#include "Samples.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "shell/Paths.h"
#include "shell/version.h"
#include "store/NotesFolder.h"
#include "store/modNote.h"

#include <QtTest>
#include <csignal>
#include <optional>

// The real programs answer --help and --version without a display, and refuse an unknown option.
// A note's options as the desktop sees them: its title in the window list, the workspaces it
// shows on, which it keeps to the next login, and the notes folder its menu sets.
class TestOptionsEndToEnd : public QObject {
    Q_OBJECT

    static constexpr int kMapMs = 20000;
    XServer m_x;
    std::optional<QString> m_whyNoDesktop; // set once the server was started, empty when it runs

    // The server with its window manager, started for the first test that needs it.
    QString whyNoDesktop()
    {
        if (!m_whyNoDesktop)
            m_whyNoDesktop = m_x.start(true);
        return *m_whyNoDesktop;
    }

    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

    // The window of that title once it shows; empty when none did.
    QString waitForWindow(const QString& titlePattern) const
    {
        QString id;
        (void)QTest::qWaitFor(
            [&] {
                id = m_x.windowIds(titlePattern).value(0);
                return !id.isEmpty();
            },
            kMapMs);
        return id;
    }

    // The window the window manager stacks highest.
    QString topmost() const { return m_x.stackingOrder().value(m_x.stackingOrder().size() - 1); }

    void saveScreen(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("JOTTEX_SCREENSHOTS");
        if (!folder.isEmpty())
            (void)m_x.grab(QRect(0, 0, 1280, 1024)).save(folder + QLatin1Char('/') + name);
    }

    QString property(const QString& window, const QString& name) const
    {
        return m_x.run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, name}).trimmed();
    }

    QString desktopOf(const QString& window) const
    {
        return property(window, QStringLiteral("_NET_WM_DESKTOP"))
            .section(QStringLiteral(" = "), 1);
    }

    // The title less the mark of a note with unsaved changes, which a restored note is.
    QString titleOf(const QString& window) const
    {
        QString title =
            property(window, QStringLiteral("_NET_WM_NAME")).section(QStringLiteral(" = "), 1);
        return title.replace(QStringLiteral("*\""), QStringLiteral("\""));
    }

    // The one note of a program just started, once it shows.
    QString waitForNote() const
    {
        QString note;
        (void)QTest::qWaitFor(
            [&] {
                const QStringList notes = m_x.noteWindowIds();
                note = notes.size() == 1 ? notes.first() : QString();
                return !note.isEmpty();
            },
            kMapMs);
        return note;
    }

    // Chooses an item of Note Options after a right-click on the note, with the keyboard and
    // each menu waited for: the main menu from the bottom (Close, About, Note Options), then
    // keys that select the item in the submenu, which opens on its first item, and Return.
    // A screenshot of the menus, when named, before Return.
    bool chooseNoteOption(const QString& note, const QString& keys,
                          const QString& screenshot = {}) const
    {
        const QRect place = m_x.geometry(note);
        m_x.run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(place.center().x()),
                 QString::number(place.center().y()), QStringLiteral("click"),
                 QStringLiteral("3")});
        const QString jottex = QStringLiteral("^Jottex$");
        if (!QTest::qWaitFor([&] { return m_x.popupMenus(jottex).size() == 1; }, 5000))
            return false;
        m_x.run(QStringLiteral("xdotool"),
                QStringLiteral("key Up key Up key Up key Right").split(QLatin1Char(' ')));
        if (!QTest::qWaitFor([&] { return m_x.popupMenus(jottex).size() == 2; }, 5000))
            return false;
        xdotool(keys);
        if (!screenshot.isEmpty())
            saveScreen(screenshot);
        xdotool(QStringLiteral("key Return"));
        return QTest::qWaitFor([&] { return m_x.popupMenus(jottex).isEmpty(); }, 5000);
    }

    // Note Options > On All Workspaces: Font Family, Color, Always on Top (no Transparency
    // without a compositor), and the item.
    bool toggleAllWorkspaces(const QString& note) const
    {
        return chooseNoteOption(note, QStringLiteral("key Down key Down key Down"));
    }

    // Note Options > Notes Folder..., the last item.
    bool chooseNotesFolderItem(const QString& note, const QString& screenshot = {}) const
    {
        return chooseNoteOption(note, QStringLiteral("key Up"), screenshot);
    }

    struct Result {
        int code = -1;
        QString out;
        QString err;
    };

    static Result run(const QString& name, const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // No display at all: an option that started the toolkit would fail here.
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(XServer::program(name), arguments);
        if (!process.waitForFinished(20000))
            return {};
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

private slots:
    void options_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("jottex") << QStringLiteral("jottex");
        QTest::newRow("jottex-cli") << QStringLiteral("jottex-cli");
    }

    void options()
    {
        QFETCH(QString, program);
        const Result version = run(program, {QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out,
                 program + QLatin1Char(' ') + QLatin1String(Version::Text) + QLatin1Char('\n'));

        const Result help = run(program, {QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QVERIFY2(help.out.startsWith(QLatin1String("Usage:")), qPrintable(help.out));
        QVERIFY(help.out.contains(program + QLatin1String(" --help")));

        const Result unknown = run(program, {QStringLiteral("--frobnicate")});
        QCOMPARE(unknown.code, 2);
        QVERIFY(unknown.out.isEmpty());
        QVERIFY2(unknown.err.contains(QLatin1String("Usage:")), qPrintable(unknown.err));
    }

    // The window list names a note by its first line, as it is edited. "On All Workspaces"
    // puts it on every workspace and, turned off, on the one the user is on; a note on every
    // workspace at logout is there again at the next start.
    void titleAndWorkspacesAsTheDesktopSeesThem()
    {
        if (const QString why = whyNoDesktop(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestEnvironment::resetFolders();
        modNote::SaveMainNote(Samples::note(QStringLiteral("Shopping list"), 1500, 1500));
        QProcess first;
        QVERIFY(m_x.launch(first));
        const QString note = waitForNote();
        QVERIFY(!note.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(note), QStringLiteral("\"Shopping list\""), 5000);
        m_x.run(QStringLiteral("xdotool"),
                {QStringLiteral("windowactivate"), QStringLiteral("--sync"), note,
                 QStringLiteral("key"), QStringLiteral("ctrl+Home"), QStringLiteral("type"),
                 QStringLiteral("My ")});
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(note), QStringLiteral("\"My Shopping list\""), 5000);
        QCOMPARE(desktopOf(note), QStringLiteral("0"));

        QVERIFY(toggleAllWorkspaces(note));
        QTRY_COMPARE_WITH_TIMEOUT(desktopOf(note), QStringLiteral("4294967295"), 5000);
        m_x.run(QStringLiteral("xdotool"), {QStringLiteral("set_desktop"), QStringLiteral("2")});
        QVERIFY(toggleAllWorkspaces(note));
        QTRY_COMPARE_WITH_TIMEOUT(desktopOf(note), QStringLiteral("2"), 5000);
        QVERIFY(toggleAllWorkspaces(note));
        QTRY_COMPARE_WITH_TIMEOUT(desktopOf(note), QStringLiteral("4294967295"), 5000);

        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(15000));
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 1);
        QVERIFY(kept[0].OnAllWorkspaces);

        QProcess next;
        QVERIFY(m_x.launch(next));
        const QString again = waitForNote();
        QVERIFY(!again.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(desktopOf(again), QStringLiteral("4294967295"), 5000);
        next.kill();
        next.waitForFinished(5000);
    }

    // Note Options > Notes Folder... from a real right-click. With no folder in use, the folder
    // chooser: the folder typed there is used at once, and the open note gets its file there.
    // Asked again, a box names the folder, and "Stop Using It" turns it off. Each shows above
    // the note, which stays in the on-top band.
    void notesFolderFromTheMenu()
    {
        if (const QString why = whyNoDesktop(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestEnvironment::resetFolders();
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("synced"));
        QVERIFY(QDir().mkpath(folder));
        modNote::SaveMainNote(Samples::note(QStringLiteral("Shopping list"), 1500, 1500));
        QProcess jottex;
        QVERIFY(m_x.launch(jottex));
        const QString note = waitForNote();
        QVERIFY(!note.isEmpty());

        QVERIFY(chooseNotesFolderItem(note, QStringLiteral("notes-folder-menu.png")));
        const QString chooser = waitForWindow(QStringLiteral("^Choose the Notes Folder$"));
        QVERIFY(!chooser.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(topmost(), chooser, 5000);
        saveScreen(QStringLiteral("notes-folder-chooser.png"));
        // The folder is empty: after its closing "/" the name completer has nothing to offer,
        // and Return takes the folder.
        m_x.run(QStringLiteral("xdotool"), {QStringLiteral("type"), folder + QLatin1Char('/')});
        const QString jottexClass = QStringLiteral("^Jottex$");
        QVERIFY(QTest::qWaitFor([&] { return m_x.popupMenus(jottexClass).isEmpty(); }, 5000));
        xdotool(QStringLiteral("key Return"));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_x.windowIds(QStringLiteral("^Choose the Notes Folder$")).isEmpty(), kMapMs);
        QTRY_COMPARE_WITH_TIMEOUT(NotesFolder::scan(folder).value().size(), 1, kMapMs);
        QCOMPARE(NotesFolder::configured(), folder);

        QVERIFY(chooseNotesFolderItem(note));
        const QString box = waitForWindow(QStringLiteral("^Notes Folder$"));
        QVERIFY(!box.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(topmost(), box, 5000);
        saveScreen(QStringLiteral("notes-folder-box.png"));
        xdotool(QStringLiteral("key alt+s"));
        QTRY_VERIFY_WITH_TIMEOUT(NotesFolder::configured().isEmpty(), kMapMs);
        QVERIFY(m_x.windowIds(QStringLiteral("^Notes Folder$")).isEmpty());
        QCOMPARE(m_x.noteWindowIds(), QStringList{note});

        jottex.kill();
        jottex.waitForFinished(5000);
    }
};

JOTTEX_TEST_MAIN(TestOptionsEndToEnd)
#include "tst_options_e2e.moc"
