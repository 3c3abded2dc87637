#include "store/NoteRecovery.h"

#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "store/NoteDocument.h"
#include "store/modNote.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <mutex>

namespace {
const QString kPrefix = QStringLiteral("session-");
const QString kSuffix = QStringLiteral(".recovery");

NoteRecovery::RecordSource& recordSource()
{
    static NoteRecovery::RecordSource source = nullptr;
    return source;
}

// The last write's document, where a second thread can read it. Once taken over, the file
// belongs to that thread and the interface thread leaves it alone.
struct Snapshot {
    std::mutex mutex;
    QByteArray bytes;
    bool takenOver = false;
};

Snapshot& snapshot()
{
    static Snapshot kept;
    return kept;
}

QTimer& writeTimer()
{
    static QTimer* timer = [] {
        auto* t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setInterval(NoteRecovery::WriteDelayMs);
        QObject::connect(t, &QTimer::timeout, &NoteRecovery::writeNow);
        return t;
    }();
    return *timer;
}

// A process that runs this program; a pid taken over by another program does not count.
bool isRunningJottex(qint64 pid)
{
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM))
        return false;
    QFile command(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!command.open(QIODevice::ReadOnly))
        return true; // no /proc to ask: assume it is ours
    return command.readAll().trimmed().startsWith("jottex");
}
} // namespace

void NoteRecovery::setRecordSource(RecordSource source)
{
    recordSource() = source;
}

NoteRecordList NoteRecovery::openRecords()
{
    return recordSource() ? recordSource()() : NoteRecordList();
}

QString NoteRecovery::path()
{
    return AppPaths::appDirectory() + QLatin1Char('/') + kPrefix +
           QString::number(QCoreApplication::applicationPid()) + kSuffix;
}

void NoteRecovery::noteChanged()
{
    // Not restarted by later changes, so steady typing still reaches the disk.
    if (!writeTimer().isActive())
        writeTimer().start();
}

void NoteRecovery::noteClosed()
{
    if (openRecords().isEmpty())
        remove();
    else
        noteChanged();
}

void NoteRecovery::writeNow()
{
    writeTimer().stop();
    const NoteRecordList records = openRecords();
    const QByteArray bytes = records.isEmpty() ? QByteArray() : NoteDocument::noteList(records);
    Result failure;
    {
        // Held while the file is written, so a take-over finds the file and the bytes alike.
        const std::lock_guard lock(snapshot().mutex);
        if (snapshot().takenOver)
            return;
        // Kept even when the write fails: a logout off the interface thread may still keep it.
        snapshot().bytes = bytes;
        if (records.isEmpty())
            QFile::remove(path());
        else
            failure = modNote::WriteNoteDocument(bytes, path());
    }
    // Logged outside the lock: a failed log entry may open a box on this thread.
    if (failure.failed())
        modMain::WriteLogEntry(QStringLiteral("NoteRecovery: writeNow"), failure.error());
}

void NoteRecovery::remove()
{
    writeTimer().stop();
    const std::lock_guard lock(snapshot().mutex);
    if (snapshot().takenOver)
        return;
    snapshot().bytes.clear();
    QFile::remove(path());
}

QByteArray NoteRecovery::takeOver()
{
    const std::lock_guard lock(snapshot().mutex);
    snapshot().takenOver = true;
    return snapshot().bytes;
}

void NoteRecovery::removeTakenOver()
{
    const std::lock_guard lock(snapshot().mutex);
    snapshot().bytes.clear();
    QFile::remove(path());
}

qint64 NoteRecovery::processOf(const QString& file)
{
    const QString name = QFileInfo(file).fileName();
    if (!name.startsWith(kPrefix) || !name.endsWith(kSuffix))
        return 0;
    const QStringView digits =
        QStringView(name).sliced(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const bool allDigits =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return allDigits ? digits.toLongLong() : 0;
}

QStringList NoteRecovery::orphanedFiles()
{
    const QDir folder(AppPaths::appDirectory());
    QStringList orphans;
    const QStringList names = folder.entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files,
                                               QDir::Time | QDir::Reversed);
    for (const QString& name : names) {
        const qint64 pid = processOf(name);
        if (pid != QCoreApplication::applicationPid() && !isRunningJottex(pid))
            orphans.append(folder.filePath(name));
    }
    return orphans;
}
