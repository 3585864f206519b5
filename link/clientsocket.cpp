#include "link/clientsocket.h"

#include <QTimer>

#include <QHostAddress>
#include <QtGlobal>
#include <cerrno>

#include "link/loopbackguard.h"

namespace mc {

namespace {

// The error code handed to OnError: the errno value closest to what the
// socket reported (Qt does not pass the system's own number on).
int ErrorCodeFor(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError: return ECONNRESET;
    case QAbstractSocket::HostNotFoundError: return EHOSTUNREACH;
    case QAbstractSocket::SocketAccessError: return EACCES;
    case QAbstractSocket::SocketResourceError: return EMFILE;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::NetworkError: return ENETUNREACH;
    case QAbstractSocket::AddressInUseError: return EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError: return EADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError: return EOPNOTSUPP;
    default: return EIO;
    }
}

QString UnhandledMessage(int code)
{
    return QStringLiteral("Asynchronous socket error %1").arg(code);
}

} // namespace

TClientSocket::TClientSocket(QObject *parent) : QObject(parent) {}

TClientSocket::~TClientSocket()
{
    // No OnDisconnect here: the owner is going away.
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->flush();
        m_socket->close();
    }
}

void TClientSocket::SetActive(bool value)
{
    if (value == m_active)
        return;
    if (value)
        StartAttempt();
    else
        CloseConnection();
}

void TClientSocket::SetAddress(const QString &address)
{
    if (address.compare(m_address, Qt::CaseInsensitive) == 0)
        return;
    if (m_active)
        throw ESocketError(QStringLiteral("Can't change value while socket is active"));
    m_address = address;
}

void TClientSocket::SetPort(int port)
{
    if (port == m_port)
        return;
    if (m_active)
        throw ESocketError(QStringLiteral("Can't change value while socket is active"));
    m_port = port;
}

int TClientSocket::Send(const QByteArray &bytes)
{
    if (!m_active || !m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return 0;
    const qint64 written = m_socket->write(bytes);
    if (written < 0) {
        const int code = RaiseError(TErrorEvent::eeSend, EIO);
        CloseConnection();
        if (code != 0)
            throw ESocketError(UnhandledMessage(code));
        return 0;
    }
    // Hand the bytes to the system now, as one send call would; what the
    // system cannot take yet stays queued in the socket and follows from the
    // event loop.
    m_socket->flush();
    return static_cast<int>(written);
}

QByteArray TClientSocket::ReceiveAvailable()
{
    // Bytes that came before a close by the peer are still handed out while
    // the close waits to be processed.
    if (!m_active || !m_socket)
        return {};
    return m_socket->readAll();
}

void TClientSocket::StartAttempt()
{
    // A pending attempt is replaced: its socket is dropped and anything it
    // still reports is ignored.
    ReleaseSocket(false);

    const QString text = m_address.trimmed();
    QHostAddress host;
    if (text.isEmpty() || !host.setAddress(text) || host.protocol() != QAbstractSocket::IPv4Protocol
        || m_port < 0 || m_port > 65535) {
        const int code = RaiseError(TErrorEvent::eeLookup, EINVAL);
        // With no address at all the attempt also closes its socket, which
        // raises the disconnect event.
        if (text.isEmpty() && OnDisconnect)
            OnDisconnect(this);
        if (code != 0)
            throw ESocketError(UnhandledMessage(code));
        return;
    }
    if (!mc::AddressAllowed(text)) {
        // Refused without touching the network, as a failed connection.
        if (const int code = RaiseError(TErrorEvent::eeConnect, EACCES))
            throw ESocketError(UnhandledMessage(code));
        return;
    }

    auto *socket = new QTcpSocket(this);
    const quint64 generation = ++m_generation;
    // Every notification is queued, so it is raised from the event loop and
    // never inside the call (connect, send, close) that caused it.
    connect(socket, &QTcpSocket::connected, this, [this, generation] { SocketConnected(generation); },
            Qt::QueuedConnection);
    connect(socket, &QTcpSocket::readyRead, this, [this, generation] { SocketReadyRead(generation); },
            Qt::QueuedConnection);
    connect(socket, &QTcpSocket::disconnected, this,
            [this, generation] { SocketDisconnected(generation); }, Qt::QueuedConnection);
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, generation](QAbstractSocket::SocketError error) { SocketError(generation, error); },
            Qt::QueuedConnection);
    m_socket = socket;
    socket->connectToHost(host, static_cast<quint16>(m_port));
}

