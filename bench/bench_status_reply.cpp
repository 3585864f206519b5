// A 99-token status reply through the main window's reply handling (log
// panel, name lookups and link lists), beside a plain tokenising loop over
// the same text, in microseconds per reply.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/tform1.h"
#include "setup/matrixdb.h"
#include "tests/support/testsupport.h"

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double p99(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * 99 / 100)];
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mc::test::InitTestProcess();
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mswdb.mdb"));
    mc::CreateDefaultDatabase(db);
    {
        mc::MatrixDatabase d;
        d.Open(dir.path());
        d.swset().First();
        d.swset().Edit();
        d.swset().SetString(QStringLiteral("com"), QStringLiteral("/nonexistent/ttyMC0"));
        d.swset().SetInteger(QStringLiteral("incount"), 128);
        d.swset().SetInteger(QStringLiteral("outcount"), 128);
        d.swset().Post();
        mc::SyncNameRows(d);
        for (int n = 1; n <= 128; n += 2) {   // every other channel named
            d.incap().Locate(QStringLiteral("inc"), n);
            d.incap().Edit();
            d.incap().SetString(QStringLiteral("cap"), QStringLiteral("输入%1").arg(n));
            d.incap().Post();
            d.outcap().Locate(QStringLiteral("outc"), n);
            d.outcap().Edit();
            d.outcap().SetString(QStringLiteral("cap"), QStringLiteral("输出%1").arg(n));
            d.outcap().Post();
        }
    }
    TForm1 form(dir.path());

    QByteArray reply;
    for (int out = 1; out <= 99; ++out)
        reply += QStringLiteral("V:%1->%2;").arg((out * 7) % 99 + 1, 2, 10, QLatin1Char('0')).arg(out, 2, 10, QLatin1Char('0')).toLatin1();

    const int rounds = 2000;
    std::vector<double> full, plain;
    full.reserve(rounds);
    plain.reserve(rounds);
    long sink = 0;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        form.DispatchReply(reply);
        full.push_back(t.nsecsElapsed() / 1000.0);

        t.restart();
        // The plain loop: cut the tokens and read their two number fields.
        const QString text = QString::fromLatin1(reply);
        int start = 0;
        for (;;) {
            const int end = text.indexOf(QLatin1Char(';'), start);
            if (end < 0)
                break;
            const QStringView token = QStringView(text).mid(start, end - start + 1);
            sink += token.mid(2, 2).toInt() + token.mid(6, 2).toInt();
            start = end + 1;
        }
        plain.push_back(t.nsecsElapsed() / 1000.0);
    }
    std::printf("99-token status reply, %d rounds (sink %ld)\n", rounds, sink);
    std::printf("  DispatchReply (log panel, names, link lists): median %.1f us, p99 %.1f us\n", median(full), p99(full));
    std::printf("  plain tokenising loop:                         median %.1f us, p99 %.1f us\n", median(plain), p99(plain));
    return 0;
}
