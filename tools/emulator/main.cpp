// matrix-emulator: the virtual matrix on TCP (loopback only) and, on request,
// on a pseudo-terminal standing in for its serial port.
#include "tools/emulator/matrix.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

using mc::emu::After;
using mc::emu::Chunk;
using mc::emu::Matrix;
using mc::emu::Output;
using mc::emu::Session;

namespace {

constexpr int kIdleMs = 100; // silence after which a pending command is settled

QElapsedTimer g_clock;
QFile *g_log = nullptr;
int g_signalPipe[2] = {-1, -1};

void WriteLine(QFile &file, const QString &line)
{
    file.write((line + '\n').toUtf8());
    file.flush();
}

void Log(const QString &line)
{
    WriteLine(*g_log, QString::number(g_clock.elapsed()) + ' ' + line);
}

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

[[noreturn]] void Fail(const QString &message)
{
    std::fprintf(stderr, "matrix-emulator: %s\n", qPrintable(message));
    std::exit(2);
}

// One stream to the matrix: its parser, the replies waiting to go out (some
// after a pause), and the idle timer that settles a command left hanging.
class Port : public QObject {
public:
    Port(Matrix &matrix, bool connectionFaults, QObject *parent)
        : QObject(parent), m_session(matrix, connectionFaults)
    {
        m_idle.setSingleShot(true);
        m_idle.setInterval(kIdleMs);
        connect(&m_idle, &QTimer::timeout, this, [this] { take(m_session.idle()); });
        m_delay.setSingleShot(true);
        connect(&m_delay, &QTimer::timeout, this, [this] {
            m_delayDone = true;
            pump();
        });
    }

protected:
    void received(const QByteArray &bytes)
    {
        take(m_session.feed(bytes));
        if (!m_session.ended())
            m_idle.start();
    }
    virtual void write(const QByteArray &bytes) = 0;
    virtual void finish(After) {}

private:
    void take(const Output &out)
    {
        m_queue += out.chunks;
        if (out.after != After::Keep)
            m_after = out.after;
        pump();
    }

    void pump()
    {
        while (!m_queue.isEmpty()) {
            if (m_delay.isActive())
                return;
            const Chunk &chunk = m_queue.first();
            if (chunk.delayMs > 0 && !m_delayDone) {
                m_delay.start(chunk.delayMs);
                return;
            }
            m_delayDone = false;
            write(chunk.bytes);
            m_queue.removeFirst();
        }
        if (m_after != After::Keep) {
            const After after = m_after;
            m_after = After::Keep;
            m_idle.stop();
            finish(after);
        }
    }

