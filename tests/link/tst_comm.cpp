// The serial port component on a pty pair: the test holds the master side as
// the matrix, the component opens the slave. Covers how received bytes are cut
// into blocks, the write queue and its "queue empty" notification, hang-up,
// every open failure, which settings reach the port while it is open, flow
// control holding a write, and closing or destroying with notifications still
// queued.
#include "tests/support/testsupport.h"

#include "link/comm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryFile>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include <termios.h>
#include <unistd.h>

using mc::comm::testing::OpenFault;

namespace {

using mc::test::Pty;

// Everything the component raised, filled by its event handlers.
struct Recorder {
    explicit Recorder(TComm &comm)
    {
        comm.OnReceiveData = [this](TComm *, const char *buffer, quint16 length) {
            blocks.append(QByteArray(buffer, length));
            if (buffer[length] != 0)
                allZeroTerminated = false;
        };
        comm.OnSendDataEmpty = [this](TComm *) { ++sendEmpty; };
        comm.OnRequestHangup = [this](TComm *) { ++hangups; };
        comm.OnReceiveError = [this](TComm *, quint32) { ++lineEvents; };
        comm.OnModemStateChange = [this](TComm *, quint32) { ++lineEvents; };
    }
    QByteArray Joined() const { return blocks.join(); }

    QList<QByteArray> blocks;
    bool allZeroTerminated = true;
    int sendEmpty = 0;
    int hangups = 0;
    int lineEvents = 0;
};

// Bytes the matrix might send, avoiding XON (17) and XOFF (19), which the
// line discipline takes out of the input while XON/XOFF flow is on.
QByteArray pattern(int size, char first = 'A')
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(first + i % 26);
    return bytes;
}

void openOn(TComm &comm, const Pty &pty)
{
    comm.SetCommName(pty.slavePath);
    comm.OpenPort();
}

// Stops the port's output with an XOFF from the matrix. The line discipline
// handles the XOFF before the marker after it, so once the marker has arrived
// the output is stopped.
void stopOutput(const Pty &pty, Recorder &rec, const QByteArray &marker)
{
    QVERIFY(pty.Send(QByteArray("\x13") + marker));
    QTRY_VERIFY_WITH_TIMEOUT(rec.Joined().endsWith(marker), 5000);
}

// The port answers both ways: the matrix's bytes arrive, and ours reach it.
void verifyWorking(TComm &comm, const Pty &pty, Recorder &rec)
{
    QVERIFY(comm.IsOpen());
    rec.blocks.clear();
    QVERIFY(pty.Send("V:01->02;"));
    QTRY_COMPARE_WITH_TIMEOUT(rec.Joined(), QByteArray("V:01->02;"), 5000);
    QVERIFY(comm.WriteData("QUER00", 6));
    QCOMPARE(pty.Receive(6), QByteArray("QUER00"));
}

} // namespace

Q_DECLARE_METATYPE(TByteSize)
Q_DECLARE_METATYPE(TParity)
Q_DECLARE_METATYPE(TStopBits)
Q_DECLARE_METATYPE(OpenFault)

class TestComm : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void receiveBlocks_data();
    void receiveBlocks();
    void writesInOrderAndReportsEmptyQueue();
    void sendsZeroByteWholeRightAfterOpen();
    void refusesWritesWhenClosedOrEmpty();
    void threadPriorities();
    void hangupKeepsPortOpenUntilClosed();
    void openFailures_data();
    void openFailures();
    void lineSettingsAtOpen_data();
    void lineSettingsAtOpen();
    void settingsWhileOpen();
    void xoffHoldsWriteUntilXonOrClose();
    void queuedNotificationsOnClose_data();
    void queuedNotificationsOnClose();
};

