#include "manager/FolderWatch.h"

#include "dialogs/MessageBox.h"
#include "shell/BackgroundTask.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "store/NoteRecovery.h"
#include "window/CaptionStrip.h"
#include "window/OpenNotes.h"
#include "window/frmMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <mutex>

namespace {
constexpr int kDayMs = 24 * 60 * 60 * 1000;
const QString kContext = QStringLiteral("FolderNotes");

// Writes to the folder, one at a time: a write on a pooled thread that the end of the session
// overtook must not put an older version over the one written then, nor bring back the file of
// a note closed meanwhile.
struct WriteGate {
    std::mutex mutex;
    quint64 clock = 0;               // counts the events below
    quint64 sessionEnded = 0;        // when the end of the session wrote every note
    QHash<QString, quint64> trashed; // when each note closed by hand went to the trash
    // Whether a write asked for at asked still goes ahead.
    bool stillWanted(const QString& id, quint64 asked) const
    {
        return sessionEnded <= asked && trashed.value(id, 0) <= asked;
    }
};

WriteGate& gate()
{
    static WriteGate shared;
    return shared;
}

QString nativeFolder(const QString& folder)
{
    return QDir::toNativeSeparators(folder);
}
} // namespace

FolderWatch::FolderWatch(const QString& folder, QObject* parent) : QObject(parent), m_folder(folder)
{
    m_rescanTimer.setInterval(kRescanMs);
    connect(&m_rescanTimer, &QTimer::timeout, this, &FolderWatch::rescan);
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettleMs);
    connect(&m_settleTimer, &QTimer::timeout, this, &FolderWatch::rescan);
    // Later changes ride along with the first, as in the recovery file.
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(NoteRecovery::WriteDelayMs);
    connect(&m_writeTimer, &QTimer::timeout, this, &FolderWatch::flush);
    m_trashTimer.setInterval(kDayMs);
    connect(&m_trashTimer, &QTimer::timeout, this,
            [this] { NotesFolder::emptyOldTrash(m_folder, Clock::now()); });
    const auto settleSoon = [this] {
        if (!m_settleTimer.isActive())
            m_settleTimer.start();
    };
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, settleSoon);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, settleSoon);
}

FolderWatch::~FolderWatch() = default;

int FolderWatch::start()
{
    if (const Result adopted = NotesFolder::adopt(m_folder); adopted.failed())
        enterOutage(adopted.error());
    NotesFolder::emptyOldTrash(m_folder, Clock::now());
    for (frmMain* window : frmMain::openWindows())
        follow(*window);
    m_opening = 0;
    rescan();
    const int opened = m_opening;
    m_opening = -1;
    m_rescanTimer.start();
    m_trashTimer.start();
    // Every open note that has no file there yet gets one now.
    flush();
    return opened;
}

void FolderWatch::follow(frmMain& window)
{
    connect(&window, &frmMain::noteChanged, this, [this, w = &window] { touched(*w); });
    connect(&window, &frmMain::closedByUser, this, [this, w = &window] { closedByHand(*w); });
}

// --- Notes and their ids.

NoteRecord FolderWatch::fileRecordOf(const frmMain& window)
{
    return NotesFolder::asFileNote(window.recordAsKept());
}

bool FolderWatch::hasLocalChange(const Note& note) const
{
    return !note.hasBaseline || (note.window && fileRecordOf(*note.window) != note.baseline);
}

void FolderWatch::adoptWindows()
{
    const QList<frmMain*> windows = frmMain::openWindows();
    const QSet<const frmMain*> open(windows.cbegin(), windows.cend());
    QSet<const frmMain*> followed;
    for (auto it = m_notes.begin(); it != m_notes.end();) {
        if (it->window.isNull() || !open.contains(it->window.data())) {
            it = m_notes.erase(it);
            continue;
        }
        followed.insert(it->window.data());
        ++it;
    }
    for (frmMain* window : windows) {
        if (followed.contains(window))
            continue;
        QString id = window->note().FolderId;
        if (id.isEmpty())
            id = NotesFolder::newId();
        else if (m_notes.contains(id))
            id = NotesFolder::conflictId(id, Clock::now());
        if (id != window->note().FolderId)
            window->setFolderId(id);
        m_notes.insert(id, Note{window, {}, {}, {}, false});
        m_dirty.insert(window);
    }
}

