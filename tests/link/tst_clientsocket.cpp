// The network client against a QTcpServer on 127.0.0.1 (ephemeral ports).
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <cerrno>
#include <memory>
#include <sys/socket.h>

#include "link/clientsocket.h"
#include "tests/support/testsupport.h"

using mc::TClientSocket;
using mc::TErrorEvent;

Q_DECLARE_METATYPE(TErrorEvent)

namespace {

// Records a client's events; by default its error handler clears every code,
// as the main window's does.
struct Events {
    explicit Events(TClientSocket &client)
    {
        client.OnConnect = [this](TClientSocket *) { ++connects; };
        client.OnDisconnect = [this](TClientSocket *sender) {
            ++disconnects;
            activeDuringDisconnect = sender->Active();
        };
        client.OnRead = [this](TClientSocket *sender) { reads.append(sender->ReceiveAvailable()); };
        client.OnError = [this](TClientSocket *, TErrorEvent event, int &code) {
            errors.append({event, code});
            if (clearCodes)
                code = 0;
        };
        client.OnUnhandledError = [this](const QString &message) { unhandled.append(message); };
    }
    int connects = 0;
    int disconnects = 0;
    bool activeDuringDisconnect = false;
    bool clearCodes = true;
    QList<QByteArray> reads;
    QList<QPair<TErrorEvent, int>> errors;
    QStringList unhandled;
};

// A port on 127.0.0.1 that nobody listens on.
quint16 ClosedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QTcpSocket *Accept(QTcpServer &server)
{
    if (!server.hasPendingConnections() && !server.waitForNewConnection(5000))
        return nullptr;
    return server.nextPendingConnection();
}

} // namespace

class TestClientSocket : public QObject {
    Q_OBJECT

    QTcpServer server;
    std::unique_ptr<TClientSocket> client;
    std::unique_ptr<Events> events;

    // Connects the fresh client to the server; returns the server's side.
    QTcpSocket *ConnectClient()
    {
        client->SetAddress(QStringLiteral("127.0.0.1"));
        client->SetPort(server.serverPort());
        client->SetActive(true);
        if (client->Active())
            return nullptr; // Active must wait for the connection
        QTcpSocket *peer = Accept(server);
        if (!peer)
            return nullptr;
        if (!QTest::qWaitFor([&] { return events->connects == 1; }, 5000))
            return nullptr;
        return client->Active() ? peer : nullptr;
    }

private slots:
    void init()
    {
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        client = std::make_unique<TClientSocket>();
        events = std::make_unique<Events>(*client);
    }

    void cleanup()
    {
        client.reset();
        events.reset();
        server.close();
    }

    void defaults()
    {
        QCOMPARE(client->Port(), 10008);
        QVERIFY(!client->Active());
        QCOMPARE(client->Send("QUER00"), 0);
        QVERIFY(client->ReceiveAvailable().isEmpty());
    }