void TestComm::defaults()
{
    TComm comm;
    QCOMPARE(comm.CommName(), QString("COM2"));
    QCOMPARE(comm.BaudRate(), 9600u);
    QCOMPARE(comm.ParityCheck(), false);
    QCOMPARE(comm.Outx_CtsFlow(), false);
    QCOMPARE(comm.Outx_DsrFlow(), false);
    QCOMPARE(comm.DtrControl(), TDtrControl::DtrEnable);
    QCOMPARE(comm.DsrSensitivity(), false);
    QCOMPARE(comm.TxContinueOnXoff(), true);
    QCOMPARE(comm.Outx_XonXoffFlow(), true);
    QCOMPARE(comm.Inx_XonXoffFlow(), true);
    QCOMPARE(comm.ReplaceWhenParityError(), false);
    QCOMPARE(comm.IgnoreNullChar(), false);
    QCOMPARE(comm.RtsControl(), TRtsControl::RtsEnable);
    QCOMPARE(comm.XonLimit(), quint16(500));
    QCOMPARE(comm.XoffLimit(), quint16(500));
    QCOMPARE(comm.ByteSize(), TByteSize::_8);
    QCOMPARE(comm.Parity(), TParity::None);
    QCOMPARE(comm.StopBits(), TStopBits::_1);
    QCOMPARE(comm.XonChar(), char(17));
    QCOMPARE(comm.XoffChar(), char(19));
    QCOMPARE(comm.ReplacedChar(), char(0));
    QCOMPARE(comm.ReadIntervalTimeout(), 100u);
    QCOMPARE(comm.ReadTotalTimeoutMultiplier(), 0u);
    QCOMPARE(comm.ReadTotalTimeoutConstant(), 0u);
    QCOMPARE(comm.WriteTotalTimeoutMultiplier(), 0u);
    QCOMPARE(comm.WriteTotalTimeoutConstant(), 0u);
    QVERIFY(!comm.IsOpen());
    QVERIFY(!comm.OnReceiveData && !comm.OnReceiveError && !comm.OnModemStateChange
            && !comm.OnRequestHangup && !comm.OnSendDataEmpty);
}

void TestComm::receiveBlocks_data()
{
    QTest::addColumn<QList<QByteArray>>("bursts"); // sent with a 250 ms pause between
    QTest::addColumn<bool>("ignoreNull");
    QTest::addColumn<QList<QByteArray>>("expected");

    const QByteArray big = pattern(3000);
    QTest::newRow("300 bytes in one block") << QList<QByteArray>{pattern(300)} << false
                                            << QList<QByteArray>{pattern(300)};
    QTest::newRow("3000 bytes as 2048 + 952") << QList<QByteArray>{big} << false
                                              << QList<QByteArray>{big.left(2048), big.mid(2048)};
    QTest::newRow("pause over 100 ms splits a reply")
        << QList<QByteArray>{"V:01->", "02;"} << false << QList<QByteArray>{"V:01->", "02;"};
    QTest::newRow("0 bytes kept") << QList<QByteArray>{QByteArray("a\0b\0", 4)} << false
                                  << QList<QByteArray>{QByteArray("a\0b\0", 4)};
    QTest::newRow("0 bytes dropped with IgnoreNullChar")
        << QList<QByteArray>{QByteArray("a\0b\0", 4)} << true << QList<QByteArray>{"ab"};
}

void TestComm::receiveBlocks()
{
    QFETCH(QList<QByteArray>, bursts);
    QFETCH(bool, ignoreNull);
    QFETCH(QList<QByteArray>, expected);

    Pty pty;
    TComm comm;
    Recorder rec(comm);
    comm.SetIgnoreNullChar(ignoreNull);
    openOn(comm, pty);
    for (int i = 0; i < bursts.size(); ++i) {
        if (i > 0)
            QTest::qWait(250); // the silence that ends a block
        QVERIFY(pty.Send(bursts[i]));
    }
    QTRY_COMPARE_WITH_TIMEOUT(rec.blocks.size(), expected.size(), 5000);
    QCOMPARE(rec.blocks, expected);
    QVERIFY(rec.allZeroTerminated);
    QCOMPARE(rec.lineEvents, 0); // a pty has no modem lines or error counters
    QCOMPARE(rec.hangups, 0);
}

void TestComm::writesInOrderAndReportsEmptyQueue()
{
    Pty pty;
    TComm comm;
    Recorder rec(comm);
    openOn(comm, pty);
    QTRY_COMPARE_WITH_TIMEOUT(rec.sendEmpty, 1, 5000); // once after the open, nothing written

    // With the output held by XOFF the whole run queues up behind the first
    // block; once released it goes out in order with one notification.
    stopOutput(pty, rec, "M");
    if (QTest::currentTestFailed())
        return;
    const QList<QByteArray> run{pattern(65535, 'a'), "1*2!", "3*4!", pattern(5000), "QUER00"};
    for (const QByteArray &block : run)
        QVERIFY(comm.WriteData(block.constData(), quint16(block.size())));
    QVERIFY(pty.Send("\x11"));
    const QByteArray all = run.join();
    QCOMPARE(pty.Receive(all.size()), all);
    QTRY_COMPARE_WITH_TIMEOUT(rec.sendEmpty, 2, 5000);
    QTest::qWait(100);
    QCOMPARE(rec.sendEmpty, 2);
}

