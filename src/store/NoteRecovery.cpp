#include "store/NoteRecovery.h"

#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <csignal>

namespace {
const QString kPrefix = QStringLiteral("session-");
const QString kSuffix = QStringLiteral(".recovery");

NoteRecovery::RecordSource& recordSource()
{
    static NoteRecovery::RecordSource source = nullptr;
    return source;
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
    if (records.isEmpty()) {
        QFile::remove(path());
        return;
    }
    if (Result failure = modNote::WriteNoteList(records, path()); failure.failed())
        modMain::WriteLogEntry(QStringLiteral("NoteRecovery: writeNow"), failure.error());
}

void NoteRecovery::remove()
{
    writeTimer().stop();
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