    void closedByPeer_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("normal close") << false;
        QTest::newRow("reset") << true;
    }

    // The matrix closing its side, normally or with a reset, is a disconnect
    // at once: OnDisconnect while still counted connected, then Active false.
    void closedByPeer()
    {
        QFETCH(bool, reset);
        QTcpSocket *peer = ConnectClient();
        QVERIFY(peer);
        if (reset) {
            const linger hard{1, 0};
            QCOMPARE(::setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                                  sizeof hard),
                     0);
            peer->abort();
        } else {
            peer->disconnectFromHost();
        }
        QTRY_COMPARE_WITH_TIMEOUT(events->disconnects, 1, 5000);
        QVERIFY(events->activeDuringDisconnect);
        QVERIFY(!client->Active());
        QCOMPARE(client->Send("CALL1"), 0);
        QVERIFY(events->unhandled.isEmpty());
        client->SetActive(false); // already closed: nothing happens
        QCOMPARE(events->disconnects, 1);
    }

    // Closing from our side runs OnDisconnect first, then closes; what was
    // sent just before the close still reaches the matrix.
    void closedByClient()
    {
        QTcpSocket *peer = ConnectClient();
        QVERIFY(peer);
        QCOMPARE(client->Send("SAVE3"), 5);
        client->SetActive(false);
        QCOMPARE(events->disconnects, 1);
        QVERIFY(events->activeDuringDisconnect);
        QVERIFY(!client->Active());
        QTRY_COMPARE_WITH_TIMEOUT(peer->state(), QAbstractSocket::UnconnectedState, 5000);
        QCOMPARE(peer->readAll(), QByteArray("SAVE3"));
        QCOMPARE(events->disconnects, 1);
        QVERIFY(events->errors.isEmpty());
    }

    // A refused attempt ends silently: one connect error, no disconnect,
    // Active stays false; a later attempt on a new socket works.
    void refusedAttemptThenRetry()
    {
        const quint16 closed = ClosedPort();
        QVERIFY(closed != 0);
        client->SetAddress(QStringLiteral("127.0.0.1"));
        client->SetPort(closed);
        client->SetActive(true);
        QTRY_COMPARE_WITH_TIMEOUT(events->errors.size(), 1, 5000);
        QCOMPARE(events->errors.first().first, TErrorEvent::eeConnect);
        QCOMPARE(events->errors.first().second, ECONNREFUSED);
        QVERIFY(!client->Active());
        client->SetActive(false); // nothing to close
        QCOMPARE(events->disconnects, 0);
        QCOMPARE(events->connects, 0);
        QVERIFY(events->unhandled.isEmpty());

        client->SetPort(server.serverPort());
        client->SetActive(true);
        QVERIFY(Accept(server));
        QTRY_COMPARE_WITH_TIMEOUT(events->connects, 1, 5000);
        QVERIFY(client->Active());
        QCOMPARE(events->errors.size(), 1);
    }

    void refusedBeforeConnecting_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<TErrorEvent>("event");
        QTest::addColumn<bool>("closes");  // the attempt raises the disconnect event
        QTest::newRow("private address") << "10.0.0.1" << TErrorEvent::eeConnect << false;
        QTest::newRow("factory address") << "192.168.1.200" << TErrorEvent::eeConnect << false;
        QTest::newRow("host name") << "localhost" << TErrorEvent::eeLookup << false;
        QTest::newRow("empty") << "" << TErrorEvent::eeLookup << true;
        QTest::newRow("not dotted IPv4") << "::1" << TErrorEvent::eeLookup << false;
    }

    // Addresses the guard forbids, and addresses that are no dotted IPv4
    // address, fail as an error event without any socket being made; a code
    // the handler leaves is raised from the call.
    void refusedBeforeConnecting()
    {
        QFETCH(QString, address);
        QFETCH(TErrorEvent, event);
        QFETCH(bool, closes);
        client->SetAddress(address);
        client->SetActive(true);
        QCOMPARE(events->errors.size(), 1);
        QCOMPARE(events->errors.first().first, event);
        QVERIFY(events->errors.first().second != 0);
        QVERIFY(!client->Active());
        QVERIFY(client->findChildren<QTcpSocket *>().isEmpty());

        events->clearCodes = false;
        try {
            client->SetActive(true);
            QFAIL("an error code left by the handler must be raised");
        } catch (const mc::ESocketError &e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Asynchronous socket error %1").arg(events->errors.last().second));
        }
        QVERIFY(!client->Active());
        QVERIFY(client->findChildren<QTcpSocket *>().isEmpty());
        QCOMPARE(events->disconnects, closes ? 2 : 0);
    }

    void unhandledInEventLoop_data()
    {
        QTest::addColumn<bool>("throwOnConnect");
        QTest::addColumn<QString>("message");
        QTest::newRow("error code left") << false
                                         << QStringLiteral("Asynchronous socket error %1").arg(ECONNREFUSED);
        QTest::newRow("handler throws") << true << QStringLiteral("链路故障");
    }

    // Nothing thrown while an event is being handled escapes into the event
    // loop: it reaches OnUnhandledError.
    void unhandledInEventLoop()
    {
        QFETCH(bool, throwOnConnect);
        QFETCH(QString, message);
        client->SetAddress(QStringLiteral("127.0.0.1"));
        if (throwOnConnect) {
            client->OnConnect = [&](TClientSocket *) { throw mc::Error(message); };
            client->SetPort(server.serverPort());
        } else {
            events->clearCodes = false;
            client->SetPort(ClosedPort());
        }
        client->SetActive(true);
        QTRY_COMPARE_WITH_TIMEOUT(events->unhandled.size(), 1, 5000);
        QCOMPARE(events->unhandled.first(), message);
        QCOMPARE(client->Active(), throwOnConnect);
    }

    void sendsEveryByte()
    {
        QTcpSocket *peer = ConnectClient();
        QVERIFY(peer);
        const QByteArray frame("\xD5\x28\x01\x00\x00\x00\xFE\x01", 8);
        QCOMPARE(client->Send(frame), 8);
        QCOMPARE(client->Send(QByteArray()), 0);
        QTRY_COMPARE_WITH_TIMEOUT(peer->bytesAvailable(), qint64(8), 5000);
        QCOMPARE(peer->readAll(), frame);
    }

    // Two replies written back to back arrive with one read event.
    void repliesJoinedInOneRead()
    {
        QTcpSocket *peer = ConnectClient();
        QVERIFY(peer);
        peer->write("V:01->02;");
        QVERIFY(peer->flush());
        peer->write("V:03->04;");
        QVERIFY(peer->flush());
        QTRY_COMPARE_WITH_TIMEOUT(events->reads.size(), 1, 5000);
        QCOMPARE(events->reads.first(), QByteArray("V:01->02;V:03->04;"));
        QVERIFY(client->ReceiveAvailable().isEmpty());
    }

    void addressAndPortFixedWhileActive()
    {
        QVERIFY(ConnectClient());
        const auto refused = [](const std::function<void()> &change) {
            try {
                change();
            } catch (const mc::ESocketError &e) {
                return e.message();
            }
            return QString();
        };
        const QString message = QStringLiteral("Can't change value while socket is active");
        QCOMPARE(refused([&] { client->SetAddress(QStringLiteral("127.0.0.2")); }), message);
        QCOMPARE(refused([&] { client->SetPort(client->Port() + 1); }), message);
        QCOMPARE(refused([&] { client->SetAddress(QStringLiteral("127.0.0.1")); }), QString());
        QCOMPARE(refused([&] { client->SetPort(server.serverPort()); }), QString());
        QCOMPARE(client->Address(), QStringLiteral("127.0.0.1"));
        QVERIFY(client->Active());
    }

    // An attempt replaced by a new one before it was reported never counts:
    // one OnConnect, and it belongs to the new connection.
    void replacedAttemptIgnored()
    {
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost, 0));
        client->SetAddress(QStringLiteral("127.0.0.1"));
        client->SetPort(other.serverPort());
        client->SetActive(true);
        // Blocks without running the event loop: the old attempt's socket
        // is connected but has not told the client yet.
        QTcpSocket *oldPeer = Accept(other);
        QVERIFY(oldPeer);

        client->SetPort(server.serverPort());
        client->SetActive(true);
        QTcpSocket *peer = Accept(server);
        QVERIFY(peer);
        QTRY_COMPARE_WITH_TIMEOUT(events->connects, 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(oldPeer->state(), QAbstractSocket::UnconnectedState, 5000);
        QCOMPARE(events->connects, 1);
        QCOMPARE(events->disconnects, 0);
        QVERIFY(events->errors.isEmpty());
        QCOMPARE(client->Send("QUER00"), 6);
        QTRY_COMPARE_WITH_TIMEOUT(peer->bytesAvailable(), qint64(6), 5000);
        QCOMPARE(peer->readAll(), QByteArray("QUER00"));
        QVERIFY(oldPeer->readAll().isEmpty());
    }

    // Destroying a connected client closes the connection without OnDisconnect.
    void destroyedWhileConnected()
    {
        QTcpSocket *peer = ConnectClient();
        QVERIFY(peer);
        client.reset();
        QCOMPARE(events->disconnects, 0);
        QTRY_COMPARE_WITH_TIMEOUT(peer->state(), QAbstractSocket::UnconnectedState, 5000);
    }
};

MC_TEST_MAIN(TestClientSocket)
#include "tst_clientsocket.moc"
