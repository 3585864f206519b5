// The link layer with a recording host: the serial link on a pty pair (the
// test holds the master as the matrix), the network link against a
// QTcpServer on 127.0.0.1.
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>
#include <unistd.h>

#include "link/linklayer.h"
#include "tests/support/testsupport.h"

using mc::LinkLayer;

namespace {

class FakeHost : public mc::LinkLayerHost {
public:
    QString portName;
    QString address;
    QStringList labels;
    QStringList warnings;
    QList<int> pausesAtWarning;
    QList<QByteArray> replies;
    QStringList unhandled;
    bool failDispatch = false;
    const mc::test::PauseRecorder *pauseRecorder = nullptr;

    QString SerialPortName() override { return portName; }
    QString NetworkAddress() override { return address; }
    void SetLinkLabel(const QString &text) override { labels.append(text); }
    void ShowSerialOpenFailed(const QString &name) override
    {
        warnings.append(name);
        pausesAtWarning.append(pauseRecorder ? int(pauseRecorder->pauses.size()) : -1);
    }
    void DispatchReply(const QByteArray &text) override
    {
        replies.append(text);
        if (failDispatch)
            throw mc::Error(QStringLiteral("数据库错误"));
    }
    void ShowUnhandledError(const QString &message) override { unhandled.append(message); }
};

// Everything the server's side has received until `marker` ends it.
QByteArray ReadUntil(QTcpSocket *peer, const QByteArray &marker)
{
    QByteArray got;
    (void)QTest::qWaitFor(
        [&] {
            got += peer->readAll();
            return got.endsWith(marker);
        },
        5000);
    return got;
}

} // namespace

class TestLinkLayer : public QObject {
    Q_OBJECT

    std::unique_ptr<mc::test::PauseRecorder> pauses;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<LinkLayer> layer;
    QTcpServer server;
    std::unique_ptr<mc::test::Pty> pty; // the matrix's end of the serial link

    bool OpenPty()
    {
        pty = std::make_unique<mc::test::Pty>();
        if (!pty->IsOpen())
            return false;
        host->portName = pty->slavePath;
        return true;
    }

    // Opens the serial link on the pty and takes the status query off the line.
    bool OpenSerial()
    {
        if (!OpenPty())
            return false;
        layer->LinkKind = 0;
        layer->OpenSerialLink();
        return layer->Comm1.IsOpen() && pty->ReadUntil("QUER00") == "QUER00";
    }

    // Opens the network link to the server; returns the server's side once
    // the status query has arrived there.
    QTcpSocket *OpenNetwork(int kind = 1)
    {
        host->address = QStringLiteral("127.0.0.1");
        layer->ClientSocket1.SetPort(server.serverPort());
        layer->LinkKind = kind;
        layer->OpenLink();
        if (!server.waitForNewConnection(5000))
            return nullptr;
        QTcpSocket *peer = server.nextPendingConnection();
        if (ReadUntil(peer, "QUER00") != "QUER00")
            return nullptr;
        return peer;
    }

private slots:
    void init()
    {
        pauses = std::make_unique<mc::test::PauseRecorder>();
        host = std::make_unique<FakeHost>();
        host->pauseRecorder = pauses.get();
        layer = std::make_unique<LinkLayer>(*host);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    }

    void cleanup()
    {
        layer.reset();
        host.reset();
        pauses.reset();
        server.close();
        pty.reset();
    }

    void defaults()
    {
        QCOMPARE(layer->LinkKind, 0);
        QCOMPARE(layer->ClientSocket1.Port(), 10008);
        QCOMPARE(layer->ClientSocket1.Address(), QStringLiteral("192.168.1.200"));
        QVERIFY(!layer->ClientSocket1.Active());
        QCOMPARE(layer->Comm1.CommName(), QStringLiteral("COM2"));
        QVERIFY(!layer->Comm1.IsOpen());
    }

    // Opening, and opening again, shows the port as connected before the
    // attempt and puts the status query on the line after the pauses.
    void serialLinkOpensAndQueries()
    {
        QVERIFY(OpenSerial());
        QCOMPARE(host->labels, QStringList{QStringLiteral("已连接") + pty->slavePath});
        QCOMPARE(pauses->pauses, (QList<int>{300, 300, 200}));
        QVERIFY(host->warnings.isEmpty());

        layer->OpenSerialLink();
        QCOMPARE(pty->ReadUntil("QUER00"), QByteArray("QUER00"));
        QCOMPARE(host->labels, QStringList(2, QStringLiteral("已连接") + pty->slavePath));
        QCOMPARE(pauses->pauses, (QList<int>{300, 300, 200, 300, 300, 200}));
    }

