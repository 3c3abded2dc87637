#include "store/NoteFileLock.h"

#include "shell/Seams.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <chrono>
#include <thread>

namespace {
// How often a waiter tries the lock: writers ending together take turns quickly, each holding
// it for one write.
constexpr int kRetryMs = 10;
// How often a waiter looks at what the lock's holder is doing.
constexpr int kLookMs = 250;
// However busy the holders, a waiter gives up after this long: the session has a limit too.
constexpr int kMostMs = 180000;

// What a process has done so far: its processor time and the bytes it read and wrote. A
// holder whose figures move is at work, even on a file of many megabytes.
struct Progress {
    qint64 pid = 0;
    QByteArray cpu;
    QByteArray io;
    bool operator==(const Progress&) const = default;
};

QByteArray procFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Progress progressOf(qint64 pid)
{
    // utime and stime are the 12th and 13th fields after the command's closing parenthesis.
    const QByteArray stat = procFile(pid, "stat");
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    constexpr qsizetype kUserTime = 11;
    constexpr qsizetype kSystemTime = 12;
    QByteArray cpu;
    if (fields.size() > kSystemTime)
        cpu = fields[kUserTime] + ' ' + fields[kSystemTime];
    return Progress{pid, cpu, procFile(pid, "io")};
}

// Waits for the lock while its holder shows work; false when it gave up.
bool takePatiently(QLockFile& lock)
{
    QElapsedTimer total;
    total.start();
    QElapsedTimer idle;
    idle.start();
    QElapsedTimer sinceLook;
    sinceLook.start();
    Progress last;
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || total.elapsed() > kMostMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
        if (sinceLook.elapsed() < kLookMs)
            continue;
        sinceLook.restart();
        qint64 pid = 0;
        QString host;
        QString application;
        const bool known = lock.getLockInfo(&pid, &host, &application);
        // This process's own figures move with the waiting itself: its lock gets patience only.
        const Progress now = known && pid != QCoreApplication::applicationPid()
                                 ? progressOf(pid)
                                 : Progress{pid, {}, {}};
        if (now != last) {
            last = now;
            idle.restart();
        } else if (idle.elapsed() >= Seams::current().lockPatienceMs()) {
            return false;
        }
    }
    return true;
}
} // namespace

NoteFileLock::NoteFileLock(const QString& path)
    : m_path(path), m_lock(path + QStringLiteral(".lock"))
{
    m_lock.setStaleLockTime(0);
}

Result NoteFileLock::lock()
{
    if (takePatiently(m_lock) || m_lock.error() != QLockFile::LockFailedError)
        return {};
    AppError error = AppError::fromNumber(ErrorNumber::PathFileAccessError);
    error.description += QStringLiteral(" (%1 stays locked by another program)").arg(m_path);
    return error;
}
