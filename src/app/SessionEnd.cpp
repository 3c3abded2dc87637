#include "app/SessionEnd.h"

#include "dialogs/MessageBox.h"
#include "manager/FolderNotes.h"
#include "shell/Settings.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
QPointer<LogoutWatchdog> watchdog;
// From the first call of endSession on: a quit then is the session end's own.
bool sessionEnding = false;

// Only async-signal-safe work here: the note windows are closed on the event loop, or by the
// watchdog when the event loop does not answer.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    LogoutWatchdog::logoutRequested();
}

void watchSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        SessionEnd::endSession();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// A quit that comes while notes are open is not the program's own, which comes once the last
// one has closed: it is the session manager's "die" (or anything else that ends the program
// from outside). The notes are kept first, as at logout.
class OutsideQuit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != qApp || event->type() != QEvent::Quit || sessionEnding ||
            frmMain::openWindows().isEmpty())
            return QObject::eventFilter(watched, event);
        SessionEnd::endSession();
        return true;
    }
};

// The login's autostart entry brings the notes back; a restart by the session manager as well
// would open a second copy beside it.
void neverRestart(QSessionManager& manager)
{
    manager.setRestartHint(QSessionManager::RestartNever);
}

// The session is saved, as a checkpoint or as the first step of a logout, which may still be
// cancelled: the open notes go to the recovery file, and the program goes on. Its failure is
// logged there.
void saveForSessionManager(QSessionManager& manager)
{
    neverRestart(manager);
    (void)NoteRecovery::writeNow();
}

// Every open note is kept first, whatever dialog is open: in the notes folder, and what the
// folder does not take in the main data file, as one write in window order. The recovery file
// goes only once both are safe. False when the watchdog took the logout over meanwhile: the
// notes are then its to keep.
bool keepEveryNote()
{
    // The records the recovery file keeps: the open note windows'.
    const NoteRecordList records = NoteRecovery::openRecords();
    // Gathering them may take longer than the watchdog waits.
    if (watchdog && !watchdog->interfaceKeepsNotes())
        return false;
    if (records.isEmpty()) {
        NoteRecovery::remove();
        return true;
    }
    modMain::RunAtStartUp();
    const NoteRecordList outsideFolder = FolderNotes::keepAtSessionEnd(records);
    if (outsideFolder.isEmpty()) {
        NoteRecovery::remove();
        return true;
    }
    // What the main data file cannot take goes to the recovery file as it is now, so nothing
    // typed since its last write is lost; the next start brings it back, each note once.
    if (const Result saved = modNote::SaveMainNotes(outsideFolder); saved.ok())
        NoteRecovery::remove();
    else
        (void)NoteRecovery::keepInstead(records, saved.error());
    return true;
}
} // namespace

void SessionEnd::install(std::chrono::milliseconds patience)
{
    watchdog = new LogoutWatchdog(patience, qApp);
    watchSignals();
    qApp->installEventFilter(new OutsideQuit(qApp));
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, &saveForSessionManager);
    QObject::connect(qApp, &QGuiApplication::saveStateRequest, qApp, &neverRestart);
}

void SessionEnd::endSession()
{
    sessionEnding = true;
    // Nothing may wait for the user now: failures go to the log only.
    MessageBox::silenceForSessionEnd();
    // Too late: the watchdog keeps the notes and ends the program.
    if (!keepEveryNote())
        return;
    // Any prompt or file dialog still open ends as cancelled; its note is already kept.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
    }
    for (frmMain* window : frmMain::openWindows())
        window->closeForSessionEnd();
    // Not a quit, which a note whose close is under way (its save prompt open) would refuse.
    QCoreApplication::exit(0);
}
