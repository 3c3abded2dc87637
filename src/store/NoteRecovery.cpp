#include "store/NoteRecovery.h"

#include "shell/BackgroundTask.h"
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
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral("session-");
const QString kSuffix = QStringLiteral(".recovery");
const char* const kContext = "NoteRecovery: writeNow";

// Where the open notes were last kept; a change is logged once, not at every write.
enum class Place { DataFolder, SpareFolder, Nowhere };

Place& lastPlace()
{
    static Place place = Place::DataFolder;
    return place;
}

NoteRecovery::RecordSource& recordSource()
{
    static NoteRecovery::RecordSource source = nullptr;
    return source;
}

// The last write's document, where a second thread can read it. Once taken over, the files
// belong to that thread and the interface thread leaves them alone. The place the notes were
// last kept is decided under the same lock, since the take-over removes the file there.
struct Snapshot {
    std::mutex mutex;
    QByteArray bytes;
    bool takenOver = false;
    // Counts the writes and removals asked for; a write made on a pooled thread leaves the
    // files alone once a later one has been asked for. Counted without the lock, so that
    // asking never waits for a write in progress.
    std::atomic<quint64> generation{0};
};

Snapshot& snapshot()
{
    static Snapshot kept;
    return kept;
}

// Files of ended runs that this run took over and whose notes are not yet safe elsewhere.
QStringList& heldClaims()
{
    static QStringList claims;
    return claims;
}

void writeInBackground();

QTimer& writeTimer()
{
    static QTimer* timer = [] {
        auto* t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setInterval(NoteRecovery::WriteDelayMs);
        QObject::connect(t, &QTimer::timeout, &writeInBackground);
        return t;
    }();
    return *timer;
}

// The write the timer started, while it runs; its result is reported to the timer's thread.
std::unique_ptr<BackgroundTask>& backgroundWrite()
{
    static std::unique_ptr<BackgroundTask> task;
    return task;
}

// A write or removal asked for now: any write still running on a pooled thread is out of date.
quint64 nextGeneration()
{
    return ++snapshot().generation;
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

QString fileName(qint64 pid, int claimNumber)
{
    QString name = kPrefix + QString::number(pid);
    if (claimNumber > 0)
        name += QLatin1Char('-') + QString::number(claimNumber);
    return name + kSuffix;
}

void log(const QString& context, int number, const QString& text)
{
    modMain::WriteLogEntry(context, QString::number(number), text);
}

// Renames from to to unless to exists: 0 or the errno. Two copies renaming the same file both
// try, and only one finds it.
int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a second name, then the old one goes; whoever fails to
    // remove the old name lost the race and gives its own up.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    if (::unlink(from.constData()) != 0) {
        const int errnoValue = errno;
        ::unlink(to.constData());
        return errnoValue;
    }
    return 0;
}

bool isReadOnlyFolderError(int errnoValue)
{
    return errnoValue == EROFS || errnoValue == EACCES || errnoValue == EPERM;
}

QStringList orphansIn(const QString& folderPath)
{
    if (folderPath.isEmpty())
        return {};
    const QDir folder(folderPath);
    QStringList orphans;
    const QFileInfoList files = folder.entryInfoList({kPrefix + QLatin1Char('*') + kSuffix},
                                                     QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) {
        const qint64 pid = NoteRecovery::processOf(file.fileName());
        if (pid != QCoreApplication::applicationPid() && !isRunningJottex(pid))
            orphans.append(file.absoluteFilePath());
    }
    return orphans;
}

// Where one write put this run's notes, and what the places refused.
struct KeepOutcome {
    Place previous = Place::DataFolder;
    Place place = Place::DataFolder;
    AppError homeError;
    AppError spareError;
};

// The file work of a write, under the snapshot's lock: this run's file in the data folder, or
// in the spare folder when the data folder refuses it. Only one copy is left, so an older one
// cannot come back beside it. Nothing here logs or asks: that comes after the lock.
KeepOutcome writeKept(const QByteArray& bytes)
{
    KeepOutcome outcome;
    outcome.previous = lastPlace();
    if (const Result home = modNote::WriteNoteDocument(bytes, NoteRecovery::path()); home.ok()) {
        if (outcome.previous != Place::DataFolder)
            QFile::remove(NoteRecovery::sparePath());
    } else {
        outcome.homeError = home.error();
        const QString spare = NoteRecovery::sparePath();
        const Result elsewhere = spare.isEmpty()
                                     ? Result(AppError::fromNumber(ErrorNumber::PathNotFound))
                                     : modNote::WriteNoteDocument(bytes, spare);
        outcome.place = elsewhere.ok() ? Place::SpareFolder : Place::Nowhere;
        if (elsewhere.ok())
            QFile::remove(NoteRecovery::path());
        else
            outcome.spareError = elsewhere.error();
    }
    lastPlace() = outcome.place;
    return outcome;
}