bool FolderWatch::holds(const NoteRecord& record) const
{
    const auto it = m_notes.constFind(record.FolderId);
    if (record.FolderId.isEmpty() || it == m_notes.constEnd() || !it->window)
        return false;
    // The same note as its file has it, or as its window shows it now.
    return NotesFolder::bytesOf(record) == it->fileBytes ||
           NotesFolder::asFileNote(record) == fileRecordOf(*it->window);
}

// --- Files to notes.

void FolderWatch::rescan()
{
    if (m_ended)
        return;
    if (writing()) {
        m_rescanAfterWrite = true;
        return;
    }
    adoptWindows();
    const Expected<QList<NotesFolder::Entry>> entries = NotesFolder::scan(m_folder);
    if (entries.failed()) {
        enterOutage(entries.error());
        return;
    }
    if (m_watcher.directories().isEmpty())
        m_watcher.addPath(m_folder);
    watchFiles(entries.value());
    QList<NotesFolder::Entry> notes = entries.value();
    if (!m_trashLater.isEmpty()) {
        const QSet<QString> closed = std::exchange(m_trashLater, {});
        for (const QString& id : closed)
            trash(id);
        notes.removeIf([&](const NotesFolder::Entry& entry) { return closed.contains(entry.id); });
    }
    // Across an outage nothing closes: a file missing then is written again.
    takeEntries(notes, m_outage ? Missing::Rewrite : Missing::Close);
    if (m_outage)
        flush();
}

void FolderWatch::takeEntries(const QList<NotesFolder::Entry>& entries, Missing missing)
{
    QSet<QString> seen;
    seen.reserve(entries.size());
    for (const NotesFolder::Entry& entry : entries) {
        seen.insert(entry.id);
        if (m_notes.contains(entry.id))
            checkFile(entry.id, entry);
        else if (openFile(entry) && m_opening >= 0)
            ++m_opening;
    }
    const QStringList ids = m_notes.keys();
    for (const QString& id : ids) {
        if (!seen.contains(id))
            fileGone(id, missing);
    }
}

void FolderWatch::checkFile(const QString& id, const NotesFolder::Entry& entry)
{
    Note& note = m_notes[id];
    if (entry == note.stamp)
        return;
    if (passedOver(entry))
        return;
    const Expected<QByteArray> bytes = NotesFolder::readBytes(entry.path);
    if (bytes.failed())
        return; // replaced right now: the next listing sees the new file
    if (bytes.value() == note.fileBytes) {
        note.stamp = entry;
        return;
    }
    const Expected<NoteRecord> other = NotesFolder::fromBytes(bytes.value(), id);
    if (other.failed()) {
        logBad(entry, other.error());
        return;
    }
    frmMain& window = *note.window;
    const NoteRecord otherAsFile = NotesFolder::asFileNote(other.value());
    if (fileRecordOf(window) == otherAsFile) {
        settle(note, bytes.value(), entry);
        return;
    }
    if (!hasLocalChange(note)) {
        window.takeFolderVersion(other.value());
        settle(note, bytes.value(), entry);
        return;
    }
    // Both sides changed the note: this one keeps its own version, and its file gets it again;
    // the other version opens beside it as a conflict copy, with a file of its own.
    note.fileBytes = bytes.value();
    note.stamp = entry;
    m_dirty.insert(&window);
    NoteRecord copy = other.value();
    copy.FolderId = NotesFolder::conflictId(id, Clock::now());
    if (frmMain* opened = openWindow(copy))
        m_notes.insert(copy.FolderId, Note{opened, {}, {}, {}, false});
    modMain::WriteLogEntry(kContext, QStringLiteral("0"),
                           QStringLiteral("Changed here and elsewhere: %1; the other version "
                                          "opened as %2")
                               .arg(entry.path, copy.FolderId));
    m_writeTimer.start();
}

// The note's file and its window agree now.
void FolderWatch::settle(Note& note, const QByteArray& bytes, const NotesFolder::Entry& entry)
{
    note.fileBytes = bytes;
    note.stamp = entry;
    note.baseline = fileRecordOf(*note.window);
    note.hasBaseline = true;
}

bool FolderWatch::openFile(const NotesFolder::Entry& entry)
{
    if (passedOver(entry))
        return false;
    const Expected<QByteArray> bytes = NotesFolder::readBytes(entry.path);
    if (bytes.failed())
        return false;
    const Expected<NoteRecord> record = NotesFolder::fromBytes(bytes.value(), entry.id);
    if (record.failed()) {
        logBad(entry, record.error());
        return false;
    }
    frmMain* window = openWindow(record.value());
    if (!window)
        return false;
    Note& note = m_notes[entry.id];
    note.window = window;
    settle(note, bytes.value(), entry);
    return true;
}