    // A port that cannot be opened: "断开" label, one warning before the
    // pauses, and the query still runs (and is dropped by the closed port).
    void serialOpenFails()
    {
        const QString name = QStringLiteral("/nonexistent/ttyMC0");
        host->portName = name;
        layer->OpenSerialLink();
        QCOMPARE(host->labels, (QStringList{QStringLiteral("已连接") + name, QStringLiteral("断开") + name}));
        QCOMPARE(host->warnings, QStringList{name});
        QCOMPARE(host->pausesAtWarning, QList<int>{0});
        QCOMPARE(pauses->pauses, (QList<int>{300, 300, 200}));
        QVERIFY(!layer->Comm1.IsOpen());
        layer->SendCommand("CALL1");
    }

    void networkLinkOpensAndQueries_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("kind 1") << 1;
        QTest::newRow("kind 2") << 2;
        QTest::newRow("kind -1") << -1;
    }

    // Any non-zero link kind opens the network; the status query follows the
    // connection; a close by the matrix shows "断开" and later sends are lost.
    void networkLinkOpensAndQueries()
    {
        QFETCH(int, kind);
        QTcpSocket *peer = OpenNetwork(kind);
        QVERIFY(peer);
        QCOMPARE(host->labels,
                 (QStringList{QStringLiteral("断开127.0.0.1"), QStringLiteral("已连接127.0.0.1")}));
        QCOMPARE(pauses->pauses, (QList<int>{300, 200}));

        layer->SendCommand("3*5!");
        QCOMPARE(ReadUntil(peer, "3*5!"), QByteArray("3*5!"));

        peer->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(host->labels.size(), 3, 5000);
        QCOMPARE(host->labels.last(), QStringLiteral("断开127.0.0.1"));
        QVERIFY(!layer->ClientSocket1.Active());
        layer->SendCommand("CALL2");
        QVERIFY(host->unhandled.isEmpty());
    }

    // Reopening while connected closes the old connection first (its
    // disconnect shows "断开") and queries again on the new one.
    void networkLinkReopened()
    {
        QTcpSocket *first = OpenNetwork();
        QVERIFY(first);
        layer->OpenNetworkLink();
        QVERIFY(server.waitForNewConnection(5000));
        QTcpSocket *second = server.nextPendingConnection();
        QCOMPARE(ReadUntil(second, "QUER00"), QByteArray("QUER00"));
        QCOMPARE(host->labels,
                 (QStringList{"断开127.0.0.1", "已连接127.0.0.1", "断开127.0.0.1", "断开127.0.0.1",
                              "已连接127.0.0.1"}));
        QTRY_COMPARE_WITH_TIMEOUT(first->state(), QAbstractSocket::UnconnectedState, 5000);
    }

    void networkFailureShowsNothing_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("closedPort");
        QTest::newRow("factory address (refused by the guard)") << "192.168.1.200" << false;
        QTest::newRow("nobody listening") << "127.0.0.1" << true;
        QTest::newRow("not an address") << "matrix" << false;
    }

    // Failed attempts are never shown: the label keeps "断开" + address and
    // every error code is cleared.
    void networkFailureShowsNothing()
    {
        QFETCH(QString, address);
        QFETCH(bool, closedPort);
        if (closedPort) {
            const quint16 port = server.serverPort();
            server.close();
            layer->ClientSocket1.SetPort(port);
        }
        int errors = 0;
        int codeLeft = -1;
        const auto handler = layer->ClientSocket1.OnError;
        layer->ClientSocket1.OnError = [&](mc::TClientSocket *sender, mc::TErrorEvent event, int &code) {
            handler(sender, event, code);
            ++errors;
            codeLeft = code;
        };
        host->address = address;
        layer->LinkKind = 1;
        layer->OpenLink();
        QTRY_COMPARE_WITH_TIMEOUT(errors, 1, 5000);
        QCOMPARE(codeLeft, 0);
        QCOMPARE(host->labels, QStringList{QStringLiteral("断开") + address});
        QVERIFY(!layer->ClientSocket1.Active());
        QVERIFY(host->warnings.isEmpty());
        QVERIFY(host->unhandled.isEmpty());
        QVERIFY(pauses->pauses.isEmpty());
    }

    void sentWhole_data()
    {
        QTest::addColumn<bool>("network");
        QTest::addColumn<QByteArray>("text");
        const QByteArray zero("QU\0ER00", 7);
        QByteArray large(70000, 'x');
        for (int i = 0; i < large.size(); ++i)
            large[i] = char('A' + i % 26);
        QTest::newRow("serial, byte 0 inside") << false << zero;
        QTest::newRow("network, byte 0 inside") << true << zero;
        QTest::newRow("serial, empty") << false << QByteArray();
        QTest::newRow("network, empty") << true << QByteArray();
        QTest::newRow("serial, over 65535 bytes") << false << large;
        QTest::newRow("network, over 65535 bytes") << true << large;
    }

    // The send path passes every byte unchanged, and nothing for an empty string.
    void sentWhole()
    {
        QFETCH(bool, network);
        QFETCH(QByteArray, text);
        const QByteArray end("END");
        if (network) {
            QTcpSocket *peer = OpenNetwork();
            QVERIFY(peer);
            layer->SendCommand(text);
            layer->SendCommand(end);
            QCOMPARE(ReadUntil(peer, end), text + end);
        } else {
            QVERIFY(OpenSerial());
            layer->SendCommand(text);
            layer->SendCommand(end);
            QCOMPARE(pty->ReadUntil(end), text + end);
        }
    }

    void receivedBlock_data()
    {
        QTest::addColumn<bool>("network");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QByteArray>("dispatched");
        const QByteArray reply("  V:01->02;\r\n");
        QByteArray large;
        while (large.size() < 1500)
            large += "V:01->02;";
        large.truncate(1500);
        QTest::newRow("serial, spaces and line end trimmed") << false << reply << QByteArray("V:01->02;");
        QTest::newRow("network, as received") << true << reply << reply;
        QTest::newRow("serial, control bytes and NUL at the ends")
            << false << QByteArray("\0\x01 V:01\0->02; \x1F", 15) << QByteArray("V:01\0->02;", 10);
        QTest::newRow("serial, GBK bytes at the ends kept")
            << false << QByteArray("\xD6\xD0 1 \xCE\xC4") << QByteArray("\xD6\xD0 1 \xCE\xC4");
        QTest::newRow("serial, 1500 bytes whole") << false << large << large;
    }

    // Each received block reaches DispatchReply by itself.
    void receivedBlock()
    {
        QFETCH(bool, network);
        QFETCH(QByteArray, block);
        QFETCH(QByteArray, dispatched);
        if (network) {
            QTcpSocket *peer = OpenNetwork();
            QVERIFY(peer);
            peer->write(block);
            QVERIFY(peer->flush());
        } else {
            QVERIFY(OpenSerial());
            QCOMPARE(::write(pty->master, block.constData(), size_t(block.size())), ssize_t(block.size()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(host->replies.size(), 1, 5000);
        QCOMPARE(host->replies.first(), dispatched);
    }

    // Only sends follow the link kind: after a change to serial the network
    // connection stays up and its replies are still dispatched; the refresh
    // button's second query goes straight to the network whatever the kind.
    void linkKindChangeKeepsNetwork()
    {
        QTcpSocket *peer = OpenNetwork();
        QVERIFY(peer);
        QVERIFY(OpenSerial());
        QVERIFY(layer->ClientSocket1.Active());
        QCOMPARE(layer->LinkKind, 0);

        peer->write("V:01->05;");
        QVERIFY(peer->flush());
        QTRY_COMPARE_WITH_TIMEOUT(host->replies, QList<QByteArray>{"V:01->05;"}, 5000);

        layer->RefreshStatus();
        QCOMPARE(pty->ReadUntil("QUER00"), QByteArray("QUER00"));
        QCOMPARE(ReadUntil(peer, "QUER00"), QByteArray("QUER00"));

        layer->LinkKind = 1;
        layer->RefreshStatus();
        QCOMPARE(ReadUntil(peer, "QUER00QUER00"), QByteArray("QUER00QUER00"));
        layer->SendCommand("END");
        QCOMPARE(ReadUntil(peer, "END"), QByteArray("END"));
        layer->LinkKind = 0;
        layer->SendCommand("MARK");
        QCOMPARE(pty->ReadUntil("MARK"), QByteArray("MARK"));
    }

    void replyErrorsReachHost_data()
    {
        QTest::addColumn<bool>("network");
        QTest::newRow("serial") << false;
        QTest::newRow("network") << true;
    }

    // An error raised while a reply is dispatched goes to the host, not into
    // the event loop.
    void replyErrorsReachHost()
    {
        QFETCH(bool, network);
        host->failDispatch = true;
        if (network) {
            QTcpSocket *peer = OpenNetwork();
            QVERIFY(peer);
            peer->write("V:01->02;");
            QVERIFY(peer->flush());
        } else {
            QVERIFY(OpenSerial());
            QCOMPARE(::write(pty->master, "V:01->02;", 9), ssize_t(9));
        }
        QTRY_COMPARE_WITH_TIMEOUT(host->unhandled, QStringList{QStringLiteral("数据库错误")}, 5000);
    }
};

MC_TEST_MAIN(TestLinkLayer)
#include "tst_linklayer.moc"