// What a write's place means: the log hears of every change of place, the user once of a data
// folder that refuses the notes. The failure when they were kept nowhere.
Result reportKept(const KeepOutcome& outcome)
{
    if (outcome.place == Place::DataFolder) {
        if (outcome.previous != Place::DataFolder)
            log(QString::fromLatin1(kContext), 0,
                QStringLiteral("The open notes are kept in %1 again").arg(NoteRecovery::path()));
        return {};
    }
    const bool spared = outcome.place == Place::SpareFolder;
    modMain::ReportUnwritableDataFolder(outcome.homeError.reason(),
                                        spared ? NoteRecovery::sparePath() : QString());
    if (outcome.place != outcome.previous) {
        AppError error = outcome.homeError;
        error.description +=
            spared
                ? QStringLiteral(". The open notes are kept in %1").arg(NoteRecovery::sparePath())
                : QStringLiteral(". The open notes could not be kept elsewhere either: ") +
                      outcome.spareError.description;
        modMain::WriteLogEntry(QString::fromLatin1(kContext), error);
    }
    if (spared)
        return {};
    return outcome.spareError;
}

// The file work of writing records as this run's file, unless a logout off the interface
// thread took the files over or a later write or removal was asked for since generation; the
// last document is kept for a take-over even when no folder takes it. Nothing when there is
// nothing to report. Safe on any thread.
std::optional<KeepOutcome> keepFiles(const NoteRecordList& records, quint64 generation)
{
    const QByteArray bytes = records.isEmpty() ? QByteArray() : NoteDocument::noteList(records);
    const std::lock_guard lock(snapshot().mutex);
    if (snapshot().takenOver || snapshot().generation != generation)
        return std::nullopt;
    snapshot().bytes = bytes;
    if (records.isEmpty()) {
        QFile::remove(NoteRecovery::path());
        return std::nullopt;
    }
    return writeKept(bytes);
}

Result keep(const NoteRecordList& records)
{
    backgroundWrite().reset();
    const std::optional<KeepOutcome> outcome = keepFiles(records, nextGeneration());
    return outcome ? reportKept(*outcome) : Result();
}

// What the timer runs: the records are read from the windows here, and put into the document
// and on disk on a pooled thread, so a long note does not hold up typing while it is written.
void writeInBackground()
{
    const NoteRecordList records = NoteRecovery::openRecords();
    const quint64 generation = nextGeneration();
    backgroundWrite() = BackgroundTask::start(
        &writeTimer(),
        [records, generation](const BackgroundTask::Abandoned&) {
            return keepFiles(records, generation);
        },
        [](const std::optional<KeepOutcome>& outcome) {
            if (outcome)
                (void)reportKept(*outcome);
        });
}

// This run's files go; the caller holds the snapshot's lock.
void removeOwnFiles()
{
    snapshot().bytes.clear();
    QFile::remove(NoteRecovery::path());
    if (lastPlace() != Place::DataFolder)
        QFile::remove(NoteRecovery::sparePath());
}

// The ended runs' files this run took over: their notes were open in this run.
void releaseClaims(const QString& why)
{
    for (const QString& claimed : QStringList(heldClaims()))
        NoteRecovery::release(claimed, why);
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
    return AppPaths::appDirectory() + QLatin1Char('/') +
           fileName(QCoreApplication::applicationPid(), 0);
}

