#include "SyncthingPeer.h"
#include "TestEnvironment.h"
#include "XServer.h"
#include "richtext/RichText.h"
#include "store/NotesFolder.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>
#include <functional>
#include <memory>

// Waits on the clock for a condition: asking the X server and reading the folders takes a
// while each time, which QTRY_VERIFY's count of tries would not see.
#define VERIFY_SOON(condition, ms)                                                                 \
    QVERIFY2(QTest::qWaitFor([&] { return condition; }, ms), #condition)

namespace {
// A note typed on one machine shows on the other within this time.
constexpr int kTravelMs = 15000;
constexpr int kStartMs = 20000;
constexpr int kExitMs = 15000;
// A click on a note's close picture, on a machine busy with other tests.
constexpr int kCloseMs = 10000;
// Both peers find each other once started.
constexpr int kConnectMs = 30000;
// After the random run everything is up again; all notes are back on both sides by then.
constexpr int kSettleMs = 60000;
constexpr int kDefaultSoakSeconds = 20;

// One machine: its own home and XDG folders, its notes folder, its Syncthing and its Jottex.
class Side {
public:
    Side(const QString& name, const QString& root)
        : m_name(name), m_root(root),
          m_peer(name, root + QStringLiteral("/syncthing"), root + QStringLiteral("/Notes"))
    {
        for (const char* folder : {"data", "config", "cache", "runtime", "tmp", "home"})
            QDir().mkpath(root + QLatin1Char('/') + QLatin1String(folder));
        QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner |
                                                                     QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner);
    }
    ~Side() { endJottex(); }
    Side(const Side&) = delete;
    Side& operator=(const Side&) = delete;

    QString name() const { return m_name; }
    QString notesFolder() const { return m_peer.folder(); }
    SyncthingPeer& peer() { return m_peer; }
    QProcess& jottex() { return m_jottex; }
    bool jottexRunning() const { return m_jottex.state() != QProcess::NotRunning; }

    QProcessEnvironment environment(const XServer& x) const
    {
        QProcessEnvironment environment = x.environment();
        const auto set = [&](const char* variable, const char* folder) {
            environment.insert(QLatin1String(variable),
                               m_root + QLatin1Char('/') + QLatin1String(folder));
        };
        set("XDG_DATA_HOME", "data");
        set("XDG_CONFIG_HOME", "config");
        set("XDG_CACHE_HOME", "cache");
        set("XDG_RUNTIME_DIR", "runtime");
        set("TMPDIR", "tmp");
        set("HOME", "home");
        return environment;
    }

    // Starts this side's Jottex on its notes folder; true once it shows every note of the
    // folder (a blank one at least), so that no window it maps later takes the keyboard
    // from the user, and it listens for later starts.
    bool startJottex(const XServer& x)
    {
        const qsizetype waiting = std::max<qsizetype>(1, files().size());
        m_jottex.setProcessEnvironment(environment(x));
        m_jottex.setProcessChannelMode(QProcess::ForwardedChannels);
        m_jottex.start(XServer::program(), {QStringLiteral("--notes-folder"), m_peer.folder()});
        return m_jottex.waitForStarted(kStartMs) &&
               QTest::qWaitFor([&] { return notes(x).size() >= waiting; }, kStartMs);
    }

    // A later start of jottex with these arguments, handed over to the running one.
    bool handOver(const XServer& x, const QStringList& arguments) const
    {
        QProcess later;
        later.setProcessEnvironment(environment(x));
        later.setProcessChannelMode(QProcess::ForwardedChannels);
        later.start(XServer::program(), arguments);
        if (!later.waitForFinished(kExitMs)) {
            later.kill();
            later.waitForFinished(kExitMs);
            return false;
        }
        return later.exitStatus() == QProcess::NormalExit && later.exitCode() == 0;
    }

    // The session ends: every note is kept, in the notes folder.
    bool logOut()
    {
        if (!jottexRunning())
            return true;
        ::kill(static_cast<pid_t>(m_jottex.processId()), SIGTERM);
        return m_jottex.waitForFinished(kExitMs) && m_jottex.exitStatus() == QProcess::NormalExit;
    }

    void endJottex()
    {
        if (jottexRunning()) {
            m_jottex.kill();
            m_jottex.waitForFinished(kExitMs);
        }
    }

    // This side's note windows.
    QStringList notes(const XServer& x) const
    {
        if (!jottexRunning())
            return {};
        const QStringList ours =
            x.run(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--pid"), QString::number(m_jottex.processId())})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList notes = x.noteWindowIds();
        notes.removeIf([&ours](const QString& id) { return !ours.contains(id); });
        return notes;
    }

    // The titles of the open notes (a note's first line), without the changed mark.
    QStringList titles(const XServer& x) const
    {
        QStringList titles;
        for (const QString& id : notes(x))
            titles << titleOf(x, id);
        return titles;
    }

    static QString titleOf(const XServer& x, const QString& id)
    {
        QString title =
            x.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}).trimmed();
        if (title.endsWith(QLatin1Char('*')))
            title.chop(1);
        return title;
    }

    // The window of the open note whose title is title; empty when none is open.
    QString noteTitled(const XServer& x, const QString& title) const
    {
        for (const QString& id : notes(x)) {
            if (titleOf(x, id) == title)
                return id;
        }
        return {};
    }

    // The first line of every note file in the notes folder (conflict copies too), by file
    // name; the trash is left out.
    QMap<QString, QString> files() const
    {
        QMap<QString, QString> firstLines;
        const QDir folder(m_peer.folder());
        for (const QString& name : folder.entryList({QStringLiteral("*.not*")}, QDir::Files)) {
            // Syncthing's files on their way in are not notes yet.
            if (name.startsWith(QLatin1Char('.')))
                continue;
            const Expected<NoteRecord> record = NotesFolder::read(folder.filePath(name));
            if (record.ok())
                firstLines.insert(name, firstLine(record.value()));
        }
        return firstLines;
    }

    bool inTrash(const QString& fileName) const
    {
        return QFile::exists(m_peer.folder() + QStringLiteral("/.trash/") + fileName);
    }

    // Everything this side holds of a note: an open note or a note file with that first line.
    bool holds(const XServer& x, const QString& text) const
    {
        return files().values().contains(text) || titles(x).contains(text);
    }

    QString report(const XServer& x) const
    {
        QStringList fileLines;
        const QMap<QString, QString> all = files();
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            fileLines << it.key() + QStringLiteral(" = ") + it.value();
        const QString jottex = jottexRunning()
                                   ? QStringLiteral("up")
                                   : QStringLiteral("ended with %1").arg(m_jottex.exitCode());
        const QString log = QString::fromUtf8(
            TestEnvironment::readFile(m_root + QStringLiteral("/data/Jottex/jottex.log")));
        return QStringLiteral("%1: notes [%2], files [%3], syncthing %4, jottex %5, log:\n%6")
            .arg(m_name, titles(x).join(QStringLiteral(" | ")),
                 fileLines.join(QStringLiteral(" | ")),
                 m_peer.running() ? QStringLiteral("up") : QStringLiteral("down"), jottex,
                 log.right(2000));
    }

    static QString firstLine(const NoteRecord& record)
    {
        return RichText::toPlainText(record.Data).section(QStringLiteral("\r\n"), 0, 0).trimmed();
    }

private:
    QString m_name;
    QString m_root;
    SyncthingPeer m_peer;
    QProcess m_jottex;
};
} // namespace