frmMain* FolderWatch::openWindow(const NoteRecord& record)
{
    frmMain* window = frmMain::create(NoteOrigin::FolderNote, record);
    // A note that arrives from elsewhere while the program runs must not take the keys the user
    // is typing into another one; the notes of the start open as kept notes do.
    if (m_opening < 0)
        window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->show();
    return window;
}

void FolderWatch::fileGone(const QString& id, Missing missing)
{
    Note& note = m_notes[id];
    if (note.fileBytes.isEmpty())
        return; // never had a file: its first write is still to come
    if (missing == Missing::Rewrite || hasLocalChange(note)) {
        note.fileBytes.clear();
        note.hasBaseline = false;
        m_dirty.insert(note.window.data());
        m_writeTimer.start();
        return;
    }
    const QPointer<frmMain> window = note.window;
    m_notes.remove(id);
    if (window)
        window->closeWithdrawn();
    NoteRecovery::noteChanged();
}

bool FolderWatch::passedOver(const NotesFolder::Entry& entry) const
{
    const auto it = m_passed.constFind(entry.id);
    return it != m_passed.constEnd() && *it == entry;
}

void FolderWatch::logBad(const NotesFolder::Entry& entry, const AppError& error)
{
    m_passed.insert(entry.id, entry);
    AppError told = error;
    told.description += QStringLiteral(" (") + entry.path + QLatin1Char(')');
    modMain::WriteLogEntry(kContext, told);
}

// Files are watched as well as the folder, so that a tool that writes a file in place is seen
// at once; a file replaced by a rename is a new one to watch.
void FolderWatch::watchFiles(const QList<NotesFolder::Entry>& entries)
{
    const QStringList watched = m_watcher.files();
    const QSet<QString> known(watched.cbegin(), watched.cend());
    QStringList added;
    for (const NotesFolder::Entry& entry : entries) {
        if (!known.contains(entry.path))
            added.append(entry.path);
    }
    if (!added.isEmpty())
        m_watcher.addPaths(added);
}

// --- Notes to files.

void FolderWatch::touched(frmMain& window)
{
    m_dirty.insert(&window);
    if (!m_writeTimer.isActive())
        m_writeTimer.start();
}

void FolderWatch::closedByHand(frmMain& window)
{
    const QString id = window.note().FolderId;
    const auto it = m_notes.find(id);
    if (id.isEmpty() || it == m_notes.end() || it->window != &window)
        return;
    // The trash keeps the note as it was closed, so that taking it back loses nothing.
    const bool changed = hasLocalChange(*it);
    const NoteRecord record = changed ? fileRecordOf(window) : NoteRecord();
    m_notes.erase(it);
    m_dirty.remove(&window);
    const std::lock_guard lock(gate().mutex);
    gate().trashed.insert(id, ++gate().clock);
    if (changed)
        (void)NotesFolder::writeBytes(m_folder, id, NotesFolder::bytesOf(record));
    if (!QFileInfo::exists(NotesFolder::markerPath(m_folder)))
        m_trashLater.insert(id);
    else
        trash(id);
}

void FolderWatch::trash(const QString& id)
{
    if (const Result trashed = NotesFolder::moveToTrash(m_folder, id); trashed.failed()) {
        modMain::WriteLogEntry(kContext + QStringLiteral(": ") + id, trashed.error());
        m_passed.insert(id, NotesFolder::entryOf(id, NotesFolder::pathOf(m_folder, id)));
    }
}

bool FolderWatch::writing() const
{
    return m_write && m_write->isRunning();
}

QList<FolderWatch::WriteJob> FolderWatch::pendingWrites()
{
    QList<WriteJob> jobs;
    for (auto it = m_notes.begin(); it != m_notes.end(); ++it) {
        Note& note = *it;
        if (!note.window || (note.hasBaseline && !m_dirty.contains(note.window.data())))
            continue;
        const NoteRecord record = fileRecordOf(*note.window);
        if (note.hasBaseline && record == note.baseline)
            continue;
        QByteArray bytes = NotesFolder::bytesOf(record);
        if (bytes == note.fileBytes) {
            note.baseline = record;
            note.hasBaseline = true;
            continue;
        }
        jobs.append({it.key(), std::move(bytes), record});
    }
    m_dirty.clear();
    return jobs;
}

