#pragma once
// End-to-end fixture: a temporary program folder holding a copy of the real
// matrix-control (it reads its files beside itself) and the default
// database, the virtual matrix on 127.0.0.1:10008, and its command log.
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "core/gbk.h"
#include "setup/matrixdb.h"
#include "tests/support/programfolder.h"
#include "tests/support/testsupport.h"

namespace e2e {

struct LogLine {
    qint64 ms = -1;     // since the emulator started
    QString event;      // CONNECT, CMD, BAD, ...
    QString payload;
};

class Fixture {
public:
    QTemporaryDir dir;
    QProcess emulator;
    QProcess program;
    QString logPath;
    QString ptyPath;

    ~Fixture()
    {
        stop(program);
        stop(emulator);
    }

    static void stop(QProcess &p)
    {
        if (p.state() != QProcess::NotRunning) {
            p.terminate();
            if (!p.waitForFinished(3000)) {
                p.kill();
                p.waitForFinished(3000);
            }
        }
    }

    QString bin(const char *name) const { return mc::test::BinDir() + QLatin1Char('/') + QLatin1String(name); }

    // Copies the program and the default database; the serial port is set
    // to `com` (a pty slave, or a path that cannot exist).
    bool prepare(const QString &com)
    {
        const QString exe = dir.filePath(QStringLiteral("matrix-control"));
        if (!QFile::copy(bin("matrix-control"), exe))
            return false;
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return mc::test::PrepareDatabase(dir.path(), com);
    }

    void writeSettings(const QString &text)
    {
        QVERIFY(mc::test::WriteGbk(dir.filePath(QStringLiteral("modalname.mdb")), text));
    }

    // Starts the virtual matrix on 127.0.0.1:10008 and waits for its
    // LISTEN line (and PTY line with withPty).
    // The program's port is fixed, so end-to-end runs of several build
    // folders on one machine take turns: a port in use is waited for.
    bool startEmulator(bool withPty, const QStringList &extra = {})
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QByteArray out;
            if (startEmulatorOnce(withPty, extra, &out))
                return true;
            if (!out.contains("already in use") || waited.elapsed() > 120000) {
                qWarning() << "emulator did not start:" << out;
                return false;
            }
            QTest::qWait(500);
        }
    }

    bool startEmulatorOnce(bool withPty, const QStringList &extra, QByteArray *output)
    {
        logPath = dir.filePath(QStringLiteral("emulator.log"));
        QStringList args{QStringLiteral("--listen"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                         QStringLiteral("10008"), QStringLiteral("--log"), logPath};
        if (withPty)
            args << QStringLiteral("--pty");
        args << extra;
        emulator.setProcessChannelMode(QProcess::MergedChannels);
        emulator.start(bin("matrix-emulator"), args);
        if (!emulator.waitForStarted(5000))
            return false;
        QElapsedTimer t;
        t.start();
        QByteArray out;
        while (t.elapsed() < 5000) {
            emulator.waitForReadyRead(100);
            out += emulator.readAll();
            const bool listening = out.contains("LISTEN");
            if (withPty) {
                const int at = out.indexOf("PTY ");
                const int end = out.indexOf('\n', at);
                if (listening && at >= 0 && end > at) {
                    ptyPath = QString::fromLocal8Bit(out.mid(at + 4, end - at - 4)).trimmed();
                    return true;
                }
            } else if (listening) {
                return true;
            }
            if (emulator.state() == QProcess::NotRunning)
                break;
        }
        out += emulator.readAll();
        *output = out;
        stop(emulator);
        return false;
    }

    void startProgram()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("DISPLAY")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        else
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(dir.filePath(QStringLiteral("matrix-control")), {});
    }

    // The usual start: the program on the network link at 127.0.0.1 with
    // the virtual matrix, up to the status query after the connection.
    bool startOnNetwork()
    {
        if (!prepare(QStringLiteral("/nonexistent/ttyMC0")))
            return false;
        writeSettings(QStringLiteral("[Control]\r\nkd=1\r\nip=127.0.0.1\r\n"));
        if (!startEmulator(false))
            return false;
        startProgram();
        QElapsedTimer t;
        t.start();
        while (find(QStringLiteral("CMD"), QStringLiteral("QUER00")).ms < 0) {
            if (t.elapsed() > 15000)
                return false;
            QTest::qWait(50);
        }
        return true;
    }

    // The X window id of the visible window with this exact caption, or ""
    // when none comes up within the time-out.
    static QString waitForWindow(const QString &caption, int timeoutMs = 15000)
    {
        QElapsedTimer t;
        t.start();
        do {
            QByteArray ids;
            if (run(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                     QLatin1Char('^') + QRegularExpression::escape(caption) + QLatin1Char('$')},
                    &ids))
                return QString::fromLatin1(ids).split(QLatin1Char('\n')).value(0).trimmed();
            QTest::qWait(100);
        } while (t.elapsed() < timeoutMs);
        return QString();
    }

    QList<LogLine> log() const
    {
        QList<LogLine> lines;
        QFile f(logPath);
        if (!f.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray &raw : f.readAll().split('\n')) {
            const QString s = QString::fromUtf8(raw).trimmed();
            if (s.isEmpty())
                continue;
            LogLine line;
            const QStringList parts = s.split(QLatin1Char(' '));
            bool ok = false;
            line.ms = parts.value(0).toLongLong(&ok);
            if (!ok)
                continue;
            line.event = parts.value(1);
            line.payload = s.section(QLatin1Char(' '), 2);
            lines.append(line);
        }
        return lines;
    }

    // The first log line with this event (and payload when given).
    LogLine find(const QString &event, const QString &payload = QString()) const
    {
        for (const LogLine &l : log())
            if (l.event == event && (payload.isNull() || l.payload == payload))
                return l;
        return {};
    }

    // How many log lines have this event (and payload when given).
    int count(const QString &event, const QString &payload = {}) const
    {
        int n = 0;
        for (const LogLine &l : log())
            if (l.event == event && (payload.isNull() || l.payload == payload))
                ++n;
        return n;
    }

    // Runs xdotool with `args`; true when it succeeds.
    static bool xdo(const QStringList &args) { return run(QStringLiteral("xdotool"), args); }

    // Moves the pointer to (x, y) of `window` and clicks the left button.
    static bool click(const QString &window, int x, int y)
    {
        return xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"), window,
                    QString::number(x), QString::number(y), QStringLiteral("click"), QStringLiteral("1")});
    }

    // Gives `window` the keyboard: activated where the window manager can,
    // focused otherwise.
    static bool focus(const QString &window)
    {
        return xdo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}) ||
               xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    }

    // Presses `keys` (e.g. "alt+o"), with `delayMs` between keystrokes when set.
    static bool key(const QString &keys, int delayMs = 0)
    {
        QStringList args{QStringLiteral("key")};
        if (delayMs > 0)
            args << QStringLiteral("--delay") << QString::number(delayMs);
        return xdo(args << keys);
    }

    // Types `text` with 50 ms between keystrokes.
    static bool type(const QString &text)
    {
        return xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), text});
    }

    // Runs a command such as xdotool; true when it exits 0.
    static bool run(const QString &program, const QStringList &args, QByteArray *out = nullptr)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(10000))
            return false;
        if (out)
            *out = p.readAllStandardOutput();
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
};

} // namespace e2e
