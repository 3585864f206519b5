// TComm, platform part for Linux (POSIX termios). Every Linux-only call of the
// serial component lives in this file.
//
// How the port's settings map onto termios:
//  - raw mode (cfmakeraw), CLOCAL|CREAD, VMIN = VTIME = 0; the reader waits
//    with poll() and builds blocks from the read time-outs itself.
//  - BaudRate: the standard termios rates; a rate termios has no constant for
//    (e.g. 14400) is refused like a driver refusal: the port keeps its
//    previous settings and nothing is reported.
//  - ByteSize CS5..CS8; Parity Odd/Even/Mark/Space with PARENB, PARODD and
//    CMSPAR; ParityCheck is INPCK; StopBits 1 clears CSTOPB, 1.5 and 2 set it
//    (Linux has no 1.5 stop bits).
//  - Outx_CtsFlow or RtsControl = RtsHandshake: CRTSCTS (Linux handles both
//    directions together).
//  - DtrControl DtrEnable/DtrDisable and RtsControl RtsEnable/RtsDisable raise
//    or drop the lines (TIOCMBIS/TIOCMBIC); a device without modem lines (a
//    pty) answers EINVAL/ENOTTY, which is not a failure.
//  - XON/XOFF last: IXON from Outx_XonXoffFlow, IXOFF from Inx_XonXoffFlow,
//    VSTART/VSTOP from XonChar/XoffChar, never IXANY (output resumes on XON
//    only).
//  - Stored but not settable on Linux: XonLimit and XoffLimit (the line
//    discipline's thresholds are fixed), Outx_DsrFlow, DsrSensitivity,
//    DtrHandshake (DTR is raised), RtsTransmissionAvailable (RTS is raised),
//    TxContinueOnXoff, ReplaceWhenParityError and ReplacedChar (a byte with a
//    parity error reads as 0), the write time-outs (a write never ends early
//    with part of a block, so they change nothing). IgnoreNullChar is done by
//    the reader, which drops 0 bytes.
//  - The driver buffers are the kernel's; the buffer step of the open is
//    reading the port's termios, which is saved and restored at close.
//  - Thread priorities: the reader asks for two steps above normal and the
//    writer one (a lower nice value for the thread); without the privilege
//    to raise them they stay at normal.
#include "link/comm_p.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace mc::comm::detail {

namespace {

using Clock = std::chrono::steady_clock;
using mc::comm::testing::OpenFault;

constexpr size_t ReadBufferSize = 2048;
constexpr quint32 MaxDword = 0xFFFFFFFFu;
// How often the reader looks at the modem lines and error counters of a
// device that has them (Linux offers no poll() event for them).
constexpr int LineCheckMs = 50;

QByteArray devicePath(const QString &name)
{
    if (name.contains(QLatin1Char('/')))
        return QFile::encodeName(name);
    static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,4})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(name);
    if (match.hasMatch()) {
        const int n = match.captured(1).toInt();
        if (n >= 1)
            return QByteArrayLiteral("/dev/ttyS") + QByteArray::number(n - 1);
    }
    return QByteArrayLiteral("/dev/") + QFile::encodeName(name);
}

