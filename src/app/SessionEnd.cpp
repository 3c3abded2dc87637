#include "app/SessionEnd.h"

#include "dialogs/MessageBox.h"
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
// Every open note goes to the main data file first, whatever dialog is open, as one write in
// window order. The recovery file goes only once they are safely there. False when the
// watchdog took the logout over meanwhile: the notes are then its to keep.
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
    // What the main data file cannot take goes to the recovery file as it is now, so nothing
    // typed since its last write is lost; the next start brings it back.
    if (const Result saved = modNote::SaveMainNotes(records); saved.ok())
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
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [](QSessionManager&) { endSession(); });
}

void SessionEnd::endSession()
{
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
    QCoreApplication::quit();
}
