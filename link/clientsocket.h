#pragma once
// The network client: a non-blocking TCP connection to the matrix, with the
// properties and events the main window relies on. Everything runs on the
// user-interface thread; connection, arrival of data and closing are raised
// as events from the event loop, never from inside the call that caused them.
//
// Each connection attempt uses its own QTcpSocket. An attempt that is replaced
// by a newer one is aborted, and whatever the old socket still reports is
// ignored, so a late notification is never taken for the new connection.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <functional>

#include "core/error.h"

namespace mc {

// Raised for socket errors nobody handled and for property changes refused
// while the client is connected.
class ESocketError : public mc::Error {
public:
    using mc::Error::Error;
};

// The step a socket error concerns.
enum class TErrorEvent { eeGeneral, eeSend, eeReceive, eeConnect, eeDisconnect, eeAccept, eeLookup };

class TClientSocket : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultPort = 10008;

    explicit TClientSocket(QObject *parent = nullptr);
    // Closes an open connection without raising OnDisconnect.
    ~TClientSocket() override;

    // True while connected. Setting true starts a connection attempt and
    // returns at once (Active becomes true when the connection is made);
    // setting false while connected runs OnDisconnect, then closes. Setting
    // the value Active already has does nothing, so setting false during a
    // pending or failed attempt changes nothing.
    bool Active() const { return m_active; }
    void SetActive(bool value);

    // Dotted IPv4 address; it is never looked up as a host name. Changing it
    // or the port while Active throws ESocketError; a value equal to the
    // current one (without regard to case) is ignored.
    QString Address() const { return m_address; }
    void SetAddress(const QString &address);
    int Port() const { return m_port; }
    void SetPort(int port);

    // Hands all bytes to the connection and returns how many were accepted;
    // 0 (nothing sent) when not connected.
    int Send(const QByteArray &bytes);
    // Every byte that has arrived and not been taken yet; empty when not connected.
    QByteArray ReceiveAvailable();

    using TSocketNotifyEvent = std::function<void(TClientSocket *sender)>;
    using TSocketErrorEvent =
        std::function<void(TClientSocket *sender, TErrorEvent errorEvent, int &errorCode)>;

    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnDisconnect;
    TSocketNotifyEvent OnRead;
    // Receives every socket error with the step it concerns and the error
    // code (an errno value). Setting the code to 0 handles the error; a code
    // left non-zero is raised as ESocketError "Asynchronous socket error %d".
    TSocketErrorEvent OnError;
    // Socket events arrive from the event loop, where no exception may
    // escape. An error left unhandled there (an OnError code left non-zero,
    // or an exception thrown by one of the event handlers) is passed here
    // with its message instead of being raised; without this hook it is only
    // printed as a warning.
    std::function<void(const QString &message)> OnUnhandledError;

private:
    void StartAttempt();
    void ReleaseSocket(bool graceful);
    void CloseConnection();
    // Calls OnError; returns the code the handler left.
    int RaiseError(TErrorEvent event, int code);
    void ReportUnhandled(const QString &message);
    template <typename F> void Guarded(F &&f);

    void SocketConnected(quint64 generation);
    void SocketReadyRead(quint64 generation);
    void SocketDisconnected(quint64 generation);
    void SocketError(quint64 generation, QAbstractSocket::SocketError error);

    bool m_active = false;
    bool m_closing = false;
    QString m_address;
    int m_port = kDefaultPort;
    QPointer<QTcpSocket> m_socket;
    // Numbers the attempts; a queued notification carries the number of the
    // attempt it belongs to and is dropped when that is no longer current.
    quint64 m_generation = 0;
};

} // namespace mc