void TClientSocket::ReleaseSocket(bool graceful)
{
    ++m_generation;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    if (!socket)
        return;
    socket->disconnect(this);
    if (graceful && socket->state() == QAbstractSocket::ConnectedState) {
        // Let written bytes go out before the close; the socket frees itself.
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QAbstractSocket::errorOccurred, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState) {
            socket->deleteLater();
        } else {
            // A matrix that stops reading would hold the close forever.
            QTimer::singleShot(3000, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
        }
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

void TClientSocket::CloseConnection()
{
    if (!m_active || m_closing)
        return;
    m_closing = true;
    // OnDisconnect runs while the connection still counts as connected; the
    // close completes even when the handler throws.
    struct Finish {
        TClientSocket *self;
        ~Finish()
        {
            self->m_active = false;
            self->m_closing = false;
            self->ReleaseSocket(true);
        }
    } finish{this};
    if (OnDisconnect)
        OnDisconnect(this);
}

int TClientSocket::RaiseError(TErrorEvent event, int code)
{
    if (OnError)
        OnError(this, event, code);
    return code;
}

void TClientSocket::ReportUnhandled(const QString &message)
{
    if (OnUnhandledError)
        OnUnhandledError(message);
    else
        qWarning("TClientSocket: %s", qPrintable(message));
}

template <typename F> void TClientSocket::Guarded(F &&f)
{
    mc::CatchAsMessage(std::forward<F>(f), [this](const QString &message) { ReportUnhandled(message); },
                       "Unknown exception in a socket event");
}

void TClientSocket::SocketConnected(quint64 generation)
{
    if (generation != m_generation || !m_socket || m_active)
        return;
    m_active = true;
    Guarded([this] {
        if (OnConnect)
            OnConnect(this);
    });
}

void TClientSocket::SocketReadyRead(quint64 generation)
{
    if (generation != m_generation || !m_socket || !m_active || m_socket->bytesAvailable() <= 0)
        return;
    Guarded([this] {
        if (OnRead)
            OnRead(this);
    });
}

void TClientSocket::SocketDisconnected(quint64 generation)
{
    if (generation != m_generation || !m_active)
        return;
    Guarded([this] { CloseConnection(); });
}

void TClientSocket::SocketError(quint64 generation, QAbstractSocket::SocketError error)
{
    if (generation != m_generation || !m_socket)
        return;
    Guarded([this, error] {
        if (!m_active) {
            // The attempt failed: it ends here, without OnDisconnect.
            ReleaseSocket(false);
            if (const int code = RaiseError(TErrorEvent::eeConnect, ErrorCodeFor(error)))
                throw ESocketError(UnhandledMessage(code));
            return;
        }
        if (error == QAbstractSocket::RemoteHostClosedError) {
            // Closed or reset by the peer: the connection is gone now, so it
            // is closed at once (OnDisconnect, Active false).
            CloseConnection();
            return;
        }
        const bool fatal = m_socket->state() != QAbstractSocket::ConnectedState;
        const TErrorEvent step =
            m_socket->bytesToWrite() > 0 ? TErrorEvent::eeSend : TErrorEvent::eeReceive;
        const int code = RaiseError(step, ErrorCodeFor(error));
        if (fatal)
            CloseConnection();
        if (code != 0)
            throw ESocketError(UnhandledMessage(code));
    });
}

} // namespace mc
