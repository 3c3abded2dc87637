#pragma once

#include "app/LogoutWatchdog.h"

#include <chrono>

// The end of the desktop session: a commit request from the session manager, or SIGTERM or
// SIGHUP. Every note window then closes as at logout, in window order, so its note is kept
// in the main data file for the next login, and the program quits. A signal the interface
// thread does not answer within patience is finished by the logout watchdog instead.
namespace SessionEnd {
// Call once, after the application object exists.
void install(std::chrono::milliseconds patience = LogoutWatchdog::DefaultPatience);
// What the signals and the session manager trigger; tests call it directly.
void endSession();
} // namespace SessionEnd
