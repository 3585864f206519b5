#include "tests/support/testsupport.h"

#include "core/pause.h"
#include "link/loopbackguard.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace mc::test {

void InitTestProcess() { mc::SetLoopbackOnly(true); }

QString BinDir()
{
    const QByteArray dir = qgetenv("MC_BIN_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(dir);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

MessageRecorder::MessageRecorder(QMessageBox::StandardButton answer_) : answer(answer_)
{
    mc::ui::SetMessageHook([this](const mc::ui::MessageRequest &request) {
        shown.append(request);
        if (onShown)
            onShown(request);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() { mc::ui::SetMessageHook({}); }

PauseRecorder::PauseRecorder()
{
    mc::SetPauseHook([this](int ms) {
        pauses.append(ms);
        if (onPause)
            onPause(ms);
    });
}

PauseRecorder::~PauseRecorder() { mc::SetPauseHook({}); }

DialogHook::DialogHook(Run run_) : run(std::move(run_))
{
    mc::ui::SetDialogHook([this](QDialog *dialog) {
        opened << QString::fromLatin1(dialog->metaObject()->className());
        lastParent = dialog->parentWidget();
        if (run)
            return run(dialog);
        if (hooks.isEmpty())
            return int(QDialog::Rejected);
        return hooks.takeFirst()(dialog);
    });
}

DialogHook::~DialogHook() { mc::ui::SetDialogHook({}); }

Pty::Pty(Master mode)
{
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        qWarning("openpty failed: %s", std::strerror(errno));
        master = slave = -1;
        return;
    }
    termios t {};
    ::tcgetattr(master, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master, TCSANOW, &t);
    if (mode == Master::NonBlocking)
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    slavePath = QString::fromLocal8Bit(name);
}

Pty::~Pty()
{
    CloseMaster();
    CloseSlave();
}

void Pty::CloseMaster()
{
    if (master >= 0)
        ::close(master);
    master = -1;
}

void Pty::CloseSlave()
{
    if (slave >= 0)
        ::close(slave);
    slave = -1;
}

bool Pty::Send(const QByteArray &bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p {master, POLLOUT, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return false;
    }
    return true;
}

QByteArray Pty::Receive(qsizetype count, int timeoutMs) const
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    char buffer[65536];
    while (got.size() < count) {
        const int left = timeoutMs - int(timer.elapsed());
        if (left <= 0)
            break;
        pollfd p {master, POLLIN, 0};
        if (::poll(&p, 1, left) <= 0)
            continue;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

QByteArray Pty::ReadUntil(const QByteArray &marker, int timeoutMs) const
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (!got.endsWith(marker) && timer.elapsed() < timeoutMs) {
        pollfd p {master, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, int(n));
    }
    return got;
}

QByteArray Pty::ReadAvailable() const
{
    QByteArray got;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, int(n));
    }
    return got;
}

termios Pty::SlaveTermios() const
{
    termios t {};
    ::tcgetattr(slave, &t);
    return t;
}

speed_t Pty::SlaveSpeed() const
{
    const termios t = SlaveTermios();
    return ::cfgetospeed(&t);
}

} // namespace mc::test
