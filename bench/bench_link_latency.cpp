// Latency of the send path: from LinkLayer::SendCommand to the bytes being
// readable at the matrix's end, over loopback TCP and over a pty, beside a
// plain write() on an already open socket / pty slave measured in the same
// run. Prints median and 99th percentile in microseconds; asserts nothing.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "core/pause.h"
#include "link/linklayer.h"
#include "link/loopbackguard.h"
#include "tests/support/testsupport.h"

namespace {

constexpr int kRounds = 1000;
const QByteArray kCommand("QUER00");

class QuietHost : public mc::LinkLayerHost {
public:
    QString portName;
    QString SerialPortName() override { return portName; }
    QString NetworkAddress() override { return QStringLiteral("127.0.0.1"); }
    void SetLinkLabel(const QString &) override {}
    void ShowSerialOpenFailed(const QString &name) override
    {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(name));
    }
    void DispatchReply(const QByteArray &) override {}
};

// Blocks until `count` bytes have been read from fd; false on time-out.
bool ReadExactly(int fd, int count)
{
    char buffer[256];
    while (count > 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, std::min<size_t>(sizeof buffer, size_t(count)));
        if (n <= 0)
            return false;
        count -= int(n);
    }
    return true;
}

struct Figures {
    double median = 0;
    double p99 = 0;
    int lost = 0;
};

// Times `send` followed by reading the command's bytes at `peer`.
template <typename Send> Figures Measure(int peer, Send &&send)
{
    std::vector<double> us;
    us.reserve(kRounds);
    Figures f;
    QElapsedTimer timer;
    for (int i = 0; i < kRounds; ++i) {
        timer.start();
        send();
        if (!ReadExactly(peer, kCommand.size())) {
            ++f.lost;
            continue;
        }
        us.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    if (us.empty())
        return f;
    std::sort(us.begin(), us.end());
    f.median = us[us.size() / 2];
    f.p99 = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    return f;
}

void Print(const char *what, const Figures &f)
{
    std::printf("%-34s median %8.1f us   p99 %8.1f us", what, f.median, f.p99);
    if (f.lost)
        std::printf("   (%d lost)", f.lost);
    std::printf("\n");
}

bool WaitFor(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

void BenchNetwork()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        std::printf("network: cannot listen on 127.0.0.1\n");
        return;
    }
    QuietHost host;
    mc::LinkLayer layer(host);
    layer.LinkKind = 1;
    layer.ClientSocket1.SetPort(server.serverPort());
    layer.OpenLink();
    if (!WaitFor([&] { return layer.ClientSocket1.Active() && server.hasPendingConnections(); })) {
        std::printf("network: no connection\n");
        return;
    }
    QTcpSocket *peer = server.nextPendingConnection();
    const int peerFd = int(peer->socketDescriptor());
    ReadExactly(peerFd, kCommand.size()); // the status query after link-up
    const Figures link = Measure(peerFd, [&] { layer.SendCommand(kCommand); });

    // Baseline: write() on a plain connected loopback socket.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // as Qt's socket
    ::connect(client, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    const int accepted = ::accept(listener, nullptr, nullptr);
    const Figures raw = Measure(accepted, [&] {
        if (::write(client, kCommand.constData(), size_t(kCommand.size())) < 0)
            std::perror("write");
    });
    ::close(client);
    ::close(accepted);
    ::close(listener);

    Print("TCP  LinkLayer::SendCommand", link);
    Print("TCP  write() baseline", raw);
}

void BenchSerial()
{
    mc::test::Pty pty(mc::test::Pty::Master::Blocking);
    if (!pty.IsOpen()) {
        std::printf("serial: no pty\n");
        return;
    }

    {
        QuietHost host;
        host.portName = pty.slavePath;
        mc::LinkLayer layer(host);
        layer.OpenLink();
        if (!layer.Comm1.IsOpen()) {
            std::printf("serial: port not open\n");
        } else {
            ReadExactly(pty.master, kCommand.size()); // the status query after link-up
            const Figures link = Measure(pty.master, [&] { layer.SendCommand(kCommand); });
            Print("pty  LinkLayer::SendCommand", link);
        }
    }
    const Figures base = Measure(pty.master, [&] {
        if (::write(pty.slave, kCommand.constData(), size_t(kCommand.size())) < 0)
            std::perror("write");
    });
    Print("pty  write() baseline", base);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    mc::SetLoopbackOnly(true);
    {
        const mc::test::PauseRecorder pauses; // the link-up pauses are not part of the figures
        std::printf("send latency, %d commands of %d bytes each\n", kRounds, int(kCommand.size()));
        BenchNetwork();
        BenchSerial();
    }
    return 0;
}