bool speedFor(quint32 baud, speed_t &speed)
{
    static const struct {
        quint32 baud;
        speed_t speed;
    } table[] = {
        {50, B50},         {75, B75},           {110, B110},         {134, B134},
        {150, B150},       {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},     {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},     {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto &entry : table) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

// Raises or drops one modem line; devices without modem lines are fine.
void setModemLine(int fd, int line, bool on)
{
    ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

void notifyFd(int eventFd)
{
    const uint64_t one = 1;
    ssize_t ignored = ::write(eventFd, &one, sizeof one);
    (void)ignored;
}

void drain(int eventFd)
{
    uint64_t value;
    ssize_t ignored = ::read(eventFd, &value, sizeof value);
    (void)ignored;
}

int toPollTimeout(Clock::duration remaining)
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(remaining).count();
    const long long ms = (us + 999) / 1000; // round up: never wake before the time-out
    return int(std::clamp<long long>(ms, 0, INT_MAX));
}

// Watches line errors and modem lines of a device that reports them: the
// error counters (TIOCGICOUNT) or, failing that, the modem lines (TIOCMGET).
// A pty has neither, so nothing is ever reported for it.
class LineWatch {
public:
    explicit LineWatch(int fd) : m_fd(fd)
    {
        if (::ioctl(fd, TIOCGICOUNT, &m_counts) == 0)
            m_mode = Mode::Counters;
        else if (::ioctl(fd, TIOCMGET, &m_lines) == 0)
            m_mode = Mode::Lines;
    }
    bool Active() const { return m_mode != Mode::None; }

    void Check(const NoteSink &sink)
    {
        quint32 errors = 0;
        quint32 modem = 0;
        if (m_mode == Mode::Counters) {
            serial_icounter_struct now {};
            if (::ioctl(m_fd, TIOCGICOUNT, &now) != 0) {
                m_mode = Mode::None;
                return;
            }
            if (now.buf_overrun != m_counts.buf_overrun)
                errors |= mc::comm::CeRxOver;
            if (now.overrun != m_counts.overrun)
                errors |= mc::comm::CeOverrun;
            if (now.parity != m_counts.parity)
                errors |= mc::comm::CeRxParity;
            if (now.frame != m_counts.frame)
                errors |= mc::comm::CeFrame;
            if (now.brk != m_counts.brk)
                errors |= mc::comm::CeBreak;
            if (now.dcd != m_counts.dcd)
                modem |= mc::comm::ModemCarrierChange;
            if (now.rng != m_counts.rng)
                modem |= mc::comm::ModemRing;
            m_counts = now;
        } else if (m_mode == Mode::Lines) {
            int now = 0;
            if (::ioctl(m_fd, TIOCMGET, &now) != 0) {
                m_mode = Mode::None;
                return;
            }
            if ((now ^ m_lines) & TIOCM_CD)
                modem |= mc::comm::ModemCarrierChange;
            if ((now & TIOCM_RI) && !(m_lines & TIOCM_RI))
                modem |= mc::comm::ModemRing;
            m_lines = now;
        }
        if (errors)
            sink.Error(errors);
        if (modem)
            sink.ModemChange(modem);
    }

private:
    enum class Mode { None, Counters, Lines };
    int m_fd;
    Mode m_mode = Mode::None;
    serial_icounter_struct m_counts {};
    int m_lines = 0;
};

class PosixPort final : public Port {
public:
    explicit PosixPort(QObject *notifier) : m_sink(notifier) {}
    ~PosixPort() override { shutdown(); }

    void Open(const QString &name, const LineSettings &settings, const Timeouts &timeouts);
    bool Write(WriteBlock &&block) override;
    void ApplyLineSettings(const LineSettings &settings) override;
    void ApplyTimeouts(const Timeouts &timeouts) override;

private:
    [[noreturn]] static void fail(const char *message)
    {
        throw mc::ECommsError(QString::fromLatin1(message));
    }
    void shutdown();
    void readerMain();
    void writerMain();
    bool writeBlock(const char *data, size_t count);

    NoteSink m_sink;
    WriteQueue m_queue;
    int m_fd = -1;
    int m_closeFd = -1; // signalled once to stop both threads
    int m_wakeFd = -1;  // signalled for every queued block
    bool m_haveSaved = false;
    termios m_saved {};
    std::atomic<bool> m_closing{false};
    std::atomic<quint32> m_readInterval{100};
    std::atomic<quint32> m_readTotalMultiplier{0};
    std::atomic<quint32> m_readTotalConstant{0};
    std::atomic<bool> m_ignoreNullChar{false};
    std::thread m_reader;
    std::thread m_writer;
};

void PosixPort::Open(const QString &name, const LineSettings &settings, const Timeouts &timeouts)
{
    const QByteArray path = devicePath(name);
    if (TakeOpenFault(OpenFault::PortInUse)) {
        errno = EBUSY;
        fail("Error opening serial port");
    }
    m_fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        fail("Error opening serial port");
    if (!::isatty(m_fd))
        fail("File handle is not a comm handle ");
    if (::ioctl(m_fd, TIOCEXCL) != 0)
        fail("Error opening serial port");
    if (TakeOpenFault(OpenFault::Buffer) || ::tcgetattr(m_fd, &m_saved) != 0)
        fail("Cannot setup comm buffer");
    m_haveSaved = true;

    ::tcflush(m_fd, TCIOFLUSH);
    ApplyTimeouts(timeouts);
    ApplyLineSettings(settings);

    if (!TakeOpenFault(OpenFault::Event)) {
        m_closeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    if (m_closeFd < 0 || m_wakeFd < 0)
        fail("Unable to create event");

    try {
        if (TakeOpenFault(OpenFault::ReadThread))
            throw std::system_error(EAGAIN, std::generic_category());
        m_reader = std::thread([this] { readerMain(); });
    } catch (const std::system_error &) {
        fail("Unable to create read thread");
    }
    try {
        if (TakeOpenFault(OpenFault::WriteThread))
            throw std::system_error(EAGAIN, std::generic_category());
        m_writer = std::thread([this] { writerMain(); });
    } catch (const std::system_error &) {
        fail("Unable to create write thread"); // shutdown() stops the reader
    }
}

// Stops both threads, restores the port and closes it. Also cleans up after
// a failed open, whatever step it reached.
void PosixPort::shutdown()
{
    m_closing = true;
    if (m_closeFd >= 0)
        notifyFd(m_closeFd);
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIFLUSH);
    if (m_reader.joinable())
        m_reader.join();
    if (m_fd >= 0)
        ::tcflush(m_fd, TCOFLUSH); // also ends a write held back by XOFF
    if (m_writer.joinable())
        m_writer.join();
    m_queue.End(); // queued blocks are never written
    if (m_fd >= 0) {
        if (m_haveSaved)
            ::tcsetattr(m_fd, TCSANOW, &m_saved);
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
    for (int *fd : {&m_closeFd, &m_wakeFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void PosixPort::ApplyTimeouts(const Timeouts &timeouts)
{
    m_readInterval = timeouts.readInterval;
    m_readTotalMultiplier = timeouts.readTotalMultiplier;
    m_readTotalConstant = timeouts.readTotalConstant;
}

void PosixPort::ApplyLineSettings(const LineSettings &s)
{
    termios t {};
    speed_t speed;
    if (::tcgetattr(m_fd, &t) != 0 || !speedFor(s.baudRate, speed))
        return; // refused: the port keeps its previous settings
    m_ignoreNullChar = s.ignoreNullChar;
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[int(s.byteSize)];
    switch (s.parity) {
    case TParity::None: break;
    case TParity::Odd: t.c_cflag |= PARENB | PARODD; break;
    case TParity::Even: t.c_cflag |= PARENB; break;
    case TParity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case TParity::Space: t.c_cflag |= PARENB | CMSPAR; break;
    }
    if (s.stopBits != TStopBits::_1)
        t.c_cflag |= CSTOPB;
    if (s.outxCtsFlow || s.rtsControl == TRtsControl::RtsHandshake)
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~tcflag_t(INPCK | IXON | IXOFF | IXANY);
    if (s.parityCheck)
        t.c_iflag |= INPCK;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    // XON/XOFF last.
    t.c_cc[VSTART] = cc_t(s.xonChar);
    t.c_cc[VSTOP] = cc_t(s.xoffChar);
    if (s.outxXonXoffFlow)
        t.c_iflag |= IXON;
    if (s.inxXonXoffFlow)
        t.c_iflag |= IXOFF;
    ::tcsetattr(m_fd, TCSANOW, &t); // a refusal is not reported

    setModemLine(m_fd, TIOCM_DTR, s.dtrControl != TDtrControl::DtrDisable);
    if (s.rtsControl != TRtsControl::RtsHandshake)
        setModemLine(m_fd, TIOCM_RTS, s.rtsControl != TRtsControl::RtsDisable);
}

bool PosixPort::Write(WriteBlock &&block)
{
    if (!m_queue.Push(std::move(block)))
        return false; // the writer has ended
    notifyFd(m_wakeFd);
    return true;
}

// The reader: a block ends when 2048 bytes have come, when the line has been
// silent for ReadIntervalTimeout after at least one byte, or when the read's
// total time-out (multiplier * 2048 + constant) has passed with bytes in hand.
// With interval 0 and no total time-out a block ends only when full.
namespace {
// Raises the calling thread by `steps` above the process's priority when
// the system allows it; otherwise it keeps running at normal priority.
void RaiseThreadPriority(int steps)
{
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, tid, nice - steps);
}
} // namespace

void PosixPort::readerMain()
{
    RaiseThreadPriority(2);
    LineWatch watch(m_fd);
    char buffer[ReadBufferSize];
    size_t count = 0;
    auto readStart = Clock::now();
    auto lastByte = readStart;

    auto deliver = [&] {
        m_sink.Data(buffer, quint16(count));
        count = 0;
        readStart = Clock::now();
    };
    auto hangup = [&] {
        if (count > 0)
            deliver(); // what came before the hang-up is not lost
        m_sink.Hangup();
    };

    for (;;) {
        const quint32 interval = m_readInterval;
        const quint32 multiplier = m_readTotalMultiplier;
        const quint32 constant = m_readTotalConstant;
        const auto total = std::chrono::milliseconds(quint64(multiplier) * ReadBufferSize + constant);
        const auto now = Clock::now();
        int timeout = -1;
        if (total.count() > 0 && now >= readStart + total) {
            // The read's total time-out has passed: deliver what came, or,
            // when nothing came, simply start the next read.
            if (count > 0) {
                deliver();
                continue;
            }
            readStart = now;
        }
        if (total.count() > 0)
            timeout = toPollTimeout(readStart + total - now);
        if (count > 0) {
            const bool returnAtOnce = interval == MaxDword
                && ((multiplier == 0 && constant == 0)
                    || (multiplier == MaxDword && constant > 0 && constant < MaxDword));
            if (returnAtOnce) {
                deliver();
                continue;
            }
            if (interval > 0) {
                const auto silence = lastByte + std::chrono::milliseconds(interval);
                if (now >= silence) {
                    deliver();
                    continue;
                }
                const int left = toPollTimeout(silence - now);
                timeout = timeout < 0 ? left : std::min(timeout, left);
            }
        }
        if (watch.Active())
            timeout = timeout < 0 ? LineCheckMs : std::min(timeout, LineCheckMs);

        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_closeFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            hangup();
            return;
        }
        if (fds[1].revents)
            return; // closing: the port is being purged anyway
        if (watch.Active())
            watch.Check(m_sink);
        if (fds[0].revents & POLLIN) {
            const ssize_t got = ::read(m_fd, buffer + count, ReadBufferSize - count);
            if (got > 0) {
                size_t kept = size_t(got);
                if (m_ignoreNullChar) {
                    char *begin = buffer + count;
                    kept = size_t(std::remove(begin, begin + got, '\0') - begin);
                }
                count += kept;
                lastByte = Clock::now();
                if (count == ReadBufferSize)
                    deliver();
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            // No bytes after POLLIN, EIO, ENXIO, ENODEV, ...: the device is gone.
            hangup();
            return;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            hangup();
            return;
        }
    }
}

// The writer: writes queued blocks whole and in order; reports the queue
// running empty once after the open and once after each run of writes.
void PosixPort::writerMain()
{
    RaiseThreadPriority(1);
    bool notify = true;
    for (;;) {
        WriteBlock block;
        if (!m_queue.Pop(block)) {
            if (notify) {
                m_sink.SendEmpty();
                notify = false;
            }
            pollfd fds[2] = {{m_closeFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                m_sink.Hangup();
                break;
            }
            if (fds[0].revents)
                break;
            if (fds[1].revents)
                drain(m_wakeFd);
            continue;
        }
        if (m_closing)
            break; // the block just taken is dropped unwritten
        if (!writeBlock(block.data.get(), block.count))
            break;
        notify = true;
    }
    m_queue.End(); // WriteData refuses from now on
    ::tcflush(m_fd, TCOFLUSH);
}

bool PosixPort::writeBlock(const char *data, size_t count)
{
    size_t offset = 0;
    while (offset < count) {
        const ssize_t written = ::write(m_fd, data + offset, count - offset);
        if (written > 0) {
            offset += size_t(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN) {
            m_sink.Hangup();
            return false;
        }
        // Output full or held back by XOFF: wait for room, or for the close.
        pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_closeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            m_sink.Hangup();
            return false;
        }
        if (fds[1].revents)
            return false;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) && !(fds[0].revents & POLLOUT)) {
            m_sink.Hangup();
            return false;
        }
    }
    return true;
}

} // namespace

std::unique_ptr<Port> OpenPlatformPort(const QString &name, const LineSettings &settings,
                                       const Timeouts &timeouts, QObject *notifier)
{
    auto port = std::make_unique<PosixPort>(notifier);
    port->Open(name, settings, timeouts); // on failure the port cleans up as it goes
    return port;
}

} // namespace mc::comm::detail
