#include "app/LogoutWatchdog.h"

#include "dialogs/MessageBox.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "store/NoteDocument.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {
const QString kContext = QStringLiteral("SessionEnd: LogoutWatchdog");

// What the watchdog's pipe carries.
enum class Wake : char { Logout = 'L', Stop = 'S' };

// The pipe's writing end while a watchdog lives; a signal handler may read it at any moment.
std::atomic<int> wakeDescriptor = -1;

void send(int descriptor, Wake what)
{
    if (descriptor < 0)
        return;
    const char byte = static_cast<char>(what);
    [[maybe_unused]] const auto written = ::write(descriptor, &byte, 1);
}

// The records of a snapshot document, read as the next start would read the recovery file.
Expected<NoteRecordList> snapshotRecords(const QByteArray& bytes)
{
    const Expected<QDomDocument> document = NoteDocument::parse(bytes);
    if (document.failed())
        return document.error();
    return NoteDocument::records(document.value(), NoteRecovery::path());
}
} // namespace

LogoutWatchdog::LogoutWatchdog(std::chrono::milliseconds patience, QObject* parent)
    : QObject(parent), m_patience(patience)
{
    // Asked now, on the interface thread, so the watchdog only ever reads the cached answer.
    (void)AppPaths::executablePath();
    if (::pipe2(m_wake, O_CLOEXEC) != 0) {
        modMain::WriteLogEntry(kContext, AppError::fromErrno(errno));
        return;
    }
    wakeDescriptor = m_wake[1];
    m_thread = std::thread(&LogoutWatchdog::run, this);
}

LogoutWatchdog::~LogoutWatchdog()
{
    wakeDescriptor = -1;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_answered.notify_all();
    send(m_wake[1], Wake::Stop);
    // A watchdog keeping the notes ends the process itself; until then the program waits.
    if (m_thread.joinable())
        m_thread.join();
    for (const int descriptor : m_wake) {
        if (descriptor >= 0)
            ::close(descriptor);
    }
}

void LogoutWatchdog::logoutRequested()
{
    send(wakeDescriptor.load(), Wake::Logout);
}

bool LogoutWatchdog::interfaceKeepsNotes()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_owner == Owner::Watchdog)
            return false;
        m_owner = Owner::Interface;
    }
    m_answered.notify_all();
    return true;
}

void LogoutWatchdog::run()
{
    for (;;) {
        char byte = 0;
        const auto got = ::read(m_wake[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != 1 || byte == static_cast<char>(Wake::Stop))
            return;
        if (takeOverUnanswered())
            std::_Exit(keepSnapshot() ? EXIT_SUCCESS : EXIT_FAILURE);
    }
}

bool LogoutWatchdog::takeOverUnanswered()
{
    std::unique_lock lock(m_mutex);
    const bool settled = m_answered.wait_for(
        lock, m_patience, [this] { return m_stopping || m_owner != Owner::Nobody; });
    if (settled)
        return false;
    m_owner = Owner::Watchdog;
    return true;
}

bool LogoutWatchdog::keepSnapshot()
{
    // A failure to log must not open a box from here.
    MessageBox::silenceForSessionEnd();
    const QByteArray snapshot = NoteRecovery::takeOver();
    if (snapshot.isEmpty())
        return true; // no note was open, or none ever changed
    const Expected<NoteRecordList> records = snapshotRecords(snapshot);
    if (records.failed()) {
        modMain::WriteLogEntry(kContext, records.error());
        return false;
    }
    modMain::RunAtStartUp();
    // SaveMainNotes logs its own failure; the recovery file then keeps the notes for the next
    // start.
    if (modNote::SaveMainNotes(records.value()).failed())
        return false;
    NoteRecovery::removeTakenOver();
    modMain::WriteLogEntry(kContext, QStringLiteral("0"),
                           QStringLiteral("The program did not answer the end of the session: "
                                          "kept the %1 notes of its last recovery snapshot")
                               .arg(records.value().size()));
    return true;
}