void TestComm::sendsZeroByteWholeRightAfterOpen()
{
    Pty pty;
    TComm comm;
    openOn(comm, pty);
    // Queued before the writer has looked at its queue: still accepted.
    const QByteArray frame("\xD5\x28\x01\x00\x00\x00\xFE\x01", 8);
    QVERIFY(comm.WriteData(frame.constData(), quint16(frame.size())));
    QCOMPARE(pty.Receive(frame.size()), frame);
}

void TestComm::refusesWritesWhenClosedOrEmpty()
{
    Pty pty;
    TComm comm;
    QVERIFY(!comm.WriteData("1*2!", 4)); // closed
    openOn(comm, pty);
    QVERIFY(!comm.WriteData("1*2!", 0));
    comm.ClosePort();
    QVERIFY(!comm.IsOpen());
    QVERIFY(!comm.WriteData("1*2!", 4));
    comm.ClosePort(); // closing a closed port does nothing
    QCOMPARE(pty.Receive(1, 200), QByteArray());
}

namespace {
// The nice values of this process's threads, from /proc.
QList<int> ThreadNiceValues()
{
    QList<int> values;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // Fields after the command name, which ends with the last ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        values.append(fields.value(16).toInt()); // field 19: nice
    }
    std::sort(values.begin(), values.end());
    return values;
}
} // namespace

// The reader runs two steps and the writer one step above the rest of the
// program, where the system lets the process raise them.
void TestComm::threadPriorities()
{
    if (::geteuid() != 0)
        QSKIP("raising thread priorities needs root");
    const QList<int> before = ThreadNiceValues();
    Pty pty;
    TComm comm;
    openOn(comm, pty);
    const int normal = before.value(0);
    QTRY_COMPARE_WITH_TIMEOUT(ThreadNiceValues().mid(0, 2), (QList<int>{normal - 2, normal - 1}), 5000);
    QCOMPARE(ThreadNiceValues().size(), before.size() + 2);
    comm.ClosePort();
    QCOMPARE(ThreadNiceValues(), before);
}

void TestComm::hangupKeepsPortOpenUntilClosed()
{
    Pty pty;
    TComm comm;
    Recorder rec(comm);
    openOn(comm, pty);
    pty.CloseMaster(); // the cable is pulled
    QTRY_VERIFY_WITH_TIMEOUT(rec.hangups >= 1, 5000);
    QVERIFY(comm.IsOpen());
    // The writer finds out at its next write; after that writes are refused.
    QTRY_VERIFY_WITH_TIMEOUT(!comm.WriteData("x", 1), 5000);
    QVERIFY(comm.IsOpen());
    comm.ClosePort();
    QVERIFY(!comm.IsOpen());
}

void TestComm::openFailures_data()
{
    QTest::addColumn<QString>("name");     // empty: the pty slave
    QTest::addColumn<bool>("openFirst");   // open the pty before the failing call
    QTest::addColumn<OpenFault>("fault");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing device") << "/nonexistent/ttyX" << false << OpenFault::None
                                    << "Error opening serial port";
    QTest::newRow("regular file") << "<file>" << false << OpenFault::None
                                  << "File handle is not a comm handle ";
    QTest::newRow("already open") << "" << true << OpenFault::None
                                  << "This serial port already opened";
    QTest::newRow("in use by another program") << "" << false << OpenFault::PortInUse
                                               << "Error opening serial port";
    QTest::newRow("buffer step") << "" << false << OpenFault::Buffer << "Cannot setup comm buffer";
    QTest::newRow("close event") << "" << false << OpenFault::Event << "Unable to create event";
    QTest::newRow("reader") << "" << false << OpenFault::ReadThread << "Unable to create read thread";
    QTest::newRow("writer") << "" << false << OpenFault::WriteThread
                            << "Unable to create write thread";
}

