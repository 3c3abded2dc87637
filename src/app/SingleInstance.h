#pragma once

#include "app/StartUp.h"

#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running Jottex per user session, a session being the user's X display: the first start
// listens on a local socket in a folder only the user can enter, and a later start hands its
// command to it and ends. A lock file beside the socket lets one start at a time find out which
// it is, and the first keeps it until it listens: two starting together never both listen, nor
// both hand over to no one. A socket that a killed first start left behind answers no one, and
// the next start takes its place.
class SingleInstance {
public:
    // How this start stands towards the session's running Jottex.
    enum class Role {
        First, // none runs: this start listens once the application exists
        Later, // one runs and listens: this start hands its command over
        Alone, // no private folder for the socket, or no answer in time: runs by itself
    };
    // What the running program does with a command handed to it.
    using Performer = void (*)(modMain::Request, const QString&);

    // Decides the role before the toolkit starts. A session manager's start never hands over:
    // it runs by itself, as it always did, and listens only when no one else does.
    explicit SingleInstance(modMain::Starter starter);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Role role() const { return m_role; }
    // Where the session's socket is (empty when Alone without a private folder).
    QString socketPath() const { return m_path; }

    // Later: sends the command; true once the running program has taken it.
    bool handOver(modMain::Request request, const QString& argument);

    // Once the application object exists. First: listens, and gives each command that
    // arrives to perform, from the event loop. Lets go of the lock in every role.
    void serve(Performer perform);

private:
    void takeTheSocket(Performer perform);

    Role m_role = Role::Alone;
    QString m_path;
    QString m_whyAlone;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalSocket> m_running;
    std::unique_ptr<QLocalServer> m_server;
};
