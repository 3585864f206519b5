// The real program against the virtual matrix: the status query after the
// network and the serial link come up, and a serial port that does not exist.
#include "tests/e2e/e2e.h"

class TestE2eLink : public QObject {
    Q_OBJECT
private slots:
    void networkLinkUp();
    void serialLinkUp();
    void missingSerialPort();
};

// The program connects and, about 300 ms later, asks for the status.
void TestE2eLink::networkLinkUp()
{
    e2e::Fixture f;
    QVERIFY(f.startOnNetwork());
    const e2e::LogLine connect = f.find(QStringLiteral("CONNECT"));
    const e2e::LogLine query = f.find(QStringLiteral("CMD"), QStringLiteral("QUER00"));
    QVERIFY(connect.ms >= 0);
    const qint64 delay = query.ms - connect.ms;
    qInfo("status query %lld ms after the connection", delay);
    QVERIFY2(delay >= 250 && delay < 2000, qPrintable(QString::number(delay)));
    QCOMPARE(f.program.state(), QProcess::Running);
}

// On the serial side the query follows the open by 300 + 300 ms.
void TestE2eLink::serialLinkUp()
{
    e2e::Fixture f;
    QVERIFY(f.startEmulator(true));
    QVERIFY(f.prepare(f.ptyPath));
    QElapsedTimer sinceStart;
    sinceStart.start();
    f.startProgram();
    QTRY_VERIFY_WITH_TIMEOUT(f.find(QStringLiteral("CMD"), QStringLiteral("QUER00")).ms >= 0, 15000);
    const qint64 elapsed = sinceStart.elapsed();
    qInfo("status query seen %lld ms after the program started", elapsed);
    QVERIFY2(elapsed >= 600, qPrintable(QString::number(elapsed)));
    QCOMPARE(f.program.state(), QProcess::Running);
}

// A port that does not exist: the warning box comes up, and once it is
// answered the program keeps running.
void TestE2eLink::missingSerialPort()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs a display (run under xvfb-run)");
    e2e::Fixture f;
    QVERIFY(f.startEmulator(false));
    QVERIFY(f.prepare(QStringLiteral("/nonexistent/ttyMC0")));
    f.startProgram();
    const QString window = e2e::Fixture::waitForWindow(QStringLiteral("系统提示"));
    QVERIFY(!window.isEmpty());
    QVERIFY(e2e::Fixture::focus(window));
    QVERIFY(e2e::Fixture::key(QStringLiteral("Return")));
    QTRY_VERIFY_WITH_TIMEOUT(
        !e2e::Fixture::xdo({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("系统提示")}), 10000);
    QTest::qWait(1000);
    QCOMPARE(f.program.state(), QProcess::Running);
    // Nothing reached the matrix: the query went to the closed port.
    QVERIFY(f.find(QStringLiteral("CMD")).ms < 0);
}

MC_TEST_MAIN(TestE2eLink)
#include "tst_e2e_link.moc"