// Two machines under one X server, each with its own Syncthing and its own Jottex on its side
// of one shared notes folder: what the user does to a note on one machine reaches the other
// through the sync tool alone, and nothing typed is lost on the way.
class TestSyncEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<Side> m_left;
    std::unique_ptr<Side> m_right;

    void xdotool(const QStringList& arguments) const
    {
        m_x.run(QStringLiteral("xdotool"), arguments);
    }

    // The user's keyboard is in this note once it is the focused window.
    bool focus(const QString& note) const
    {
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), note});
        return QTest::qWaitFor(
            [&] {
                return m_x.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")})
                           .trimmed() == note;
            },
            5000);
    }

    // The user asks the side's Jottex for a new note, which takes the keyboard, and types
    // text into it; its window. Notes arriving from the other side meanwhile are new windows
    // too, but never the one with the keyboard.
    QString typeNewNote(Side& side, const QString& text) const
    {
        const QStringList before = side.notes(m_x);
        if (!side.handOver(m_x, {QStringLiteral("--new")}))
            return {};
        QString note;
        const bool opened = QTest::qWaitFor(
            [&] {
                note = m_x.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")})
                           .trimmed();
                return !before.contains(note) && side.notes(m_x).contains(note);
            },
            kStartMs);
        if (!opened)
            return {};
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
        return QTest::qWaitFor([&] { return Side::titleOf(m_x, note) == text; }, 5000) ? note
                                                                                       : QString();
    }

    // The user puts words in front of the note's first line.
    bool typeAtStart(const QString& note, const QString& words) const
    {
        if (!focus(note))
            return false;
        const QString after = words + Side::titleOf(m_x, note);
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Home"), QStringLiteral("type"),
                 QStringLiteral("--delay"), QStringLiteral("20"), words});
        return QTest::qWaitFor([&] { return Side::titleOf(m_x, note) == after; }, 5000);
    }

    // The user clicks the note's close picture; a note with a change not yet saved to a file
    // of the user's asks first, and the user declines that save.
    bool closeByHand(const Side& side, const QString& note) const
    {
        // Raised first: notes of both sides may lie over it.
        if (!focus(note))
            return false;
        const QRect place = m_x.geometry(note);
        xdotool({QStringLiteral("mousemove"), QString::number(place.right() - 10),
                 QString::number(place.top() + 9), QStringLiteral("click"), QStringLiteral("1")});
        QString prompt;
        const bool answered = QTest::qWaitFor(
            [&] {
                prompt = m_x.windowIds(QStringLiteral("^Perform Save$")).value(0);
                return !prompt.isEmpty() || !side.notes(m_x).contains(note);
            },
            kCloseMs);
        if (!answered)
            return false;
        if (!prompt.isEmpty()) {
            xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), prompt,
                     QStringLiteral("key"), QStringLiteral("n")});
        }
        return QTest::qWaitFor([&] { return !side.notes(m_x).contains(note); }, kCloseMs);
    }

    // Whether the note's caption strip, raised above every other note, is a conflict copy's
    // amber rather than the usual grey.
    bool showsConflictStrip(const QString& note) const
    {
        const QColor amber(184, 98, 0);
        if (note.isEmpty() || !focus(note))
            return false;
        // Beside the icon, where the strip shows its colour.
        const QPoint spot = m_x.geometry(note).topLeft() + QPoint(40, 20);
        return QTest::qWaitFor(
            [&] { return m_x.grab(QRect(spot, QSize(1, 1))).pixelColor(0, 0) == amber; }, 2000);
    }

    // Both sides' Syncthing are up and linked, and both Jottex run.
    bool everythingUp()
    {
        for (Side* side : {m_left.get(), m_right.get()}) {
            if (!side->peer().running() && !side->peer().start())
                return false;
            if (!side->jottexRunning() && !side->startJottex(m_x))
                return false;
        }
        return QTest::qWaitFor(
            [this] { return m_left->peer().connected() && m_right->peer().connected(); },
            kConnectMs);
    }

    QString report() const
    {
        return m_left->report(m_x) + QLatin1Char('\n') + m_right->report(m_x);
    }

