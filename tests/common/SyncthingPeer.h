#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <optional>

// One Syncthing instance of a test, as a second machine's sync tool: its own home (keys,
// configuration, database, log), its REST API and its sync listener on free ports of
// 127.0.0.1, and every way out of this machine off (global and local discovery, relays, NAT,
// usage and crash reports, upgrades). Two peers introduced to each other by id, each with the
// other's address, share one folder that they rescan often. The process ends with the peer.
class SyncthingPeer {
public:
    // name: the device's name; home: an empty folder for Syncthing's own files; folder: this
    // peer's side of the shared folder (made if missing).
    SyncthingPeer(const QString& name, const QString& home, const QString& folder);
    ~SyncthingPeer();
    SyncthingPeer(const SyncthingPeer&) = delete;
    SyncthingPeer& operator=(const SyncthingPeer&) = delete;

    static bool installed();

    // Makes both peers' keys, then configures each to share its folder with the other. Empty
    // when done; otherwise why.
    static QString introduce(SyncthingPeer& a, SyncthingPeer& b);

    // Starts the process and waits until its REST API answers.
    bool start();
    enum class StopKind {
        Clean, // SIGTERM: Syncthing shuts down as at a logout
        Crash, // SIGKILL: the machine loses power
    };
    // Ends the process and waits for it; a clean stop that hangs is killed.
    void stop(StopKind kind = StopKind::Clean);
    bool running() const { return m_process.state() != QProcess::NotRunning; }

    // The link to the other peer, through the REST API.
    bool pauseLink() const;
    bool resumeLink() const;
    bool connected() const;
    // A scan of the shared folder now, rather than at the watcher's or the interval's time.
    bool rescan() const;
    // The folder is scanned, has all the other peer has, and the other has all it has.
    bool inStep() const;

    QString folder() const { return m_folder; }
    QString deviceId() const { return m_deviceId; }
    // The end of the peer's log, for a failure message.
    QString logTail() const;

private:
    QString generate();
    QString writeConfiguration(const SyncthingPeer& other) const;
    // A REST call: the JSON object answered, or nothing when the call failed.
    std::optional<QJsonObject> call(const QByteArray& method, const QString& pathAndQuery) const;

    QString m_name;
    QString m_home;
    QString m_folder;
    QString m_deviceId;
    QString m_otherId;
    QByteArray m_apiKey;
    quint16 m_guiPort = 0;
    quint16 m_syncPort = 0;
    QProcess m_process;
};
