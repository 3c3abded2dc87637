#include "XsmpServer.h"

#include <QSocketNotifier>
#include <QStringList>
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {
// libSM hands a new client's callbacks one pointer, given once per process.
XsmpServer* current = nullptr;

// Every host may connect: the server listens for one test's client only.
Bool anyHost(char*)
{
    return True;
}

// libICE's default handlers end the process on a lost or broken connection; a test reports
// that itself.
void ignoreIoError(IceConn) {}
void ignoreIceError(IceConn, Bool, int, unsigned long, int, int, IcePointer) {}
void ignoreSmsError(SmsConn, Bool, int, unsigned long, int, int, SmPointer) {}

int protocolSaveType(XsmpServer::SaveType type)
{
    switch (type) {
    case XsmpServer::SaveType::Local:
        return SmSaveLocal;
    case XsmpServer::SaveType::Global:
        return SmSaveGlobal;
    case XsmpServer::SaveType::Both:
        break;
    }
    return SmSaveBoth;
}

IceListenObj listenObject(void** objects, int index)
{
    return static_cast<IceListenObj>(objects[index]);
}
} // namespace

// The protocol's callbacks, with the server as their data.
struct XsmpServer::Callbacks {
    static XsmpServer* server(SmPointer data) { return static_cast<XsmpServer*>(data); }

    static Status registerClient(SmsConn connection, SmPointer data, char* previousId)
    {
        XsmpServer* self = server(data);
        self->m_previousId = previousId ? QByteArray(previousId) : QByteArray();
        std::free(previousId);
        char* id = SmsGenerateClientID(connection);
        const Status replied = SmsRegisterClientReply(connection, id);
        std::free(id);
        self->m_registered = replied != 0;
        // As every manager does, a first save to learn how to restart the client.
        SmsSaveYourself(connection, SmSaveLocal, False, SmInteractStyleNone, False);
        return replied;
    }

    static void interactRequest(SmsConn connection, SmPointer, int) { SmsInteract(connection); }

    static void interactDone(SmsConn, SmPointer, Bool) {}

    static void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

    static void phase2Request(SmsConn connection, SmPointer) { SmsSaveYourselfPhase2(connection); }

    static void saveYourselfDone(SmsConn, SmPointer data, Bool success)
    {
        XsmpServer* self = server(data);
        self->m_lastSaveSucceeded = success != 0;
        ++self->m_savesDone;
    }

    static void closeConnection(SmsConn, SmPointer data, int count, char** reasons)
    {
        SmFreeReasons(count, reasons);
        server(data)->dropConnection();
    }

    static void setProperties(SmsConn, SmPointer data, int count, SmProp** properties)
    {
        XsmpServer* self = server(data);
        for (int i = 0; i < count; ++i) {
            QList<QByteArray> values;
            for (int v = 0; v < properties[i]->num_vals; ++v) {
                const SmPropValue& value = properties[i]->vals[v];
                values.append(QByteArray(static_cast<const char*>(value.value), value.length));
            }
            self->m_properties.insert(QByteArray(properties[i]->name), values);
            SmFreeProperty(properties[i]);
        }
        std::free(properties);
    }

    static void deleteProperties(SmsConn, SmPointer data, int count, char** names)
    {
        for (int i = 0; i < count; ++i) {
            server(data)->m_properties.remove(QByteArray(names[i]));
            std::free(names[i]);
        }
        std::free(names);
    }

    static void getProperties(SmsConn connection, SmPointer)
    {
        SmsReturnProperties(connection, 0, nullptr);
    }

    static Status newClient(SmsConn connection, SmPointer data, unsigned long* mask,
                            SmsCallbacks* callbacks, char** failureReason)
    {
        XsmpServer* self = server(data);
        if (self->m_smsConnection) {
            *failureReason = strdup("this test's session manager takes one client");
            return 0;
        }
        self->m_smsConnection = connection;
        *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
                SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
                SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask |
                SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
        callbacks->register_client = {&registerClient, data};
        callbacks->interact_request = {&interactRequest, data};
        callbacks->interact_done = {&interactDone, data};
        callbacks->save_yourself_request = {&saveYourselfRequest, data};
        callbacks->save_yourself_phase2_request = {&phase2Request, data};
        callbacks->save_yourself_done = {&saveYourselfDone, data};
        callbacks->close_connection = {&closeConnection, data};
        callbacks->set_properties = {&setProperties, data};
        callbacks->delete_properties = {&deleteProperties, data};
        callbacks->get_properties = {&getProperties, data};
        return 1;
    }
};

XsmpServer::XsmpServer() = default;