private slots:
    void initTestCase()
    {
        if (!SyncthingPeer::installed())
            QSKIP("syncthing is not installed (apt-get install syncthing); the notes folder's "
                  "end-to-end test needs it");
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_root = std::make_unique<QTemporaryDir>();
        m_left = std::make_unique<Side>(QStringLiteral("left"), m_root->filePath("left"));
        m_right = std::make_unique<Side>(QStringLiteral("right"), m_root->filePath("right"));
        const QString why = SyncthingPeer::introduce(m_left->peer(), m_right->peer());
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY2(everythingUp(), qPrintable(m_left->peer().logTail() + m_right->peer().logTail()));
    }

    void cleanupTestCase()
    {
        // Jottex first, so that no note is written into a folder whose peer has gone.
        m_left.reset();
        m_right.reset();
    }

    void cleanup()
    {
        if (QTest::currentTestFailed() && m_left && m_right)
            qWarning("%s", qPrintable(report()));
    }

    // Typed on one side, the note opens on the other, titled by its first line; an edit
    // there comes back and updates the first side's open note; closed by hand there, it
    // closes here too, and both folders keep it in the trash.
    void noteTravelsBothWaysAndIsClosedOnBoth()
    {
        const QString typed = typeNewNote(*m_left, QStringLiteral("travelling note"));
        QVERIFY2(!typed.isEmpty(), "the note could not be typed");
        QString arrived;
        VERIFY_SOON(
            !(arrived = m_right->noteTitled(m_x, QStringLiteral("travelling note"))).isEmpty(),
            kTravelMs);

        QVERIFY(typeAtStart(arrived, QStringLiteral("edited ")));
        VERIFY_SOON(Side::titleOf(m_x, typed) == QStringLiteral("edited travelling note"),
                    kTravelMs);

        const QString file = m_right->files().key(QStringLiteral("edited travelling note"));
        QVERIFY(!file.isEmpty());
        QVERIFY(closeByHand(*m_right, arrived));
        VERIFY_SOON(!m_left->notes(m_x).contains(typed), kTravelMs);
        for (const Side* side : {m_left.get(), m_right.get()}) {
            VERIFY_SOON(side->inTrash(file), kTravelMs);
            QVERIFY(!side->files().contains(file));
        }
    }

    // A note that comes from the other machine opens without taking the keyboard: the user
    // goes on typing into the note at hand.
    void arrivingNoteLeavesTheKeyboardAlone()
    {
        const QString typing = typeNewNote(*m_right, QStringLiteral("keyboard stays"));
        QVERIFY(!typing.isEmpty());
        VERIFY_SOON(!m_left->noteTitled(m_x, QStringLiteral("keyboard stays")).isEmpty(),
                    kTravelMs);
        QCOMPARE(m_x.run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed(),
                 typing);
        xdotool({QStringLiteral("type"), QStringLiteral(" here")});
        VERIFY_SOON(Side::titleOf(m_x, typing) == QStringLiteral("keyboard stays here"), 5000);
    }

    // The same note changed on both sides while they cannot reach each other: once linked
    // again, each side shows both texts, one of them as a conflict copy.
    void editsOnBothSidesWhilePausedKeepBothTexts()
    {
        const QString left = typeNewNote(*m_left, QStringLiteral("shared list"));
        QVERIFY(!left.isEmpty());
        QString right;
        VERIFY_SOON(!(right = m_right->noteTitled(m_x, QStringLiteral("shared list"))).isEmpty(),
                    kTravelMs);

        QVERIFY(m_left->peer().pauseLink());
        VERIFY_SOON(!m_right->peer().connected(), kTravelMs);
        QVERIFY(typeAtStart(left, QStringLiteral("milk ")));
        QVERIFY(typeAtStart(right, QStringLiteral("eggs ")));
        // Each Jottex has written its change into its own folder, and each Syncthing has
        // seen it, as after an outage of more than a few seconds.
        VERIFY_SOON(m_left->files().values().contains(QStringLiteral("milk shared list")),
                    kTravelMs);
        VERIFY_SOON(m_right->files().values().contains(QStringLiteral("eggs shared list")),
                    kTravelMs);
        QVERIFY(m_left->peer().rescan());
        QVERIFY(m_right->peer().rescan());

        QVERIFY(m_left->peer().resumeLink());
        const QStringList both{QStringLiteral("milk shared list"),
                               QStringLiteral("eggs shared list")};
        for (const Side* side : {m_left.get(), m_right.get()}) {
            for (const QString& text : both)
                VERIFY_SOON(side->titles(m_x).contains(text), kTravelMs);
            // One of the two says in its amber strip that it is the conflict copy.
            int copies = 0;
            for (const QString& text : both)
                copies += showsConflictStrip(side->noteTitled(m_x, text)) ? 1 : 0;
            QCOMPARE(copies, 1);
        }
    }

    // Syncthing and Jottex of either side stop and start at random points while notes are
    // typed on both: at the end every note typed is on both sides.
    void randomStopsAndStartsLoseNoNote()
    {
        const int seconds = qEnvironmentVariableIsSet("JOTTEX_SYNC_SOAK_SECONDS")
                                ? qEnvironmentVariableIntValue("JOTTEX_SYNC_SOAK_SECONDS")
                                : kDefaultSoakSeconds;
        const quint32 seed = qEnvironmentVariableIsSet("JOTTEX_SYNC_SOAK_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("JOTTEX_SYNC_SOAK_SEED"))
                                 : QRandomGenerator::global()->generate();
        qInfo("random run of %d s, JOTTEX_SYNC_SOAK_SEED=%u", seconds, seed);
        QRandomGenerator random(seed);

        enum class Step { TypeNote, StopSyncthing, CrashSyncthing, StartSyncthing, RestartJottex };
        const std::array steps{Step::TypeNote,       Step::TypeNote,       Step::TypeNote,
                               Step::StopSyncthing,  Step::CrashSyncthing, Step::StartSyncthing,
                               Step::StartSyncthing, Step::RestartJottex};
        QStringList typed;
        const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
        while (!deadline.hasExpired()) {
            Side& side = random.bounded(2) == 0 ? *m_left : *m_right;
            switch (steps[random.bounded(int(steps.size()))]) {
            case Step::TypeNote: {
                const QString text =
                    QStringLiteral("%1 note %2").arg(side.name()).arg(typed.size());
                QVERIFY2(!typeNewNote(side, text).isEmpty(), qPrintable(text));
                typed << text;
                break;
            }
            case Step::StopSyncthing:
                side.peer().stop(SyncthingPeer::StopKind::Clean);
                break;
            case Step::CrashSyncthing:
                side.peer().stop(SyncthingPeer::StopKind::Crash);
                break;
            case Step::StartSyncthing:
                QVERIFY2(side.peer().start(), qPrintable(side.peer().logTail()));
                break;
            case Step::RestartJottex:
                QVERIFY(side.logOut());
                QVERIFY(side.startJottex(m_x));
                break;
            }
        }
        qInfo("%lld notes typed", qint64(typed.size()));

        QVERIFY(everythingUp());
        for (const Side* side : {m_left.get(), m_right.get()}) {
            for (const QString& text : typed)
                QVERIFY2(QTest::qWaitFor([&] { return side->holds(m_x, text); }, kSettleMs),
                         qPrintable(side->name() + QStringLiteral(" lost ") + text));
        }
    }
};

JOTTEX_TEST_MAIN(TestSyncEndToEnd)
#include "tst_sync_e2e.moc"
