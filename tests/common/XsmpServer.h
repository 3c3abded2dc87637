#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>

class QSocketNotifier;

// A session manager of the X session protocol (XSMP, through libSM and libICE) for one client:
// the program started with its environment registers here, and the test then asks it to save
// (a checkpoint, or the save before a logout), to die, and reads the properties it set. It
// works on the test's event loop, so a test waits on it with QTRY_*.
class XsmpServer : public QObject {
public:
    // The kinds of save the protocol knows.
    enum class SaveType { Local, Global, Both };
    enum class Ending { Checkpoint, Shutdown };

    XsmpServer();
    ~XsmpServer() override;
    XsmpServer(const XsmpServer&) = delete;
    XsmpServer& operator=(const XsmpServer&) = delete;

    // Empty when it listens; otherwise why not (the test skips). One at a time.
    QString start();
    // The environment with SESSION_MANAGER naming this server.
    QProcessEnvironment environmentFor(QProcessEnvironment environment) const;

    // A client has registered and not closed its connection.
    bool hasClient() const;
    // The client id the client gave when it registered: the one it had in an earlier session,
    // or empty.
    QByteArray previousId() const { return m_previousId; }
    // How many of the saves asked for the client has finished (the one after registering
    // counts), and whether the last one succeeded.
    int savesDone() const { return m_savesDone; }
    bool lastSaveSucceeded() const { return m_lastSaveSucceeded; }

    // Asks the client to save, as a checkpoint or before a logout; it may interact.
    void saveYourself(SaveType type, Ending ending);
    // The session ends: the client must quit.
    void die();

    // The values of a property the client set, empty when it set none.
    QList<QByteArray> property(const char* name) const { return m_properties.value(name); }
    // The restart style hint the client asked for (QSessionManager::RestartHint numbers), or -1.
    int restartHint() const;

    // For the protocol callbacks.
    struct Callbacks;

private:
    void acceptClient(int listenIndex);
    void processMessages();
    void dropConnection();

    int m_listenCount = 0;
    void** m_listenObjects = nullptr; // IceListenObj array, owned by libICE
    QString m_networkIds;
    void* m_iceConnection = nullptr;             // IceConn
    void* m_smsConnection = nullptr;             // SmsConn
    QSocketNotifier* m_clientNotifier = nullptr; // a child, while a client is connected
    QByteArray m_previousId;
    bool m_registered = false;
    int m_savesDone = 0;
    bool m_lastSaveSucceeded = false;
    QMap<QByteArray, QList<QByteArray>> m_properties;
};