    Session m_session;
    QTimer m_idle;
    QTimer m_delay;
    bool m_delayDone = false;
    QList<Chunk> m_queue;
    After m_after = After::Keep;
};

class TcpPort : public Port {
public:
    TcpPort(Matrix &matrix, QTcpSocket *socket, QObject *parent)
        : Port(matrix, true, parent), m_socket(socket)
    {
        socket->setParent(this);
        Log(QStringLiteral("CONNECT %1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort()));
        connect(socket, &QTcpSocket::readyRead, this, [this] { received(m_socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { gone(); });
    }

protected:
    void write(const QByteArray &bytes) override
    {
        if (m_socket->state() == QAbstractSocket::ConnectedState)
            m_socket->write(bytes);
    }

    void finish(After after) override
    {
        if (after == After::Reset) {
            m_socket->flush();
            // Closing with a zero linger time sends RST instead of FIN.
            linger lg{1, 0};
            ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
            m_socket->abort();
        } else {
            m_socket->disconnectFromHost();
        }
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            gone();
    }

private:
    void gone()
    {
        if (m_gone)
            return;
        m_gone = true;
        Log(QStringLiteral("DISCONNECT"));
        deleteLater();
    }

    QTcpSocket *m_socket;
    bool m_gone = false;
};

// The serial side: the master of a pseudo-terminal in raw mode. The slave
// stays open here too, so the terminal survives clients opening and closing it.
class PtyPort : public Port {
public:
    PtyPort(Matrix &matrix, QObject *parent) : Port(matrix, false, parent)
    {
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
            Fail(QStringLiteral("cannot open a pseudo-terminal: %1").arg(qt_error_string(errno)));
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(::ttyname(m_slave));
        m_reader = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
        connect(m_reader, &QSocketNotifier::activated, this, [this] { readMaster(); });
        m_writer = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
        m_writer->setEnabled(false);
        connect(m_writer, &QSocketNotifier::activated, this, [this] { flushOut(); });
    }

    ~PtyPort() override
    {
        delete m_reader;
        delete m_writer;
        ::close(m_master);
        ::close(m_slave);
    }

    QString path() const { return m_path; }

protected:
    void write(const QByteArray &bytes) override
    {
        m_out += bytes;
        flushOut();
    }

private:
    void readMaster()
    {
        char buffer[2048];
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0) {
                received(QByteArray(buffer, int(n)));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EIO) {
                // Nobody holds the other end just now: look again a little later
                // instead of spinning on the notifier.
                m_reader->setEnabled(false);
                QTimer::singleShot(kIdleMs, this, [this] { m_reader->setEnabled(true); });
            }
            return;
        }
    }

    void flushOut()
    {
        while (!m_out.isEmpty()) {
            const ssize_t n = ::write(m_master, m_out.constData(), size_t(m_out.size()));
            if (n > 0) {
                m_out.remove(0, n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                break;
            } else {
                m_out.clear(); // the terminal is gone: replies are lost like on a cut line
            }
        }
        m_writer->setEnabled(!m_out.isEmpty());
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QSocketNotifier *m_reader = nullptr;
    QSocketNotifier *m_writer = nullptr;
    QByteArray m_out;
};

int IntOption(const QCommandLineParser &parser, const QString &name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        Fail(QStringLiteral("--%1 takes a number from %2 to %3").arg(name).arg(low).arg(high));
    return value;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("matrix-emulator"));
    g_clock.start();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The virtual matrix: answers the matrix commands on TCP "
                                                    "and, with --pty, on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addOptions({
        {"listen", "Loopback address to listen on.", "ADDR", "127.0.0.1"},
        {"port", "TCP port; 0 picks a free one.", "N", "10008"},
        {"pty", "Also serve a pseudo-terminal as the serial side."},
        {"inputs", "Number of inputs (1..128).", "N", "16"},
        {"outputs", "Number of outputs (1..128).", "N", "16"},
        {"log", "Write the command log to FILE instead of standard output.", "FILE"},
        {"split-reply", "Send the status reply in two halves, MS apart.", "MS", "0"},
        {"close-after", "Close a TCP connection after N commands.", "N", "0"},
        {"reset-after", "Reset a TCP connection after N commands.", "N", "0"},
        {"noise", "Put a few noise bytes before every reply."},
    });
    parser.process(app);

    const QString listenText = parser.value("listen");
    const QHostAddress address(listenText == QLatin1String("localhost") ? QStringLiteral("127.0.0.1")
                                                                         : listenText);
    if (address.isNull() || !address.isLoopback())
        Fail(QStringLiteral("refusing to listen on %1: only loopback addresses are served").arg(listenText));

    mc::emu::Options options;
    options.inputs = IntOption(parser, "inputs", 1, Matrix::kMaxChannels);
    options.outputs = IntOption(parser, "outputs", 1, Matrix::kMaxChannels);
    options.splitReplyMs = IntOption(parser, "split-reply", 0, 600000);
    options.closeAfter = IntOption(parser, "close-after", 0, 1 << 30);
    options.resetAfter = IntOption(parser, "reset-after", 0, 1 << 30);
    options.noise = parser.isSet("noise");
    const int port = IntOption(parser, "port", 0, 65535);

    QFile standardOut;
    standardOut.open(stdout, QIODevice::WriteOnly);
    QFile logFile;
    g_log = &standardOut;
    if (parser.isSet("log")) {
        logFile.setFileName(parser.value("log"));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append))
            Fail(QStringLiteral("cannot write the log %1: %2").arg(logFile.fileName(), logFile.errorString()));
        g_log = &logFile;
    }

    // SIGTERM and SIGINT end the event loop through a pipe.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        Fail(QStringLiteral("cannot create the signal pipe"));
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        app.quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);

    Matrix matrix(options);
    matrix.setLogger(Log);

    QObject ports;
    QTcpServer server;
    if (!server.listen(address, quint16(port)))
        Fail(QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(port).arg(server.errorString()));
    QObject::connect(&server, &QTcpServer::newConnection, &ports, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            new TcpPort(matrix, socket, &ports);
    });
    WriteLine(standardOut, QStringLiteral("LISTEN %1:%2").arg(address.toString()).arg(server.serverPort()));

    if (parser.isSet("pty")) {
        auto *pty = new PtyPort(matrix, &ports);
        WriteLine(standardOut, QStringLiteral("PTY %1").arg(pty->path()));
    }

    const int result = app.exec();
    server.close();
    matrix.setLogger(nullptr);
    return result;
}
