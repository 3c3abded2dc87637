#include "ScratchDevice.h"
#include "TestEnvironment.h"
#include "TestSeams.h"
#include "shell/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kOld = "precious old content";

// Run as a child, the program starts a big save and stops half-way, until it is killed.
const char* const kStalledSaveSwitch = "--stalled-save";
constexpr qint64 kBigSave = qint64(10) * 1024 * 1024;
constexpr qint64 kWrittenBeforeStall = kBigSave / 2;

int stalledSave(const QString& path)
{
    TestSeams seams;
    seams.stallWritesAfter(kWrittenBeforeStall);
    return AtomicFile::write(path, QByteArray(kBigSave, 'n')).ok() ? 0 : 1;
}

// The temporary files beside name in folder.
QStringList temporaries(const QString& folder, const QString& name)
{
    return QDir(folder).entryList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
}

enum class FailAt { Write, Sync };

// Sets the process's umask for its life, then puts the old one back.
class Umask {
public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t m_old;
};

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}
} // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        QVERIFY(m_folder.isValid());
        for (const QString& name : QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(m_folder.filePath(name));
    }

    void fullDiskKeepsOldFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<FailAt>("failAt");
        QTest::addColumn<int>("errnoValue");
        for (const int size : {100, 10 * 1024, 100 * 1024}) {
            const QByteArray bytes = QByteArray::number(size);
            QTest::newRow("write " + bytes) << size << FailAt::Write << ENOSPC;
            QTest::newRow("flush " + bytes) << size << FailAt::Sync << ENOSPC;
        }
        QTest::newRow("quota") << 100 << FailAt::Write << EDQUOT;
        QTest::newRow("quota at flush") << 100 << FailAt::Sync << EDQUOT;
    }

    void fullDiskKeepsOldFile()
    {
        QFETCH(int, size);
        QFETCH(FailAt, failAt);
        QFETCH(int, errnoValue);
        const QString path = m_folder.filePath(QStringLiteral("note.not"));
        QVERIFY(TestEnvironment::writeFile(path, kOld));
        Result failure;
        {
            TestSeams seams;
            if (failAt == FailAt::Write)
                seams.failWritesAfter(size / 2, errnoValue);
            else
                seams.failSyncWith(errnoValue);
            failure = AtomicFile::write(path, QByteArray(size, 'n'));
        }
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, 61);
        QCOMPARE(TestEnvironment::readFile(path), kOld);
        QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("note.not")});
    }

    void errorNumberFollowsTheCause_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("errnoValue"); // made by the seam at the write, 0 for none
        QTest::addColumn<int>("number");
        QTest::newRow("missing folder") << "absent/folder/note.not" << 0 << 76;
        QTest::newRow("folder is a file") << "plain/note.not" << 0 << 76;
        QTest::newRow("read-only location") << "/sys/jottex-note.not" << 0 << 70;
        QTest::newRow("device error") << "note.not" << EIO << 75;
        QTest::newRow("denied") << "note.not" << EACCES << 70;
    }

    void errorNumberFollowsTheCause()
    {
        QFETCH(QString, path);
        QFETCH(int, errnoValue);
        QFETCH(int, number);
        QVERIFY(TestEnvironment::writeFile(m_folder.filePath(QStringLiteral("plain")), "x"));
        TestSeams seams;
        if (errnoValue != 0)
            seams.failWritesAfter(0, errnoValue);
        const Result failure = AtomicFile::write(QDir(m_folder.path()).filePath(path), "bytes");
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, number);
    }

    // The same on a real device: a small file system filled up, and one mounted read-only.
    void realDevicesRefuse_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("number");
        for (const int size : {100, 10 * 1024, 100 * 1024})
            QTest::newRow(QByteArray::number(size)) << false << size << 61;
        QTest::newRow("read-only") << true << 100 << 70;
    }

    void realDevicesRefuse()
    {
        QFETCH(bool, readOnly);
        QFETCH(int, size);
        QFETCH(int, number);
        const QString mountPoint = m_folder.filePath(QStringLiteral("device"));
        QVERIFY(QDir().mkpath(mountPoint));
        ScratchDevice device(mountPoint);
        if (!device.mounted())
            QSKIP("mounting a tmpfs is not allowed here");
        const QString path = mountPoint + QStringLiteral("/note.not");
        QVERIFY(TestEnvironment::writeFile(path, kOld));
        if (readOnly)
            device.makeReadOnly();
        else
            device.fill();
        const Result failure = AtomicFile::write(path, QByteArray(size, 'n'));
        const QByteArray after = TestEnvironment::readFile(path);
        const QStringList files = QDir(mountPoint).entryList(QDir::Files | QDir::Hidden);
        device.unmount();
        QVERIFY(failure.failed());
        QCOMPARE(failure.error().number, number);
        QCOMPARE(after, kOld);
        QVERIFY(files.size() <= 2); // the note and the filler, no temporary file
    }

    void crashLeftoversGoAtTheNextWrite()
    {
        const QString path = m_folder.filePath(QStringLiteral("note.not"));
        QVERIFY(TestEnvironment::writeFile(path, kOld));
        const QDateTime now = QDateTime::currentDateTime();
        const QStringList stale{QStringLiteral("note.not.aB3xYz"),
                                QStringLiteral("note.not.QWE123")};
        const QStringList unrelated{
            QStringLiteral("note.not.lock"), QStringLiteral("note.not.backup1"),
            QStringLiteral("note.not.backup"), QStringLiteral("note.not.bad-x1"),
            QStringLiteral("other.not.aB3xYz")};
        for (const QString& name : stale + unrelated) {
            QVERIFY(TestEnvironment::writeFile(m_folder.filePath(name), "half"));
            setModified(m_folder.filePath(name), now.addSecs(-3600));
        }
        // A write in progress in another process holds the lock on its temporary file; its
        // age says nothing.
        const QString inFlight = m_folder.filePath(QStringLiteral("note.not.Zz9999"));
        QVERIFY(TestEnvironment::writeFile(inFlight, "being written"));
        setModified(inFlight, now.addSecs(-3600));
        const int writer = ::open(QFile::encodeName(inFlight).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(writer >= 0 && ::flock(writer, LOCK_EX) == 0);

        QVERIFY(AtomicFile::write(path, "new").ok());
        ::close(writer);
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("new"));
        for (const QString& name : stale)
            QVERIFY2(!QFile::exists(m_folder.filePath(name)), qPrintable(name));
        for (const QString& name : unrelated)
            QVERIFY2(QFile::exists(m_folder.filePath(name)), qPrintable(name));
        QVERIFY(QFile::exists(inFlight));
        const QStringList log = TestEnvironment::logLines();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].contains(QStringLiteral("note.not.Zz9999")));
    }

    // A save killed half-way leaves its temporary file; it stays while its writer lives and
    // goes at the next save of the file or the next start, whichever comes first.
    void killedSaveLeavesNothingOnceItsWriterIsGone_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("next save") << false;
        QTest::newRow("next start") << true;
    }

    void killedSaveLeavesNothingOnceItsWriterIsGone()
    {
        QFETCH(bool, atStart);
        const QString path = m_folder.filePath(QStringLiteral("note.not"));
        QVERIFY(TestEnvironment::writeFile(path, kOld));
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedChannels);
        writer.start(QCoreApplication::applicationFilePath(),
                     {QString::fromLatin1(kStalledSaveSwitch), path});
        const auto halfWritten = [&] {
            const QStringList files = temporaries(m_folder.path(), QStringLiteral("note.not"));
            return files.size() == 1 &&
                   QFileInfo(m_folder.filePath(files.first())).size() == kWrittenBeforeStall;
        };
        QTRY_VERIFY_WITH_TIMEOUT(halfWritten(), 20000);

        // Alive: its write is left alone.
        AtomicFile::removeLeftoversIn(m_folder.path());
        QVERIFY(halfWritten());

        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        if (atStart)
            AtomicFile::removeLeftoversIn(m_folder.path());
        else
            QVERIFY(AtomicFile::write(path, "next").ok());
        QCOMPARE(temporaries(m_folder.path(), QStringLiteral("note.not")), QStringList());
        QCOMPARE(TestEnvironment::readFile(path), atStart ? kOld : QByteArray("next"));
    }

    void keepsModeAndFollowsLinks()
    {
        const QString real = m_folder.filePath(QStringLiteral("real.not"));
        const QString link = m_folder.filePath(QStringLiteral("link.not"));
        QVERIFY(TestEnvironment::writeFile(real, kOld));
        QVERIFY(::chmod(QFile::encodeName(real).constData(), 0640) == 0);
        QVERIFY(QFile::link(real, link));
        QVERIFY(AtomicFile::write(link, "new").ok());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(TestEnvironment::readFile(real), QByteArray("new"));
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(real).constData(), &info) == 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
    }

    // A file the user writes gets what any new file gets under their umask, and one replaced
    // keeps its own mode whatever the umask.
    void modeFollowsTheUmaskOrTheReplacedFile_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("oldMode"); // 0: a new file
        QTest::addColumn<int>("mode");
        QTest::newRow("new, usual umask") << 022 << 0 << 0644;
        QTest::newRow("new, private umask") << 077 << 0 << 0600;
        QTest::newRow("new, group umask") << 002 << 0 << 0664;
        QTest::newRow("replaced, shared") << 077 << 0664 << 0664;
        QTest::newRow("replaced, private") << 022 << 0600 << 0600;
    }

    void modeFollowsTheUmaskOrTheReplacedFile()
    {
        QFETCH(int, umask);
        QFETCH(int, oldMode);
        QFETCH(int, mode);
        const QString path = m_folder.filePath(QStringLiteral("mode.not"));
        if (oldMode != 0) {
            QVERIFY(TestEnvironment::writeFile(path, kOld));
            QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(oldMode)) == 0);
        }
        const Umask mask(static_cast<mode_t>(umask));
        QVERIFY(AtomicFile::write(path, "new").ok());
        QCOMPARE(modeOf(path), mode_t(mode));
        QCOMPARE(TestEnvironment::readFile(path), QByteArray("new"));
    }

private:
    QTemporaryDir m_folder;
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], kStalledSaveSwitch) == 0)
        return stalledSave(QString::fromLocal8Bit(argv[2]));
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestAtomicFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_atomicfile.moc"
