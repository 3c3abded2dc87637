#pragma once

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Finishes a logout that the interface thread does not answer. SIGTERM and SIGHUP wake it;
// when the interface thread has not gathered its notes to keep them within the patience
// given, the notes of the last recovery snapshot go to the main data file and the process
// ends. It works on a thread of its own and never touches a widget or any other GUI object.
// One at a time.
class LogoutWatchdog : public QObject {
public:
    static constexpr std::chrono::milliseconds DefaultPatience{3000};

    explicit LogoutWatchdog(std::chrono::milliseconds patience, QObject* parent = nullptr);
    ~LogoutWatchdog() override;
    LogoutWatchdog(const LogoutWatchdog&) = delete;
    LogoutWatchdog& operator=(const LogoutWatchdog&) = delete;
    LogoutWatchdog(LogoutWatchdog&&) = delete;
    LogoutWatchdog& operator=(LogoutWatchdog&&) = delete;

    // A logout was asked for. Async-signal-safe: the signal handler calls it.
    static void logoutRequested();
    // The interface thread has gathered its notes and keeps them now. False when the watchdog
    // took the logout over first: the notes are then its to keep, and the process is about to
    // end.
    bool interfaceKeepsNotes();

private:
    enum class Owner { Nobody, Interface, Watchdog };

    void run();
    // Waits out the patience; true when the logout became the watchdog's.
    bool takeOverUnanswered();
    // The last snapshot's notes appended to the main data file, and the recovery file removed
    // once they are there. False when they could not be kept (logged; the recovery file then
    // still holds them).
    static bool keepSnapshot();

    const std::chrono::milliseconds m_patience;
    int m_wake[2] = {-1, -1};
    std::mutex m_mutex;
    std::condition_variable m_answered;
    Owner m_owner = Owner::Nobody;
    bool m_stopping = false;
    std::thread m_thread;
};