void FolderWatch::flush()
{
    if (m_ended)
        return;
    if (writing()) {
        m_writeTimer.start();
        return;
    }
    adoptWindows();
    QList<WriteJob> jobs = pendingWrites();
    if (jobs.isEmpty()) {
        if (m_outage && NotesFolder::writable(m_folder))
            leaveOutage();
        return;
    }
    const quint64 asked = [] {
        const std::lock_guard lock(gate().mutex);
        return gate().clock;
    }();
    // The document is made and written on a pooled thread: forcing a file onto a slow disk
    // takes longer than a pause in typing.
    m_write = BackgroundTask::start(
        this,
        [folder = m_folder, jobs = std::move(jobs), asked](const BackgroundTask::Abandoned&) {
            QList<WriteOutcome> outcomes;
            const std::lock_guard lock(gate().mutex);
            for (const WriteJob& job : jobs) {
                if (!gate().stillWanted(job.id, asked))
                    continue;
                WriteOutcome outcome{job.id,
                                     job.bytes,
                                     job.record,
                                     NotesFolder::writeBytes(folder, job.id, job.bytes),
                                     {}};
                if (outcome.result.ok())
                    outcome.written =
                        NotesFolder::entryOf(job.id, NotesFolder::pathOf(folder, job.id));
                outcomes.append(outcome);
            }
            return outcomes;
        },
        [this](const QList<WriteOutcome>& outcomes) { writesDone(outcomes); });
}

void FolderWatch::writesDone(const QList<WriteOutcome>& outcomes)
{
    m_write.reset();
    std::optional<AppError> failure;
    for (const WriteOutcome& outcome : outcomes) {
        const auto it = m_notes.find(outcome.id);
        if (outcome.result.failed()) {
            failure = outcome.result.error();
            if (it != m_notes.end() && it->window)
                m_dirty.insert(it->window.data());
            continue;
        }
        if (it == m_notes.end())
            continue;
        it->fileBytes = outcome.bytes;
        it->stamp = outcome.written;
        it->baseline = outcome.record;
        it->hasBaseline = true;
    }
    if (failure)
        enterOutage(*failure);
    else if (m_outage)
        leaveOutage();
    if (m_rescanAfterWrite) {
        m_rescanAfterWrite = false;
        rescan();
    }
}

NoteRecordList FolderWatch::keepNow(const NoteRecordList& records)
{
    m_ended = true;
    m_writeTimer.stop();
    m_rescanTimer.stop();
    m_settleTimer.stop();
    NoteRecordList unkept;
    const std::lock_guard lock(gate().mutex);
    gate().sessionEnded = ++gate().clock;
    for (const NoteRecord& record : records) {
        if (record.FolderId.isEmpty()) {
            unkept.append(record);
            continue;
        }
        const QByteArray bytes = NotesFolder::bytesOf(record);
        const auto it = m_notes.constFind(record.FolderId);
        if (it != m_notes.constEnd() && it->fileBytes == bytes &&
            QFileInfo::exists(NotesFolder::pathOf(m_folder, record.FolderId)))
            continue;
        if (const Result written = NotesFolder::writeBytes(m_folder, record.FolderId, bytes);
            written.failed()) {
            if (unkept.isEmpty())
                modMain::WriteLogEntry(kContext + QStringLiteral(": ") + m_folder, written.error());
            unkept.append(record);
        }
    }
    return unkept;
}

// --- A folder that takes no files.

void FolderWatch::enterOutage(const AppError& why)
{
    if (m_outage)
        return;
    m_outage = true;
    AppError logged = why;
    logged.description += QStringLiteral(". The notes stay open and are written to %1 when it "
                                         "takes files again")
                              .arg(m_folder);
    modMain::WriteLogEntry(kContext, logged);
    // Told from the event loop, never from inside a listing or a write's report.
    QTimer::singleShot(0, this, [this, reason = why.reason()] { tellOutage(reason); });
}

void FolderWatch::leaveOutage()
{
    m_outage = false;
    modMain::WriteLogEntry(kContext, QStringLiteral("0"),
                           QStringLiteral("The notes folder %1 takes files again").arg(m_folder));
}

void FolderWatch::tellOutage(const QString& why)
{
    if (m_telling || !m_outage)
        return;
    m_telling = true;
    const QString text =
        QCoreApplication::translate("FolderNotes",
                                    "Jottex cannot write to the notes folder %1, because %2.\n\n"
                                    "Your notes stay open and are kept as before; they are "
                                    "written to the folder as soon as it can take them again.")
            .arg(nativeFolder(m_folder), why);
    const QPointer<FolderWatch> alive(this);
    MessageBox::show(nullptr, QMessageBox::Warning, CaptionStrip::title(), text, QMessageBox::Ok);
    if (alive)
        m_telling = false;
}