void TestComm::openFailures()
{
    QFETCH(QString, name);
    QFETCH(bool, openFirst);
    QFETCH(OpenFault, fault);
    QFETCH(QString, message);

    Pty pty;
    QTemporaryFile file;
    QVERIFY(file.open());
    const termios before = pty.SlaveTermios();
    TComm comm;
    Recorder rec(comm);
    if (openFirst)
        openOn(comm, pty);
    comm.SetCommName(name.isEmpty() ? pty.slavePath : name == "<file>" ? file.fileName() : name);
    mc::comm::testing::FailNextOpen(fault);
    try {
        comm.OpenPort();
        QFAIL("OpenPort did not fail");
    } catch (const mc::ECommsError &e) {
        QCOMPARE(e.message(), message);
    }
    if (openFirst) {
        verifyWorking(comm, pty, rec);
        return;
    }
    QVERIFY(!comm.IsOpen());
    QVERIFY(!comm.WriteData("1*2!", 4));
    const termios after = pty.SlaveTermios();
    QCOMPARE(after.c_iflag, before.c_iflag); // a failed open leaves the port as it was
    QCOMPARE(after.c_cflag, before.c_cflag);
    // The failed attempt released everything: the next open works.
    openOn(comm, pty);
    verifyWorking(comm, pty, rec);
    QCOMPARE(rec.hangups, 0);
}

void TestComm::lineSettingsAtOpen_data()
{
    QTest::addColumn<TByteSize>("byteSize");
    QTest::addColumn<TParity>("parity");
    QTest::addColumn<TStopBits>("stopBits");
    QTest::addColumn<uint>("cflag"); // parity kind and stop bits expected

    // A pty always reports 8 data bits and clears PARENB, so what shows here
    // is the parity kind (PARODD, CMSPAR) and the stop bits.
    QTest::newRow("8N1") << TByteSize::_8 << TParity::None << TStopBits::_1 << 0u;
    QTest::newRow("7O1") << TByteSize::_7 << TParity::Odd << TStopBits::_1 << uint(PARODD);
    QTest::newRow("7E2") << TByteSize::_7 << TParity::Even << TStopBits::_2 << uint(CSTOPB);
    QTest::newRow("6 mark 1.5 as 2") << TByteSize::_6 << TParity::Mark << TStopBits::_1_5
                                     << uint(PARODD | CMSPAR | CSTOPB);
    QTest::newRow("5 space 1") << TByteSize::_5 << TParity::Space << TStopBits::_1 << uint(CMSPAR);
}

void TestComm::lineSettingsAtOpen()
{
    QFETCH(TByteSize, byteSize);
    QFETCH(TParity, parity);
    QFETCH(TStopBits, stopBits);
    QFETCH(uint, cflag);

    Pty pty;
    termios original = pty.SlaveTermios();
    original.c_lflag |= ICANON | ECHO; // something the component must undo and put back
    ::cfsetospeed(&original, B38400);
    ::tcsetattr(pty.slave, TCSANOW, &original);

    TComm comm;
    comm.SetByteSize(byteSize);
    comm.SetParity(parity);
    comm.SetStopBits(stopBits);
    openOn(comm, pty);
    const termios t = pty.SlaveTermios();
    QCOMPARE(::cfgetospeed(&t), speed_t(B9600));
    QCOMPARE(uint(t.c_cflag & (PARODD | CMSPAR | CSTOPB)), cflag);
    QVERIFY(t.c_cflag & CLOCAL && t.c_cflag & CREAD);
    QVERIFY(!(t.c_cflag & CRTSCTS));
    QCOMPARE(uint(t.c_iflag & (IXON | IXOFF | IXANY)), uint(IXON | IXOFF));
    QCOMPARE(t.c_cc[VSTART], cc_t(17));
    QCOMPARE(t.c_cc[VSTOP], cc_t(19));
    QCOMPARE(t.c_cc[VMIN], cc_t(0));
    QCOMPARE(t.c_cc[VTIME], cc_t(0));
    QVERIFY(!(t.c_lflag & (ICANON | ECHO)));

    comm.ClosePort(); // puts the port's own settings back
    const termios restored = pty.SlaveTermios();
    QCOMPARE(restored.c_lflag, original.c_lflag);
    QCOMPARE(restored.c_iflag, original.c_iflag);
    QCOMPARE(restored.c_cflag, original.c_cflag);
    QCOMPARE(::cfgetospeed(&restored), speed_t(B38400));
}

