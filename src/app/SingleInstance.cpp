#include "app/SingleInstance.h"

#include "shell/ErrorLog.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The first words of every message, and the version of what follows them.
constexpr quint32 kMagic = 0x4A6F7478; // "Jotx"
constexpr qint32 kMessageVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
// The running program's answer once it has taken a command.
constexpr char kTaken = 'k';

// How long a start waits for another that is still finding out whether it is the first (that
// one keeps the lock while its toolkit starts), and for the running program to answer.
constexpr int kDecisionPatienceMs = 10000;
constexpr int kAnswerPatienceMs = 5000;

constexpr mode_t kPrivateMode = 0700;
constexpr mode_t kOthersBits = 0077;

// The folder of the session's socket, made if missing; empty (with why) when it is not the
// user's alone, since anyone who could reach the socket could open notes in this session.
QString privateFolder(QString& why)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString folder = runtime.isEmpty()
                         ? QDir::tempPath() + QStringLiteral("/jottex-%1").arg(::getuid())
                         : runtime + QStringLiteral("/jottex");
    const QByteArray name = QFile::encodeName(folder);
    (void)::mkdir(name.constData(), kPrivateMode);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid()) {
        why = QStringLiteral("%1 is not a folder of this user").arg(folder);
        return {};
    }
    if ((info.st_mode & kOthersBits) != 0 && ::chmod(name.constData(), kPrivateMode) != 0) {
        why = QStringLiteral("%1 cannot be made private").arg(folder);
        return {};
    }
    return folder;
}

// Each X display is a session of its own; ":0" and ":0.0" are the same one.
QString socketName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    display.remove(QRegularExpression(QStringLiteral("\\.\\d+$")));
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("display-%1").arg(display.isEmpty() ? QStringLiteral("none") : display);
}

bool knownCommand(qint32 request)
{
    using R = modMain::Request;
    switch (static_cast<R>(request)) {
    case R::Start:
    case R::NewNote:
    case R::ShowAll:
    case R::Toggle:
    case R::Search:
    case R::NotesFolder:
        return true;
    case R::Help:
    case R::Version:
    case R::UnknownOption:
        break;
    }
    return false;
}

// Reads one command from a later start once all of it has come, answers, and has it performed
// from the event loop, where a box the command opens cannot outlive the connection's slot.
void receive(QLocalSocket* socket, SingleInstance::Performer perform)
{
    QDataStream in(socket);
    in.setVersion(kStreamVersion);
    in.startTransaction();
    quint32 magic = 0;
    qint32 version = 0;
    qint32 request = 0;
    QString argument;
    in >> magic >> version >> request >> argument;
    if (!in.commitTransaction())
        return;
    if (magic != kMagic || version != kMessageVersion || !knownCommand(request)) {
        socket->abort();
        return;
    }
    socket->write(&kTaken, 1);
    socket->flush();
    socket->disconnectFromServer();
    QTimer::singleShot(0, QCoreApplication::instance(), [perform, request, argument] {
        perform(static_cast<modMain::Request>(request), argument);
    });
}
} // namespace

SingleInstance::SingleInstance(modMain::Starter starter)
{
    const QString folder = privateFolder(m_whyAlone);
    if (folder.isEmpty())
        return;
    m_path = folder + QLatin1Char('/') + socketName();
    m_lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    if (!m_lock->tryLock(kDecisionPatienceMs)) {
        m_whyAlone = QStringLiteral("another start held %1 too long").arg(m_lock->fileName());
        m_lock.reset();
        return;
    }
    m_running = std::make_unique<QLocalSocket>();
    m_running->connectToServer(m_path);
    if (!m_running->waitForConnected(kAnswerPatienceMs)) {
        // None runs, or a killed one left its socket: this start takes the place.
        m_running.reset();
        m_role = Role::First;
        return;
    }
    m_lock.reset();
    if (starter == modMain::Starter::SessionManager) {
        m_running.reset();
        return;
    }
    m_role = Role::Later;
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(modMain::Request request, const QString& argument)
{
    if (m_role != Role::Later)
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << kMagic << kMessageVersion << static_cast<qint32>(request) << argument;
    const QDeadlineTimer deadline(kAnswerPatienceMs);
    m_running->write(message);
    while (m_running->bytesToWrite() > 0) {
        if (!m_running->waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (m_running->bytesAvailable() == 0) {
        if (!m_running->waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return m_running->getChar(&answer) && answer == kTaken;
}

void SingleInstance::serve(Performer perform)
{
    if (m_role == Role::First)
        takeTheSocket(perform);
    else if (!m_whyAlone.isEmpty())
        modMain::WriteLogEntry(QStringLiteral("SingleInstance: serve"), QStringLiteral("0"),
                               QStringLiteral("Runs by itself: %1").arg(m_whyAlone));
    m_lock.reset();
}

void SingleInstance::takeTheSocket(Performer perform)
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Only a socket no one answers on is left when this start is the first.
    QLocalServer::removeServer(m_path);
    if (!m_server->listen(m_path)) {
        modMain::WriteLogEntry(QStringLiteral("SingleInstance: serve"), QStringLiteral("0"),
                               QStringLiteral("Later starts cannot reach this one: %1 (%2)")
                                   .arg(m_server->errorString(), m_path));
        m_server.reset();
        return;
    }
    QLocalServer* server = m_server.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, perform] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [socket, perform] { receive(socket, perform); });
            receive(socket, perform);
        }
    });
}
