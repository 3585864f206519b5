// Start-up of matrix-control to its shown window with a 128 x 128 database
// on the network link to the virtual matrix, beside a bare Qt window program
// measured in the same run; resident memory once the window is up.
// Needs an X display (run it under xvfb-run) and xdotool.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "setup/matrixdb.h"
#include "tests/e2e/e2e.h"
#include "tests/support/programfolder.h"
#include "tests/support/testsupport.h"

namespace {

// Milliseconds from start to a visible window of the process, and its
// resident memory in KiB then; -1 on failure.
std::pair<double, long> measure(const QString &program)
{
    QElapsedTimer t;
    QProcess p;
    t.start();
    p.start(program, {});
    if (!p.waitForStarted(5000))
        return {-1, -1};
    const QString pid = QString::number(p.processId());
    // xdotool's own --sync polls twice a second; asking again at once
    // resolves the moment to a few milliseconds.
    double ms = -1;
    while (t.elapsed() < 20000) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid});
        search.waitForFinished(5000);
        if (search.exitStatus() == QProcess::NormalExit && search.exitCode() == 0) {
            ms = t.nsecsElapsed() / 1e6;
            break;
        }
    }
    QThread::msleep(500);
    long rss = -1;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').value(0).toLong();
    p.terminate();
    if (!p.waitForFinished(3000))
        p.kill();
    p.waitForFinished(3000);
    return {ms, rss};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("bench_startup needs an X display: run it under xvfb-run\n");
        return 1;
    }
    // The program folder: the program, the default database (its port left
    // as the default COM1) with 128 inputs and outputs, the network link.
    e2e::Fixture f;
    if (!f.prepare(QStringLiteral("COM1"))) {
        std::printf("bench_startup: cannot prepare the program folder\n");
        return 1;
    }
    const QString exe = f.dir.filePath(QStringLiteral("matrix-control"));
    {
        mc::MatrixDatabase d;
        d.Open(f.dir.path());
        mc::test::SetChannelCounts(d, 128, 128);
    }
    f.writeSettings(QStringLiteral("[Control]\r\nkd=1\r\nip=127.0.0.1\r\n"));
    if (!f.startEmulator(false, {QStringLiteral("--inputs"), QStringLiteral("128"), QStringLiteral("--outputs"),
                                 QStringLiteral("128")})) {
        std::printf("bench_startup: the virtual matrix did not start\n");
        return 1;
    }

    const int runs = 7;
    std::vector<double> program, bare;
    long programRss = -1, bareRss = -1;
    for (int i = 0; i < runs; ++i) {
        auto [ms, rss] = measure(exe);
        program.push_back(ms);
        programRss = std::max(programRss, rss);
        auto [bms, brss] = measure(mc::test::BinDir() + QStringLiteral("/bare-window"));
        bare.push_back(bms);
        bareRss = std::max(bareRss, brss);
    }
    e2e::Fixture::stop(f.emulator);
    std::printf("start-up to the shown window, median of %d runs\n", runs);
    std::printf("  matrix-control (128 x 128, network link): %.0f ms, resident %ld KiB\n", median(program), programRss);
    std::printf("  bare Qt window program:                  %.0f ms, resident %ld KiB\n", median(bare), bareRss);
    return 0;
}
