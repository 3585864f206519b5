// The real program: the operator changes the matrix's outputs from 16 to 20
// in the basic settings dialog. The program stores the settings, adds the
// output names rows, reopens the link, tells the operator to restart it and
// ends once that message is dismissed.
#include "tests/e2e/e2e.h"

namespace {

using e2e::Fixture;

// Presses `keys` as an operator would, 50 ms between keystrokes.
bool key(const QString &keys) { return Fixture::key(keys, 50); }

} // namespace

class TestE2eSettings : public QObject {
    Q_OBJECT
private slots:
    void moreOutputsEndsProgram();
};

void TestE2eSettings::moreOutputsEndsProgram()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs a display (run under xvfb-run)");
    e2e::Fixture f;
    QVERIFY(f.prepare(QStringLiteral("/nonexistent/ttyMC0")));
    // kd 5 also selects the network; the dialog shows "网络" and a
    // confirmation writes 1. The quotes around the address are read away.
    f.writeSettings(QStringLiteral("[modal]\r\nname1=大厅\r\n[Control]\r\nkd=5\r\nip=\"127.0.0.1\"\r\n"));
    QVERIFY(f.startEmulator(false));
    f.startProgram();
    QTRY_VERIFY_WITH_TIMEOUT(f.find(QStringLiteral("CMD"), QStringLiteral("QUER00")).ms >= 0, 15000);

    const QString main = e2e::Fixture::waitForWindow(QStringLiteral("矩阵控制"));
    QVERIFY(!main.isEmpty());
    QVERIFY(Fixture::focus(main));
    // "系统(&S)" and its first item, "基本设置".
    QVERIFY(key(QStringLiteral("alt+s")));
    QTest::qWait(300);
    QVERIFY(key(QStringLiteral("Return")));
    const QString dialog = e2e::Fixture::waitForWindow(QStringLiteral("基本设置"));
    QVERIFY(!dialog.isEmpty());
    QVERIFY(Fixture::focus(dialog));
    // Into the outputs field (266, 50, 76 x 18), replace its text, confirm.
    QVERIFY(Fixture::click(dialog, 300, 59));
    QVERIFY(key(QStringLiteral("ctrl+a")));
    QVERIFY(Fixture::type(QStringLiteral("20")));
    QVERIFY(key(QStringLiteral("alt+o")));

    const QString message = e2e::Fixture::waitForWindow(QStringLiteral("系统提示"));
    QVERIFY(!message.isEmpty());
    // The link was reopened before the message: a second status query.
    QTRY_COMPARE_WITH_TIMEOUT(f.count(QStringLiteral("CMD"), QStringLiteral("QUER00")), 2, 10000);
    QCOMPARE(f.program.state(), QProcess::Running);
    QVERIFY(Fixture::focus(message));
    QVERIFY(key(QStringLiteral("Return")));
    QVERIFY(f.program.waitForFinished(15000));
    QCOMPARE(f.program.exitStatus(), QProcess::NormalExit);

    mc::MatrixDatabase db;
    db.Open(f.dir.path());
    QCOMPARE(db.swset().AsInteger(QStringLiteral("incount")), 16);
    QCOMPARE(db.swset().AsInteger(QStringLiteral("outcount")), 20);
    QCOMPARE(db.outcap().RecordCount(), 20);
    for (int n = 17; n <= 20; ++n) {
        QVERIFY(db.outcap().Locate(QStringLiteral("outc"), n));
        QCOMPARE(db.outcap().AsString(QStringLiteral("cap")), QString());
    }
    QCOMPARE(db.incap().RecordCount(), 16);

    QFile settings(f.dir.filePath(QStringLiteral("modalname.mdb")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(),
             mc::ToGbk(QStringLiteral("[modal]\r\nname1=大厅\r\n[Control]\r\nkd=1\r\nip=127.0.0.1\r\n")));
}

MC_TEST_MAIN(TestE2eSettings)
#include "tst_e2e_settings.moc"
