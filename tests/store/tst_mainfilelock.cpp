#include "TestEnvironment.h"
#include "TestSeams.h"
#include "shell/Paths.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"

#include <QLockFile>
#include <QProcess>
#include <QtTest>
#include <csignal>

namespace {
// Run as a child, the program adds this many notes to the main data file, one logout each.
const char* const kAppendSwitch = "--append-main-notes";
// Enough for the two to take turns many times; each append reads the whole file again.
constexpr int kNotesPerProcess = 40;
const QStringList kNames{QStringLiteral("a"), QStringLiteral("b")};

NoteRecord note(const QString& text)
{
    NoteRecord record;
    record.Color = QStringLiteral("yellow");
    record.Data = text;
    return record;
}

int appendNotes(const QString& name)
{
    for (int i = 0; i < kNotesPerProcess; ++i)
        modNote::SaveMainNote(note(name + QString::number(i)));
    return 0;
}

// Run as a child, the program holds the main data file's lock for a while, at work or idle.
const char* const kHoldSwitch = "--hold-main-lock";
enum class Holder { AtWork, Idle, Killed };
constexpr int kHoldMs = 1500;
constexpr int kPatienceMs = 500;

int holdLock(bool atWork)
{
    QLockFile lock(AppPaths::mainDataFile() + QStringLiteral(".lock"));
    if (!lock.lock())
        return 1;
    QTextStream(stdout) << "locked" << Qt::endl;
    QElapsedTimer held;
    held.start();
    volatile quint64 work = 0;
    while (held.elapsed() < kHoldMs) {
        if (atWork)
            work = work + 1;
        else
            QThread::msleep(50);
    }
    return 0;
}

// Run as a child, the program ends its session with one big note, as several copies do at a
// logout: the main data file or, failing that, its recovery file keeps the note as it is now.
const char* const kEndSwitch = "--end-session";
constexpr int kEndingCopies = 4;
constexpr qsizetype kBigNote = qsizetype(512) * 1024;

NoteRecordList& sessionNotes()
{
    static NoteRecordList notes;
    return notes;
}

NoteRecordList currentSessionNotes()
{
    return sessionNotes();
}

QString bigText(const QString& name, const QString& state)
{
    return name + QLatin1Char(' ') + state + QLatin1Char(' ') + QString(kBigNote, QLatin1Char('x'));
}

int endSession(const QString& name)
{
    // Gives up on the lock at once unless its holder shows work, so some copies fail.
    TestSeams seams;
    seams.setLockPatienceMs(1);
    NoteRecovery::setRecordSource(&currentSessionNotes);
    sessionNotes() = {note(bigText(name, QStringLiteral("draft")))};
    if (NoteRecovery::writeNow().failed())
        return 1;
    // Typed after the recovery file's last write.
    sessionNotes() = {note(bigText(name, QStringLiteral("final")))};
    if (const Result saved = modNote::SaveMainNotes(sessionNotes()); saved.ok())
        NoteRecovery::remove();
    else if (NoteRecovery::keepInstead(sessionNotes(), saved.error()).failed())
        return 1;
    return 0;
}

QStringList firstWords(const NoteRecordList& records)
{
    QStringList words;
    for (const NoteRecord& record : records)
        words << record.Data.section(QLatin1Char(' '), 0, 1);
    return words;
}
} // namespace

