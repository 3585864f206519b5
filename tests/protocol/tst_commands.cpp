// Every command text the program sends, byte for byte.
#include "protocol/commands.h"
#include "tests/support/testsupport.h"

using namespace mc::cmd;

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void bytes_data();
    void bytes();
};

void TestCommands::bytes_data()
{
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("expectedHex");

    auto hexOf = [](const char *text) { return QByteArray(text).toHex(' '); };
    auto row = [&](const char *name, const QByteArray &actual, const QByteArray &expectedHex) {
        QTest::newRow(name) << actual << expectedHex;
    };

    row("route audio+video", Route(3, 5, Mode::AudioVideo), hexOf("3*5!"));
    row("route video", Route(12, 7, Mode::Video), hexOf("12*7%"));
    row("route audio", Route(1, 16, Mode::Audio), hexOf("1*16$"));
    row("route three digits", Route(100, 128, Mode::AudioVideo), hexOf("100*128!"));
    row("all outputs audio+video", RouteToAll(4, Mode::AudioVideo), hexOf("4*N!"));
    row("all outputs video", RouteToAll(4, Mode::Video), hexOf("4*N%"));
    row("all outputs audio", RouteToAll(12, Mode::Audio), hexOf("12*N$"));
    row("recall preset", CallPreset(3), hexOf("CALL3"));
    row("save preset", SavePreset(9), hexOf("SAVE9"));
    row("status query", StatusQuery(), hexOf("QUER00"));
    row("read id", ReadMatrixId(), hexOf("GETID"));
    row("id two bytes", SetMatrixId("01"), hexOf("DYT01"));
    row("id cut to two bytes", SetMatrixId("0123"), hexOf("DYT01"));
    row("id trimmed blanks", SetMatrixId(" 7 "), hexOf("DYT7"));
    row("id trimmed controls", SetMatrixId("\t\r\n\x01" "A9\x1f "), hexOf("DYTA9"));
    row("id inner blank kept", SetMatrixId(" 1 2"), hexOf("DYT1 "));
    // One Chinese character is two GBK bytes: the whole character goes out.
    row("id gbk", SetMatrixId(QStringLiteral("中文")), "44 59 54 d6 d0");
    row("id only blanks", SetMatrixId(" \t "), hexOf("DYT"));
    row("start polling 5", StartPolling(5), "41 55 54 4f 53 57 61 05");
    row("start polling 72", StartPolling(72), "41 55 54 4f 53 57 61 48");
    row("stop polling 1", StopPolling(1), "41 55 54 4f 53 57 62 01");
    row("stop all polling", StopAllPolling(), "41 55 54 4f 53 57 63 01");
    row("start all polling", StartAllPolling(), "41 55 54 4f 53 57 64 01");
    row("interval 3", PollingInterval(3), "41 55 54 4f 54 4d 00 03");
    row("interval 60 (zero byte)", PollingInterval(60), "41 55 54 4f 54 4d 00 3c");
    row("interval 300", PollingInterval(300), "41 55 54 4f 54 4d 01 2c");
    row("interval 65535", PollingInterval(65535), "41 55 54 4f 54 4d ff ff");
    row("interval 65536 low bits", PollingInterval(65536), "41 55 54 4f 54 4d 00 00");
    row("interval 65539 low bits", PollingInterval(65539), "41 55 54 4f 54 4d 00 03");
}

void TestCommands::bytes()
{
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, expectedHex);
    QCOMPARE(actual.toHex(' '), expectedHex);
}

MC_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
