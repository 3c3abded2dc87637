#pragma once

#include "app/LogoutWatchdog.h"

#include <chrono>

// The end of the desktop session: the session manager's "die", which reaches the program as a
// quit while notes are open, or SIGTERM or SIGHUP. Every note window then closes as at logout,
// in window order, so its note is kept in the main data file for the next login, and the
// program quits. A signal the interface thread does not answer within patience is finished by
// the logout watchdog instead. A save the session manager asks for (a checkpoint, or the first
// step of a logout) writes the recovery file and nothing more: the program goes on, and the
// manager is asked never to restart it, since the login's autostart entry brings it back.
namespace SessionEnd {
// Call once, after the application object exists.
void install(std::chrono::milliseconds patience = LogoutWatchdog::DefaultPatience);
// What the signals and the session manager trigger; tests call it directly.
void endSession();
} // namespace SessionEnd
