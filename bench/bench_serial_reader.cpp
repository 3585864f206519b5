// Reader throughput of the serial component: a pty pair, the master streams
// bursts of bytes as fast as the pty takes them, the component delivers them
// to OnReceiveData on the UI thread. Prints MB/s, the blocks received and the
// bytes lost or changed on the way (both must be 0). Never fails on time.
#include "link/comm.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

// Letters only: XON/XOFF bytes would be taken out of the input by the port's
// flow control, which stays on as the program uses it.
char patternByte(quint64 index)
{
    return char('A' + index % 26);
}

struct Result {
    double seconds = 0;
    quint64 received = 0;
    quint64 blocks = 0;
    quint64 changed = 0;
    quint16 largestBlock = 0;
    bool timedOut = false;
};

Result run(quint64 total, size_t burst)
{
    mc::test::Pty pty(mc::test::Pty::Master::Blocking);
    if (!pty.IsOpen())
        std::exit(1);

    Result result;
    TComm comm;
    comm.SetCommName(pty.slavePath);
    comm.OnReceiveData = [&](TComm *, const char *buffer, quint16 length) {
        for (quint16 i = 0; i < length; ++i)
            if (buffer[i] != patternByte(result.received + i))
                ++result.changed;
        result.received += length;
        ++result.blocks;
        if (length > result.largestBlock)
            result.largestBlock = length;
        if (result.received >= total)
            QCoreApplication::exit(0);
    };
    comm.OpenPort();

    QElapsedTimer timer;
    timer.start();
    std::thread matrix([&] {
        std::vector<char> bytes(burst);
        quint64 sent = 0;
        while (sent < total) {
            const size_t n = size_t(std::min<quint64>(burst, total - sent));
            for (size_t i = 0; i < n; ++i)
                bytes[i] = patternByte(sent + i);
            size_t done = 0;
            while (done < n) {
                const ssize_t w = ::write(pty.master, bytes.data() + done, n - done);
                if (w > 0)
                    done += size_t(w);
                else if (w < 0 && errno != EINTR && errno != EAGAIN)
                    return;
            }
            sent += n;
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        result.timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(120000);
    QCoreApplication::exec();
    result.seconds = timer.nsecsElapsed() / 1e9;
    comm.ClosePort(); // also unblocks nothing: the matrix thread has sent all
    matrix.join();
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const quint64 total = 16ull * 1024 * 1024;
    std::printf("serial reader on a pty, %llu bytes per run, 9600 8N1 XON/XOFF settings\n",
                (unsigned long long)total);
    std::printf("%10s %10s %10s %12s %12s %12s\n", "burst", "MB/s", "blocks", "largest", "bytes lost",
                "bytes wrong");
    for (size_t burst : {size_t(300), size_t(4096), size_t(65536)}) {
        const Result r = run(total, burst);
        const quint64 lost = r.received < total ? total - r.received : 0;
        std::printf("%10zu %10.1f %10llu %12u %12llu %12llu%s\n", burst,
                    r.received / (1024.0 * 1024.0) / r.seconds, (unsigned long long)r.blocks,
                    unsigned(r.largestBlock), (unsigned long long)lost,
                    (unsigned long long)r.changed, r.timedOut ? "  (timed out)" : "");
    }
    return 0;
}
