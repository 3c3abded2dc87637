#include "TestEnvironment.h"
#include "TestSeams.h"
#include "shell/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <cerrno>
#include <sys/stat.h>

namespace {
const QByteArray kOld = "precious old content";

enum class FailAt { Write, Sync };

// A small file system of its own; false where mounting is not allowed.
bool mountTmpfs(const QString& folder)
{
    return QProcess::execute(QStringLiteral("mount"),
                             {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                              QStringLiteral("size=64k"), QStringLiteral("tmpfs"), folder}) == 0;
}

void unmount(const QString& folder)
{
    QProcess::execute(QStringLiteral("umount"), {folder});
}

// Fills the device holding folder until it refuses another byte.
void fillDevice(const QString& folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (filler.write(block) > 0) {
    }
    while (filler.write("f", 1) > 0) {
    }
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
        if (!mountTmpfs(mountPoint))
            QSKIP("mounting a tmpfs is not allowed here");
        const QString path = mountPoint + QStringLiteral("/note.not");
        QVERIFY(TestEnvironment::writeFile(path, kOld));
        if (readOnly) {
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-o"), QStringLiteral("remount,ro"), mountPoint});
        } else {
            fillDevice(mountPoint);
        }
        const Result failure = AtomicFile::write(path, QByteArray(size, 'n'));
        const QByteArray after = TestEnvironment::readFile(path);
        const QStringList files = QDir(mountPoint).entryList(QDir::Files | QDir::Hidden);
        unmount(mountPoint);
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
        const QString inFlight = m_folder.filePath(QStringLiteral("note.not.Zz9999"));
        QVERIFY(TestEnvironment::writeFile(inFlight, "being written"));
        setModified(inFlight, now.addSecs(3600));

        QVERIFY(AtomicFile::write(path, "new").ok());
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

private:
    QTemporaryDir m_folder;
};

JOTTEX_TEST_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
