// The real program on a virtual display against the virtual matrix: the
// seamless-matrix dialogs opened from the menu with the keyboard, behind the
// access code. A picture step reaches the matrix as one whole frame; the
// control priority setting sends four frames about 1.5 s apart.
#include "tests/e2e/e2e.h"

namespace {

using e2e::Fixture;

bool keys(const QString &window, const QStringList &sequence)
{
    if (!Fixture::focus(window))
        return false;
    for (const QString &key : sequence) {
        if (!Fixture::key(key, 80))
            return false;
        QTest::qWait(150);   // let a menu open before the next key
    }
    return true;
}

// "系统(&S)" → "无缝矩阵设置" (the fourth visible item below the first) →
// the submenu's entry `entry` (0 = "图像调整...", 1 = "通道设置..").
QStringList menuKeys(int entry)
{
    QStringList k{QStringLiteral("alt+s"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                  QStringLiteral("Down"), QStringLiteral("Right")};
    for (int i = 0; i < entry; ++i)
        k << QStringLiteral("Down");
    k << QStringLiteral("Return");
    return k;
}

// Gives the access code in the login window and confirms with Alt+O.
bool login()
{
    const QString window = Fixture::waitForWindow(QStringLiteral("登录"));
    if (window.isEmpty())
        return false;
    if (!Fixture::focus(window))
        return false;
    return Fixture::type(QStringLiteral("739150")) && Fixture::key(QStringLiteral("alt+o"));
}

QString frameHex(const QString &header, const QString &address, const QString &block)
{
    return header + ' ' + address + QStringLiteral(" 01 ") + block + QStringLiteral(" 45 44");
}

// The CMD lines of the log that are configuration frames, in order.
QList<e2e::LogLine> frames(const Fixture &f)
{
    QList<e2e::LogLine> out;
    for (const e2e::LogLine &l : f.log())
        if (l.event == QStringLiteral("CMD") && l.payload.startsWith(QStringLiteral("53 4E 44 57 46")))
            out << l;
    return out;
}

} // namespace

class TestE2eSeamless : public QObject {
    Q_OBJECT
private slots:
    void brightnessStep();
    void controlPriority();
};

void TestE2eSeamless::brightnessStep()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs a display (run under xvfb-run)");
    Fixture f;
    QVERIFY(f.startOnNetwork());
    const QString main = Fixture::waitForWindow(QStringLiteral("矩阵控制"));
    QVERIFY(!main.isEmpty());
    QVERIFY(keys(main, menuKeys(0)));
    QVERIFY(login());
    const QString dialog = Fixture::waitForWindow(QStringLiteral("图像调整"));
    QVERIFY(!dialog.isEmpty());
    // "加+" of "亮度": group box at 79, 70, button at 96, 48, 57 x 25.
    QVERIFY(Fixture::click(dialog, 79 + 96 + 28, 70 + 48 + 12));
    const QString expected = frameHex(QStringLiteral("53 4E 44 57 46 32"),
                                      QStringLiteral("00 00 00 00 00 00 00 00 01"),
                                      QStringLiteral("D5 15 01 00 00 00 EB 14"));
    QTRY_VERIFY_WITH_TIMEOUT(!frames(f).isEmpty(), 10000);
    const QList<e2e::LogLine> got = frames(f);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].payload, expected);
    QCOMPARE(got[0].payload.split(QLatin1Char(' ')).size(), 26);
    QVERIFY(f.find(QStringLiteral("BAD")).ms < 0);
    QCOMPARE(f.program.state(), QProcess::Running);
}

void TestE2eSeamless::controlPriority()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs a display (run under xvfb-run)");
    Fixture f;
    QVERIFY(f.startOnNetwork());
    const QString main = Fixture::waitForWindow(QStringLiteral("矩阵控制"));
    QVERIFY(!main.isEmpty());
    QVERIFY(keys(main, menuKeys(1)));
    QVERIFY(login());
    const QString dialog = Fixture::waitForWindow(QStringLiteral("通道参数设置"));
    QVERIFY(!dialog.isEmpty());
    // "设  置" of the control priority at 349, 47, 84 x 25; "拔码优先" is
    // checked at the start.
    QVERIFY(Fixture::click(dialog, 349 + 42, 47 + 12));
    QTRY_VERIFY_WITH_TIMEOUT(frames(f).size() >= 4, 15000);
    const QList<e2e::LogLine> got = frames(f);
    QCOMPARE(got.size(), 4);
    const QString all = QStringLiteral("FF FF FF FF FF FF FF FF FF");
    const QString out = QStringLiteral("53 4E 44 57 46 32");
    const QString in = QStringLiteral("53 4E 44 57 46 31");
    const QString dip = QStringLiteral("D5 26 00 00 00 00 FB 04");
    const QString follow = QStringLiteral("D5 27 12 00 00 00 0E F1");
    QCOMPARE(got[0].payload, frameHex(out, all, dip));
    QCOMPARE(got[1].payload, frameHex(in, all, dip));
    QCOMPARE(got[2].payload, frameHex(out, all, follow));
    QCOMPARE(got[3].payload, frameHex(in, all, follow));
    for (int i = 1; i < 4; ++i) {
        const qint64 gap = got[i].ms - got[i - 1].ms;
        qInfo("frame %d came %lld ms after frame %d", i + 1, gap, i);
        QVERIFY2(gap >= 1300 && gap <= 3000, qPrintable(QString::number(gap)));
    }
    QVERIFY(f.find(QStringLiteral("BAD")).ms < 0);
}

MC_TEST_MAIN(TestE2eSeamless)
#include "tst_e2e_seamless.moc"
