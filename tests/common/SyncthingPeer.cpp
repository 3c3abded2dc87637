#include "SyncthingPeer.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QXmlStreamWriter>
#include <array>
#include <memory>

namespace {
const QString kProgram = QStringLiteral("syncthing");
const QString kFolderId = QStringLiteral("jottex-notes");
// The configuration format of Debian 12's Syncthing 1.19.
const QString kConfigVersion = QStringLiteral("36");
// Short enough that a test waits seconds, not minutes, for a change to travel.
const QString kWatcherDelayS = QStringLiteral("1");
const QString kRescanIntervalS = QStringLiteral("5");

constexpr int kStartMs = 20000;
constexpr int kStopMs = 10000;
constexpr int kCallMs = 5000;
constexpr int kHttpOk = 200;

// Options that keep Syncthing on this machine and quiet: no discovery, relays, NAT, reports,
// upgrades or browser; a lost link is dialled again soon.
constexpr std::array<std::pair<const char*, const char*>, 12> kOptions{{
    {"globalAnnounceEnabled", "false"},
    {"localAnnounceEnabled", "false"},
    {"relaysEnabled", "false"},
    {"natEnabled", "false"},
    {"announceLANAddresses", "false"},
    {"urAccepted", "-1"},
    {"urSeen", "3"},
    {"crashReportingEnabled", "false"},
    {"autoUpgradeIntervalH", "0"},
    {"startBrowser", "false"},
    {"reconnectionIntervalS", "1"},
    {"setLowPriority", "false"},
}};

// Ports nobody listens on now, all different: each is held until all are found.
QList<quint16> freePorts(int count)
{
    std::vector<std::unique_ptr<QTcpServer>> held;
    QList<quint16> ports;
    for (int i = 0; i < count; ++i) {
        auto server = std::make_unique<QTcpServer>();
        if (!server->listen(QHostAddress::LocalHost, 0))
            return {};
        ports << server->serverPort();
        held.push_back(std::move(server));
    }
    return ports;
}

QByteArray randomKey()
{
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray key;
    for (int i = 0; i < 32; ++i)
        key += digits[QRandomGenerator::global()->bounded(int(sizeof digits) - 1)];
    return key;
}

QString address(quint16 port)
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(port);
}
} // namespace