XsmpServer::~XsmpServer()
{
    dropConnection();
    if (m_listenObjects)
        IceFreeListenObjs(m_listenCount, reinterpret_cast<IceListenObj*>(m_listenObjects));
    if (current == this)
        current = nullptr;
}

QString XsmpServer::start()
{
    if (current)
        return QStringLiteral("another test session manager is running");
    // ICE writes straight to the client's socket: a program that ends mid-message must show as
    // a dropped connection, not end the test with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    IceSetIOErrorHandler(&ignoreIoError);
    IceSetErrorHandler(&ignoreIceError);
    SmsSetErrorHandler(&ignoreSmsError);
    char error[256] = {};
    if (!SmsInitialize("JottexTest", "1", &Callbacks::newClient, this, &anyHost, sizeof error,
                       error))
        return QStringLiteral("no session manager: %1").arg(QString::fromLocal8Bit(error));
    IceListenObj* objects = nullptr;
    if (!IceListenForConnections(&m_listenCount, &objects, sizeof error, error))
        return QStringLiteral("no ICE listener: %1").arg(QString::fromLocal8Bit(error));
    m_listenObjects = reinterpret_cast<void**>(objects);
    current = this;
    // Only the local socket is named, so a client never reaches for the network.
    QStringList ids;
    for (int i = 0; i < m_listenCount; ++i) {
        IceSetHostBasedAuthProc(objects[i], &anyHost);
        char* id = IceGetListenConnectionString(objects[i]);
        if (qstrncmp(id, "local/", 6) == 0)
            ids.append(QString::fromLocal8Bit(id));
        std::free(id);
        auto* notifier = new QSocketNotifier(IceGetListenConnectionNumber(objects[i]),
                                             QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, i] { acceptClient(i); });
    }
    if (ids.isEmpty())
        return QStringLiteral("ICE offers no local socket");
    m_networkIds = ids.join(QLatin1Char(','));
    return {};
}

QProcessEnvironment XsmpServer::environmentFor(QProcessEnvironment environment) const
{
    environment.insert(QStringLiteral("SESSION_MANAGER"), m_networkIds);
    return environment;
}

bool XsmpServer::hasClient() const
{
    return m_registered && m_smsConnection;
}

void XsmpServer::saveYourself(SaveType type, Ending ending)
{
    if (m_smsConnection) {
        SmsSaveYourself(static_cast<SmsConn>(m_smsConnection), protocolSaveType(type),
                        ending == Ending::Shutdown ? True : False, SmInteractStyleAny, False);
    }
}

void XsmpServer::die()
{
    if (m_smsConnection)
        SmsDie(static_cast<SmsConn>(m_smsConnection));
}

int XsmpServer::restartHint() const
{
    const QList<QByteArray> values = property(SmRestartStyleHint);
    if (values.isEmpty() || values.first().isEmpty())
        return -1;
    return static_cast<unsigned char>(values.first().at(0));
}

void XsmpServer::acceptClient(int listenIndex)
{
    IceAcceptStatus status = IceAcceptFailure;
    IceConn connection = IceAcceptConnection(listenObject(m_listenObjects, listenIndex), &status);
    if (!connection || status != IceAcceptSuccess)
        return;
    if (m_iceConnection) { // one client at a time
        IceSetShutdownNegotiation(connection, False);
        IceCloseConnection(connection);
        return;
    }
    m_iceConnection = connection;
    m_clientNotifier =
        new QSocketNotifier(IceConnectionNumber(connection), QSocketNotifier::Read, this);
    connect(m_clientNotifier, &QSocketNotifier::activated, this, &XsmpServer::processMessages);
}

void XsmpServer::processMessages()
{
    if (!m_iceConnection)
        return;
    const IceProcessMessagesStatus status =
        IceProcessMessages(static_cast<IceConn>(m_iceConnection), nullptr, nullptr);
    if (status != IceProcessMessagesSuccess)
        dropConnection();
}

void XsmpServer::dropConnection()
{
    // It may be the one whose signal runs now.
    if (m_clientNotifier) {
        m_clientNotifier->setEnabled(false);
        m_clientNotifier->deleteLater();
        m_clientNotifier = nullptr;
    }
    if (m_smsConnection)
        SmsCleanUp(static_cast<SmsConn>(m_smsConnection));
    m_smsConnection = nullptr;
    if (m_iceConnection) {
        IceSetShutdownNegotiation(static_cast<IceConn>(m_iceConnection), False);
        IceCloseConnection(static_cast<IceConn>(m_iceConnection));
    }
    m_iceConnection = nullptr;
    m_registered = false;
}
