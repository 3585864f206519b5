// Configuration frames: address field, hex text conversion, whole frames and
// the fixed command blocks.
#include "core/error.h"
#include "seamless/blocks.h"
#include "seamless/frames.h"
#include "tests/support/testsupport.h"

using namespace mc::frames;

namespace {
// "53 4E ..." written with spaces between parts for readability.
QByteArray Hex(const char *text) { return QByteArray(text).replace(' ', "").toLower(); }
} // namespace

class TestFrames : public QObject {
    Q_OBJECT
private slots:
    void addressText_data();
    void addressText();
    void frames_data();
    void frames();
    void hexText_data();
    void hexText();
    void refused_data();
    void refused();
    void blocksHoldCheckRule_data();
    void blocksHoldCheckRule();
    void listsInDialogOrder();
};

void TestFrames::addressText_data()
{
    QTest::addColumn<unsigned>("channel");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 all cards") << 0u << "FF FF FF FF FF FF FF FF FF";
    QTest::newRow("1") << 1u << "00 00 00 00 00 00 00 00 01";
    QTest::newRow("8") << 8u << "00 00 00 00 00 00 00 00 80";
    QTest::newRow("9") << 9u << "00 00 00 00 00 00 00 01 00";
    QTest::newRow("10") << 10u << "00 00 00 00 00 00 00 02 00";
    QTest::newRow("32") << 32u << "00 00 00 00 00 80 00 00 00";
    QTest::newRow("33") << 33u << "00 00 00 00 01 00 00 00 00";
    QTest::newRow("64") << 64u << "00 80 00 00 00 00 00 00 00";
    QTest::newRow("65") << 65u << "01 00 00 00 00 00 00 00 00";
    QTest::newRow("72") << 72u << "80 00 00 00 00 00 00 00 00";
}

void TestFrames::addressText()
{
    QFETCH(unsigned, channel);
    QFETCH(QString, text);
    QCOMPARE(BuildAddressText(channel), text);
}

void TestFrames::frames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expectedHex");
    QTest::newRow("VGA on input 1")
        << Frame(Side::Input, 1, kInputSignalVga)
        << Hex("534E44574631 000000000000000001 01 D524020000 00FB04 4544");
    QTest::newRow("1280*720 on output 10")
        << Frame(Side::Output, 10, kResolution1280x720)
        << Hex("534E44574632 000000000000000200 01 D525060000 0000FF 4544");
    QTest::newRow("brightness up on output 1")
        << Frame(Side::Output, 1, kImageAdjustBlocks[0])
        << Hex("534E44574632 000000000000000001 01 D515010000 00EB14 4544");
    QTest::newRow("blue offset down on output 5")
        << Frame(Side::Output, 5, kImageAdjustBlocks[19])
        << Hex("534E44574632 000000000000000010 01 D51E000000 00F30C 4544");
    QTest::newRow("follow-up to all output cards")
        << Frame(Side::Output, 0, kFollowUp)
        << Hex("534E44574632 FFFFFFFFFFFFFFFFFF 01 D527120000 000EF1 4544");
    QTest::newRow("serial priority all outputs")
        << Frame(Side::Output, 0, kPrioritySerial)
        << Hex("534E44574632 FFFFFFFFFFFFFFFFFF 01 D526010000 00FC03 4544");
    QTest::newRow("dip priority all inputs")
        << Frame(Side::Input, 0, kPriorityDipSwitch)
        << Hex("534E44574631 FFFFFFFFFFFFFFFFFF 01 D526000000 00FB04 4544");
}

void TestFrames::frames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expectedHex);
    // Every frame holds zero bytes and still goes out whole.
    QCOMPARE(bytes.size(), 26);
    QVERIFY(bytes.contains('\0'));
    QCOMPARE(bytes.toHex(), expectedHex);
}

void TestFrames::hexText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expectedHex");
    QTest::newRow("spaced") << "D5 28 01 00 00 00 FE 01" << Hex("D528010000 00FE01");
    QTest::newRow("no spaces") << "D528010000 00FE01" << Hex("D528010000 00FE01");
    QTest::newRow("spaces anywhere") << " D 52  80 1000000FE0 1 " << Hex("D528010000 00FE01");
    QTest::newRow("lower case") << "d5 28 01 00 00 00 fe 01" << Hex("D528010000 00FE01");
    QTest::newRow("lone last digit") << "D5 2" << Hex("D502");
    QTest::newRow("empty") << "" << QByteArray();
}