class TestMainFileLock : public QObject {
    Q_OBJECT

private slots:
    void twoProgramsEndingTogetherLoseNoNote()
    {
        // Two real processes, as two running copies of the program at a logout.
        QList<QProcess*> children;
        for (const QString& name : kNames) {
            auto* child = new QProcess(this);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kAppendSwitch), name});
            children << child;
        }
        for (QProcess* child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitCode(), 0);
        }

        QStringList texts;
        for (const NoteRecord& record : modNote::LoadNote(true, QString()))
            texts << record.Data;
        QCOMPARE(texts.size(), 2 * kNotesPerProcess);
        // Each program's notes come in the order it wrote them.
        for (const QString& name : kNames) {
            QStringList own;
            for (const QString& text : texts) {
                if (text.startsWith(name))
                    own << text;
            }
            QStringList expected;
            for (int i = 0; i < kNotesPerProcess; ++i)
                expected << name + QString::number(i);
            QCOMPARE(own, expected);
        }
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }

    // A holder at work is waited for as long as it works; one that does nothing is given up
    // on after the patience; one that was killed is no holder at all.
    void lockWaitFollowsTheHolder_data()
    {
        QTest::addColumn<Holder>("holder");
        QTest::newRow("at work") << Holder::AtWork;
        QTest::newRow("idle") << Holder::Idle;
        QTest::newRow("killed") << Holder::Killed;
    }

    void lockWaitFollowsTheHolder()
    {
        QFETCH(Holder, holder);
        TestEnvironment::resetFolders();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kHoldSwitch),
                     holder == Holder::AtWork ? QStringLiteral("work") : QStringLiteral("idle")});
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("locked"));
        if (holder == Holder::Killed) {
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
        }
        TestSeams seams;
        seams.setLockPatienceMs(kPatienceMs);
        QElapsedTimer waited;
        waited.start();
        const Result saved = modNote::SaveMainNotes({note(QStringLiteral("mine"))});
        const qint64 elapsed = waited.elapsed();
        child.waitForFinished(10000);
        QCOMPARE(saved.ok(), holder != Holder::Idle);
        switch (holder) {
        case Holder::AtWork:
            QVERIFY2(elapsed > qint64(kPatienceMs) * 2, qPrintable(QString::number(elapsed)));
            break;
        case Holder::Idle:
            QVERIFY2(elapsed < kHoldMs, qPrintable(QString::number(elapsed)));
            QCOMPARE(TestEnvironment::logLines().filter(QStringLiteral("locked by another")).size(),
                     1);
            break;
        case Holder::Killed:
            QVERIFY2(elapsed < kPatienceMs, qPrintable(QString::number(elapsed)));
            break;
        }
    }

    // Copies ending together with big notes: each note, as it was at the end, is kept once,
    // in the main data file, or when a program that does nothing holds its lock, in the
    // recovery file of the copy that could not reach it.
    void copiesEndingTogetherKeepEveryNoteOnce_data()
    {
        QTest::addColumn<bool>("idleHolder");
        QTest::newRow("lock free") << false;
        QTest::newRow("lock held by an idle program") << true;
    }

    void copiesEndingTogetherKeepEveryNoteOnce()
    {
        QFETCH(bool, idleHolder);
        TestEnvironment::resetFolders();
        QProcess holder;
        if (idleHolder) {
            holder.start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kHoldSwitch), QStringLiteral("idle")});
            QVERIFY(holder.waitForReadyRead(20000));
        }
        QList<QProcess*> copies;
        QStringList expected;
        for (int i = 0; i < kEndingCopies; ++i) {
            auto* copy = new QProcess(this);
            copy->setProcessChannelMode(QProcess::ForwardedChannels);
            const QString name = QStringLiteral("copy%1").arg(i);
            copy->start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(kEndSwitch), name});
            copies << copy;
            expected << name + QStringLiteral(" final");
        }
        for (QProcess* copy : copies) {
            QVERIFY(copy->waitForFinished(120000));
            QCOMPARE(copy->exitCode(), 0);
        }
        holder.waitForFinished(10000);
        const QStringList inMainFile = firstWords(modNote::LoadNote(true, QString()));
        QCOMPARE(inMainFile.size(), idleHolder ? 0 : kEndingCopies);
        QStringList kept = inMainFile;
        for (const QString& orphan : NoteRecovery::orphanedFiles())
            kept += firstWords(modNote::LoadNote(false, orphan));
        kept.sort();
        QCOMPARE(kept, expected);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3) {
        // The parent's folders, inherited through the environment.
        QCoreApplication app(argc, argv);
        const QString argument = QString::fromLocal8Bit(argv[2]);
        if (qstrcmp(argv[1], kAppendSwitch) == 0)
            return appendNotes(argument);
        if (qstrcmp(argv[1], kHoldSwitch) == 0)
            return holdLock(argument == QLatin1String("work"));
        if (qstrcmp(argv[1], kEndSwitch) == 0)
            return endSession(argument);
        return 2;
    }
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestMainFileLock test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainfilelock.moc"