void TestComm::settingsWhileOpen()
{
    Pty pty;
    TComm comm;
    Recorder rec(comm);
    openOn(comm, pty);

    comm.SetBaudRate(19200); // re-applied at once
    QCOMPARE(pty.SlaveSpeed(), speed_t(B19200));
    comm.SetOutx_XonXoffFlow(false);
    QVERIFY(!(pty.SlaveTermios().c_iflag & IXON));
    QVERIFY(pty.SlaveTermios().c_iflag & IXOFF);

    comm.SetBaudRate(14400); // no such termios rate: refused, the port keeps its speed
    QCOMPARE(pty.SlaveSpeed(), speed_t(B19200));
    QCOMPARE(comm.BaudRate(), 14400u);
    comm.SetBaudRate(19200);

    comm.SetParity(TParity::Odd); // stored only (a pty shows PARODD, not PARENB)
    QCOMPARE(comm.Parity(), TParity::Odd);
    QVERIFY(!(pty.SlaveTermios().c_cflag & PARODD));

    // Set behind the component's back: assigning an equal value leaves it.
    termios t = pty.SlaveTermios();
    ::cfsetospeed(&t, B4800);
    ::tcsetattr(pty.slave, TCSANOW, &t);
    comm.SetBaudRate(19200);
    QCOMPARE(pty.SlaveSpeed(), speed_t(B4800));

    // A shorter read interval splits what the default would have joined.
    comm.SetReadIntervalTimeout(20);
    QVERIFY(pty.Send("V:01->"));
    QTRY_COMPARE_WITH_TIMEOUT(rec.blocks.size(), 1, 5000);
    QTest::qWait(70);
    QVERIFY(pty.Send("02;"));
    QTRY_COMPARE_WITH_TIMEOUT(rec.blocks, (QList<QByteArray>{"V:01->", "02;"}), 5000);

    comm.ClosePort();
    openOn(comm, pty);
    const termios reopened = pty.SlaveTermios();
    QVERIFY(reopened.c_cflag & PARODD);
    QCOMPARE(::cfgetospeed(&reopened), speed_t(B19200));
}

void TestComm::xoffHoldsWriteUntilXonOrClose()
{
    Pty pty;
    TComm comm;
    Recorder rec(comm);
    openOn(comm, pty);
    stopOutput(pty, rec, "M1");
    if (QTest::currentTestFailed())
        return;
    QVERIFY(comm.WriteData("1*2!", 4));
    QCOMPARE(pty.Receive(1, 300), QByteArray()); // held
    QVERIFY(pty.Send("\x11"));                   // XON
    QCOMPARE(pty.Receive(4), QByteArray("1*2!"));

    stopOutput(pty, rec, "M2");
    if (QTest::currentTestFailed())
        return;
    QVERIFY(comm.WriteData("3*4!", 4));
    QCOMPARE(pty.Receive(1, 200), QByteArray());
    QElapsedTimer timer;
    timer.start();
    comm.ClosePort();
    QVERIFY2(timer.elapsed() < 5000, "ClosePort waited for the held write");
    QVERIFY(!comm.IsOpen());
}

void TestComm::queuedNotificationsOnClose_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("ClosePort") << false;
    QTest::newRow("destructor while open") << true;
}

void TestComm::queuedNotificationsOnClose()
{
    QFETCH(bool, destroy);
    Pty pty;
    const termios before = pty.SlaveTermios();
    QList<QByteArray> received;
    int lineEvents = 0;
    auto comm = std::make_unique<TComm>();
    comm->OnReceiveData = [&](TComm *, const char *data, quint16 count) { received.append(QByteArray(data, count)); };
    comm->OnSendDataEmpty = [&](TComm *) { ++lineEvents; };
    openOn(*comm, pty);
    QVERIFY(pty.Send("V:01->02;"));
    // Without running the event loop, give the reader time to end the block
    // (100 ms of silence) and post it; the writer has posted "queue empty".
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    if (destroy)
        comm.reset();
    else
        comm->ClosePort();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    // The closed session's line events are gone; bytes that had arrived
    // still reach a component that lives on, and none reach a destroyed one.
    QCOMPARE(lineEvents, 0);
    QCOMPARE(received, destroy ? QList<QByteArray>() : QList<QByteArray>{QByteArray("V:01->02;")});
    const termios after = pty.SlaveTermios();
    QCOMPARE(after.c_cflag, before.c_cflag); // the port was closed and restored
    QCOMPARE(after.c_iflag, before.c_iflag);
    if (!destroy) {
        openOn(*comm, pty); // and a new session raises its own events
        QTRY_VERIFY_WITH_TIMEOUT(lineEvents >= 1, 5000);
    }
}

MC_TEST_MAIN(TestComm)
#include "tst_comm.moc"