QString NoteRecovery::sparePath()
{
    const QString folder = AppPaths::spareDirectory();
    return folder.isEmpty()
               ? QString()
               : folder + QLatin1Char('/') + fileName(QCoreApplication::applicationPid(), 0);
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

Result NoteRecovery::writeNow()
{
    writeTimer().stop();
    return keep(openRecords());
}

Result NoteRecovery::keepInstead(const NoteRecordList& records, const AppError& why)
{
    writeTimer().stop();
    Result kept = keep(records);
    AppError error = why;
    error.description +=
        kept.ok()
            ? QStringLiteral(". The %1 open notes are kept in %2 and come back at the next "
                             "start")
                  .arg(records.size())
                  .arg(lastPlace() == Place::DataFolder ? path() : sparePath())
            : QStringLiteral(". The %1 open notes could not be kept anywhere").arg(records.size());
    modMain::WriteLogEntry(QStringLiteral("NoteRecovery: keepInstead"), error);
    return kept;
}

void NoteRecovery::remove()
{
    writeTimer().stop();
    backgroundWrite().reset();
    (void)nextGeneration();
    {
        const std::lock_guard lock(snapshot().mutex);
        if (snapshot().takenOver)
            return;
        removeOwnFiles();
    }
    releaseClaims(QStringLiteral("its notes were open in this run, which ended normally"));
}

QByteArray NoteRecovery::takeOver()
{
    (void)nextGeneration();
    const std::lock_guard lock(snapshot().mutex);
    snapshot().takenOver = true;
    return snapshot().bytes;
}

void NoteRecovery::removeTakenOver()
{
    {
        const std::lock_guard lock(snapshot().mutex);
        removeOwnFiles();
    }
    releaseClaims(QStringLiteral("its notes were kept by a logout the interface did not answer"));
}

qint64 NoteRecovery::processOf(const QString& file)
{
    const QString name = QFileInfo(file).fileName();
    if (!name.startsWith(kPrefix) || !name.endsWith(kSuffix))
        return 0;
    const QStringView core =
        QStringView(name).sliced(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto end = std::find_if_not(core.begin(), core.end(), isDigit);
    const qsizetype digits = end - core.begin();
    // The owner's pid, then for a file taken over from an ended run a dash and a number.
    const QStringView rest = core.sliced(digits);
    const bool wellFormed =
        digits > 0 && (rest.isEmpty() || (rest.size() > 1 && rest.front() == u'-' &&
                                          std::all_of(rest.begin() + 1, rest.end(), isDigit)));
    return wellFormed ? core.first(digits).toLongLong() : 0;
}

QStringList NoteRecovery::orphanedFiles()
{
    return orphansIn(AppPaths::appDirectory()) + orphansIn(AppPaths::spareDirectory());
}

QString NoteRecovery::claim(const QString& orphan)
{
    const QFileInfo info(orphan);
    const QByteArray from = QFile::encodeName(info.absoluteFilePath());
    for (int number = 1;; ++number) {
        QString target =
            info.absoluteDir().filePath(fileName(QCoreApplication::applicationPid(), number));
        const int errnoValue = renameNoReplace(from, QFile::encodeName(target));
        if (errnoValue == 0) {
            heldClaims().append(target);
            return target;
        }
        if (errnoValue == EEXIST)
            continue;
        if (errnoValue == ENOENT)
            return {};
        if (isReadOnlyFolderError(errnoValue))
            return orphan;
        log(QStringLiteral("NoteRecovery: claim"), ErrorNumber::fromErrno(errnoValue),
            QStringLiteral("%1 could not be taken over: %2")
                .arg(orphan, qt_error_string(errnoValue)));
        return {};
    }
}

void NoteRecovery::release(const QString& claimed, const QString& why)
{
    heldClaims().removeAll(claimed);
    const bool removed = QFile::remove(claimed);
    log(QStringLiteral("NoteRecovery: release"), removed ? 0 : ErrorNumber::PathFileAccessError,
        QStringLiteral("%1 %2: %3")
            .arg(claimed,
                 removed ? QStringLiteral("removed") : QStringLiteral("could not be removed"),
                 why));
}

Expected<NoteRecordList> NoteRecovery::read(const QString& file)
{
    return NoteDocument::readRecordsFile(file);
}

void NoteRecovery::setAside(const QString& claimed, const AppError& why)
{
    heldClaims().removeAll(claimed);
    const QString target = claimed + QStringLiteral(".bad");
    AppError error = why;
    error.description +=
        QFile::rename(claimed, target)
            ? QStringLiteral(". The file was moved to %1").arg(target)
            : QStringLiteral(". The file %1 could not be moved aside").arg(claimed);
    modMain::WriteLogEntry(QStringLiteral("NoteRecovery: read"), error);
}

void NoteRecovery::setAsideEarlierRun()
{
    for (const QString& own : {path(), sparePath()}) {
        if (own.isEmpty() || !QFileInfo::exists(own))
            continue;
        const QFileInfo info(own);
        const QByteArray from = QFile::encodeName(info.absoluteFilePath());
        // Numbered as a run that is certainly gone.
        int errnoValue = EEXIST;
        for (int number = 1; errnoValue == EEXIST; ++number) {
            errnoValue = renameNoReplace(
                from, QFile::encodeName(info.absoluteDir().filePath(fileName(0, number))));
        }
        log(QStringLiteral("NoteRecovery: setAsideEarlierRun"),
            errnoValue == 0 ? 0 : ErrorNumber::fromErrno(errnoValue),
            QStringLiteral("%1 was left by an earlier run with the same process number: %2")
                .arg(own, errnoValue == 0 ? QStringLiteral("renamed to be restored")
                                          : qt_error_string(errnoValue)));
    }
}