SyncthingPeer::SyncthingPeer(const QString& name, const QString& home, const QString& folder)
    : m_name(name), m_home(home), m_folder(folder), m_apiKey(randomKey())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("STNODEFAULTFOLDER"), QStringLiteral("1"));
    // Syncthing itself, without the monitor process that would restart it: a stop or a crash
    // of the peer is one process ending.
    environment.insert(QStringLiteral("STMONITORED"), QStringLiteral("1"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

SyncthingPeer::~SyncthingPeer()
{
    stop(StopKind::Crash);
}

bool SyncthingPeer::installed()
{
    return !QStandardPaths::findExecutable(kProgram).isEmpty();
}

QString SyncthingPeer::introduce(SyncthingPeer& a, SyncthingPeer& b)
{
    const QList<quint16> ports = freePorts(4);
    if (ports.size() != 4)
        return QStringLiteral("no free ports on 127.0.0.1");
    a.m_guiPort = ports[0];
    a.m_syncPort = ports[1];
    b.m_guiPort = ports[2];
    b.m_syncPort = ports[3];
    for (SyncthingPeer* peer : {&a, &b}) {
        if (QString why = peer->generate(); !why.isEmpty())
            return why;
    }
    a.m_otherId = b.m_deviceId;
    b.m_otherId = a.m_deviceId;
    for (auto [peer, other] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
        if (QString why = peer->writeConfiguration(*other); !why.isEmpty())
            return why;
    }
    return {};
}

QString SyncthingPeer::generate()
{
    QProcess tool;
    tool.setProcessEnvironment(m_process.processEnvironment());
    tool.start(kProgram,
               {QStringLiteral("generate"), QStringLiteral("--home=") + m_home,
                QStringLiteral("--no-default-folder"), QStringLiteral("--skip-port-probing")});
    if (!tool.waitForFinished(kStartMs) || tool.exitCode() != 0)
        return QStringLiteral("syncthing generate failed: ") +
               QString::fromUtf8(tool.readAllStandardError());
    tool.start(kProgram, {QStringLiteral("serve"), QStringLiteral("--home=") + m_home,
                          QStringLiteral("--device-id")});
    if (!tool.waitForFinished(kStartMs) || tool.exitCode() != 0)
        return QStringLiteral("syncthing does not tell its device id");
    m_deviceId = QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
    return m_deviceId.isEmpty() ? QStringLiteral("syncthing told an empty device id") : QString();
}

QString SyncthingPeer::writeConfiguration(const SyncthingPeer& other) const
{
    // Syncthing takes a folder as shared only where its marker is.
    if (!QDir().mkpath(m_folder + QStringLiteral("/.stfolder")))
        return QStringLiteral("cannot make %1").arg(m_folder);
    QFile file(m_home + QStringLiteral("/config.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("cannot write %1").arg(file.fileName());
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartElement(QStringLiteral("configuration"));
    xml.writeAttribute(QStringLiteral("version"), kConfigVersion);

    xml.writeStartElement(QStringLiteral("folder"));
    xml.writeAttribute(QStringLiteral("id"), kFolderId);
    xml.writeAttribute(QStringLiteral("label"), kFolderId);
    xml.writeAttribute(QStringLiteral("path"), m_folder);
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("sendreceive"));
    xml.writeAttribute(QStringLiteral("rescanIntervalS"), kRescanIntervalS);
    xml.writeAttribute(QStringLiteral("fsWatcherEnabled"), QStringLiteral("true"));
    xml.writeAttribute(QStringLiteral("fsWatcherDelayS"), kWatcherDelayS);
    xml.writeAttribute(QStringLiteral("autoNormalize"), QStringLiteral("true"));
    for (const QString& id : {m_deviceId, other.m_deviceId}) {
        xml.writeStartElement(QStringLiteral("device"));
        xml.writeAttribute(QStringLiteral("id"), id);
        xml.writeEndElement();
    }
    // A folder written out here takes no defaults: without this, Syncthing would drop the
    // losing side of a conflict rather than keep it as a ".sync-conflict-" file.
    xml.writeTextElement(QStringLiteral("maxConflicts"), QStringLiteral("10"));
    xml.writeEndElement();

    const auto device = [&xml](const QString& id, const QString& name, const QString& at) {
        xml.writeStartElement(QStringLiteral("device"));
        xml.writeAttribute(QStringLiteral("id"), id);
        xml.writeAttribute(QStringLiteral("name"), name);
        xml.writeTextElement(QStringLiteral("address"), at);
        xml.writeEndElement();
    };
    device(m_deviceId, m_name, QStringLiteral("dynamic"));
    device(other.m_deviceId, other.m_name, address(other.m_syncPort));

    xml.writeStartElement(QStringLiteral("gui"));
    xml.writeAttribute(QStringLiteral("enabled"), QStringLiteral("true"));
    xml.writeAttribute(QStringLiteral("tls"), QStringLiteral("false"));
    xml.writeTextElement(QStringLiteral("address"), QStringLiteral("127.0.0.1:%1").arg(m_guiPort));
    xml.writeTextElement(QStringLiteral("apikey"), QString::fromLatin1(m_apiKey));
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("options"));
    xml.writeTextElement(QStringLiteral("listenAddress"), address(m_syncPort));
    for (const auto& [name, value] : kOptions)
        xml.writeTextElement(QLatin1String(name), QLatin1String(value));
    xml.writeEndElement();

    xml.writeEndElement();
    return xml.hasError() || !file.flush() ? QStringLiteral("cannot write %1").arg(file.fileName())
                                           : QString();
}

bool SyncthingPeer::start()
{
    if (running())
        return true;
    m_process.setStandardOutputFile(m_home + QStringLiteral("/syncthing.log"), QIODevice::Append);
    m_process.start(kProgram, {QStringLiteral("serve"), QStringLiteral("--home=") + m_home,
                               QStringLiteral("--no-browser"), QStringLiteral("--no-restart"),
                               QStringLiteral("--no-upgrade"), QStringLiteral("--logflags=3")});
    if (!m_process.waitForStarted(kStartMs))
        return false;
    return QTest::qWaitFor(
               [this] {
                   const auto pong = call("GET", QStringLiteral("/rest/system/ping"));
                   return !running() || (pong && pong->value(QStringLiteral("ping")) == "pong");
               },
               kStartMs) &&
           running();
}

void SyncthingPeer::stop(StopKind kind)
{
    if (!running())
        return;
    if (kind == StopKind::Clean) {
        m_process.terminate();
        if (m_process.waitForFinished(kStopMs))
            return;
    }
    m_process.kill();
    m_process.waitForFinished(kStopMs);
}

bool SyncthingPeer::pauseLink() const
{
    return call("POST", QStringLiteral("/rest/system/pause?device=") + m_otherId).has_value();
}

bool SyncthingPeer::resumeLink() const
{
    return call("POST", QStringLiteral("/rest/system/resume?device=") + m_otherId).has_value();
}

bool SyncthingPeer::connected() const
{
    const auto connections = call("GET", QStringLiteral("/rest/system/connections"));
    return connections && connections->value(QStringLiteral("connections"))
                              .toObject()
                              .value(m_otherId)
                              .toObject()
                              .value(QStringLiteral("connected"))
                              .toBool();
}

bool SyncthingPeer::rescan() const
{
    return call("POST", QStringLiteral("/rest/db/scan?folder=") + kFolderId).has_value();
}

bool SyncthingPeer::inStep() const
{
    const auto status = call("GET", QStringLiteral("/rest/db/status?folder=") + kFolderId);
    if (!status || status->value(QStringLiteral("state")).toString() != QLatin1String("idle") ||
        status->value(QStringLiteral("needTotalItems")).toInt(-1) != 0)
        return false;
    // What the other peer still needs of ours.
    const auto theirs = call(
        "GET", QStringLiteral("/rest/db/completion?folder=%1&device=%2").arg(kFolderId, m_otherId));
    return theirs && theirs->value(QStringLiteral("needItems")).toInt(-1) == 0 &&
           theirs->value(QStringLiteral("needDeletes")).toInt(-1) == 0 &&
           theirs->value(QStringLiteral("completion")).toDouble() >= 100.0;
}

QString SyncthingPeer::logTail() const
{
    QFile log(m_home + QStringLiteral("/syncthing.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    constexpr qint64 kTail = 3000;
    log.seek(qMax<qint64>(0, log.size() - kTail));
    return QString::fromUtf8(log.readAll());
}

std::optional<QJsonObject> SyncthingPeer::call(const QByteArray& method,
                                               const QString& pathAndQuery) const
{
    if (!running())
        return std::nullopt;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_guiPort);
    if (!socket.waitForConnected(kCallMs))
        return std::nullopt;
    // HTTP/1.0: the server closes the connection after its answer, which ends the read.
    socket.write(method + ' ' + pathAndQuery.toUtf8() +
                 " HTTP/1.0\r\nHost: 127.0.0.1:" + QByteArray::number(m_guiPort) +
                 "\r\nX-API-Key: " + m_apiKey + "\r\nContent-Length: 0\r\n\r\n");
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kCallMs)) {
    }
    const QByteArray answer = socket.readAll();
    const qsizetype bodyAt = answer.indexOf("\r\n\r\n");
    const QList<QByteArray> statusLine = answer.left(answer.indexOf("\r\n")).split(' ');
    if (bodyAt < 0 || statusLine.size() < 2 || statusLine[1].toInt() != kHttpOk)
        return std::nullopt;
    const QByteArray body = answer.mid(bodyAt + 4);
    // Some calls (pause, scan) answer with no body at all.
    return body.trimmed().isEmpty() ? QJsonObject() : QJsonDocument::fromJson(body).object();
}