void TestFrames::hexText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expectedHex);
    QCOMPARE(HexTextToBytes(text).toHex(), expectedHex);
}

// Bad input is refused with an error that names the culprit; nothing is
// composed half-way.
void TestFrames::refused_data()
{
    QTest::addColumn<int>("what"); // 0 = hex text, 1 = address, 2 = whole frame
    QTest::addColumn<QString>("text");
    QTest::addColumn<unsigned>("channel");
    QTest::addColumn<QString>("named");
    QTest::newRow("pair not hex") << 0 << "D5 2G 01" << 0u << "2G";
    QTest::newRow("sign is not a digit") << 0 << "D5 +1" << 0u << "+1";
    QTest::newRow("prefix is not a digit") << 0 << "0x12" << 0u << "0x";
    QTest::newRow("lone last char not hex") << 0 << "D5 Z" << 0u << "Z";
    QTest::newRow("fullwidth digit") << 0 << QStringLiteral("D5 １2") << 0u << QStringLiteral("１2");
    QTest::newRow("address 73") << 1 << "" << 73u << "channel 73";
    QTest::newRow("address 128") << 1 << "" << 128u << "channel 128";
    QTest::newRow("frame 73") << 2 << "" << 73u << "channel 73";
}

void TestFrames::refused()
{
    QFETCH(int, what);
    QFETCH(QString, text);
    QFETCH(unsigned, channel);
    QFETCH(QString, named);
    try {
        if (what == 0)
            HexTextToBytes(text);
        else if (what == 1)
            BuildAddressText(channel);
        else
            Frame(Side::Output, channel, kFollowUp);
        QFAIL("no error");
    } catch (const mc::Error &e) {
        QVERIFY2(e.message().contains(named), qPrintable(e.message()));
    }
}

void TestFrames::blocksHoldCheckRule_data()
{
    QTest::addColumn<QString>("block");
    const char *named[] = {kInputSignalDviHdmi, kInputSignalVga,     kInputSignalComponent,
                           kInputSignalAv,      kDisplayModeAuto,    kDisplayModeFullScreen,
                           kOutputSignalHdmi,   kOutputSignalDvi,    kPrioritySerial,
                           kPriorityDipSwitch,  kFollowUp};
    for (const char *b : named)
        QTest::newRow(b) << QString(b);
    for (const char *b : kResolutions)
        QTest::newRow(b) << QString(b);
    for (const char *b : kImageAdjustBlocks)
        QTest::newRow(b) << QString(b);
}

void TestFrames::blocksHoldCheckRule()
{
    QFETCH(QString, block);
    QVERIFY(QRegularExpression("^([0-9A-F]{2} ){7}[0-9A-F]{2}$").match(block).hasMatch());
    const QByteArray b = HexTextToBytes(block);
    QCOMPARE(quint8(b[0]), quint8(0xD5));
    QCOMPARE(b.mid(3, 3), QByteArray(3, '\0'));
    quint8 sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += quint8(b[i]);
    QCOMPARE(quint8(b[6]), sum);
    QCOMPARE(quint8(b[7]), quint8(0xFF - sum));
}

// The dialogs pick blocks by list position: entry i must carry the command
// and value of the i-th choice.
void TestFrames::listsInDialogOrder()
{
    auto commandAndValue = [](const char *block) {
        const QByteArray b = HexTextToBytes(block);
        return qMakePair(int(quint8(b[1])), int(quint8(b[2])));
    };
    for (int i = 0; i < 4; ++i)
        QCOMPARE(commandAndValue(kInputSignals[i]), qMakePair(0x24, i + 1));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(commandAndValue(kResolutions[i]), qMakePair(0x25, i + 1));
    for (int i = 0; i < 20; ++i)
        QCOMPARE(commandAndValue(kImageAdjustBlocks[i]), qMakePair(0x15 + i / 2, i % 2 == 0 ? 1 : 0));
}

MC_TEST_MAIN(TestFrames)
#include "tst_frames.moc"
