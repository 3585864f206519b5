// The virtual matrix: its core on byte streams, and the program on loopback.
#include "seamless/blocks.h"
#include "seamless/frames.h"
#include "tests/support/testsupport.h"
#include "tools/emulator/matrix.h"

#include <QProcess>
#include <QTcpSocket>

using namespace mc::emu;
using mc::frames::Frame;
using mc::frames::Side;

namespace {

struct Run {
    QByteArray reply;
    QStringList log;
};

// Feeds the pieces into a fresh 4 x 4 matrix, then lets the stream go idle.
Run Feed(const QList<QByteArray> &pieces, Options options = Options())
{
    Run run;
    Matrix matrix(options);
    matrix.setLogger([&](const QString &line) { run.log << line; });
    for (const QByteArray &piece : pieces)
        run.reply += matrix.feed(piece).bytes();
    run.reply += matrix.idle().bytes();
    return run;
}

Options Small()
{
    Options o;
    o.inputs = 4;
    o.outputs = 4;
    return o;
}

using mc::test::Hex;

} // namespace

class TestEmulator : public QObject {
    Q_OBJECT
private slots:
    void streams_data();
    void streams();
    void idle_data();
    void idle();
    void frames_data();
    void frames();
    void pictureValuesClamp();
    void audioAndVideoApart();
    void pollingState();
    void statusReplyFollowsSize();
    void sessionsShareState();
    void faults_data();
    void faults();
    void programAnswersOnLoopback();
    void programRefusesOtherAddresses();
};

// Each stream gives the same replies and log whether it arrives whole, byte
// by byte, or cut in two anywhere.
void TestEmulator::streams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("log");

    const QByteArray start = "V:01->01;V:02->02;V:03->03;V:04->04;";
    QTest::newRow("status at power-up") << QByteArray("QUER00") << start << QStringList{"CMD QUER00"};
    QTest::newRow("route then status")
        << QByteArray("3*1!QUER00") << QByteArray("3*1!OKV:03->01;V:02->02;V:03->03;V:04->04;")
        << QStringList{"CMD 3*1!", "CMD QUER00"};
    QTest::newRow("video only shows in status")
        << QByteArray("2*1%QUER00") << QByteArray("2*1%OKV:02->01;V:02->02;V:03->03;V:04->04;")
        << QStringList{"CMD 2*1%", "CMD QUER00"};
    QTest::newRow("audio only leaves video")
        << QByteArray("2*1$QUER00") << "2*1$OK" + start << QStringList{"CMD 2*1$", "CMD QUER00"};
    QTest::newRow("all outputs")
        << QByteArray("4*N!QUER00") << QByteArray("4*N!OKV:04->01;V:04->02;V:04->03;V:04->04;")
        << QStringList{"CMD 4*N!", "CMD QUER00"};
    QTest::newRow("channels out of range refused")
        << QByteArray("5*1!0*1!1*5!1*0!0*N!QUER00")
        << "5*1!ERR0*1!ERR1*5!ERR1*0!ERR0*N!ERR" + start
        << QStringList{"CMD 5*1!", "CMD 0*1!", "CMD 1*5!", "CMD 1*0!", "CMD 0*N!", "CMD QUER00"};
    QTest::newRow("preset saved then recalled")
        << QByteArray("2*N!SAVE3 1*N!CALL3QUER00")
        << QByteArray("2*N!OKSAVE3OK1*N!OKCALL3OKV:02->01;V:02->02;V:02->03;V:02->04;")
        << QStringList{"CMD 2*N!", "CMD SAVE3", "NOISE 20", "CMD 1*N!", "CMD CALL3", "CMD QUER00"};
    QTest::newRow("unsaved preset changes nothing")
        << QByteArray("3*1!CALL9QUER00") << QByteArray("3*1!OKCALL9ERRV:03->01;V:02->02;V:03->03;V:04->04;")
        << QStringList{"CMD 3*1!", "CMD CALL9", "CMD QUER00"};
    QTest::newRow("matrix id set and read")
        << QByteArray("GETIDDYT01GETID") << QByteArray("DYT01OK01")
        << QStringList{"CMD GETID", "CMD DYT01", "CMD GETID"};
    QTest::newRow("matrix id in gbk logged as hex")
        << QByteArray("DYT\xD6\xD0GETID") << QByteArray("DYT\xD6\xD0OK\xD6\xD0")
        << QStringList{"CMD 44 59 54 D6 D0", "CMD GETID"};
    QTest::newRow("polling commands")
        << QByteArray("AUTOSWa\x04" "AUTOSWb\x04" "AUTOSWc\x01" "AUTOSWd\x01", 32)
        << QByteArray("AUTOSWa\x04OKAUTOSWb\x04OKAUTOSWc\x01OKAUTOSWd\x01OK")
        << QStringList{"CMD 41 55 54 4F 53 57 61 04", "CMD 41 55 54 4F 53 57 62 04",
                       "CMD 41 55 54 4F 53 57 63 01", "CMD 41 55 54 4F 53 57 64 01"};
    QTest::newRow("interval with zero byte")
        << QByteArray("AUTOTM\x00\x3C", 8) << QByteArray("AUTOTM\x00\x3COK", 10)
        << QStringList{"CMD 41 55 54 4F 54 4D 00 3C"};
    const QByteArray input = Frame(Side::Input, 1, mc::frames::kInputSignalVga);
    const QByteArray output = Frame(Side::Output, 2, mc::frames::kResolution1280x720);
    QTest::newRow("frames of both sides, no answer")
        << input + output << QByteArray() << QStringList{"CMD " + Hex(input), "CMD " + Hex(output)};
    QTest::newRow("noise before, between and after")
        << QByteArray("\r\nxx3*1!\xFF?QUER0x") << QByteArray("3*1!OK")
        << QStringList{"NOISE 0D 0A 78 78", "CMD 3*1!", "NOISE FF 3F 51 55 45 52 30 78"};
    QTest::newRow("broken commands are noise")
        << QByteArray("CALL0AUTOSWc\x02" "12345*1!") << QByteArray("345*1!ERR")
        << QStringList{"NOISE 43 41 4C 4C 30 41 55 54 4F 53 57 63 02 31 32", "CMD 345*1!"};
}

void TestEmulator::streams()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, log);

    QList<QList<QByteArray>> ways;
    ways << QList<QByteArray>{stream};
    QList<QByteArray> bytes;
    for (char c : stream)
        bytes << QByteArray(1, c);
    ways << bytes;
    for (int cut = 1; cut < stream.size(); ++cut)
        ways << QList<QByteArray>{stream.left(cut), stream.mid(cut)};

    for (const auto &pieces : ways) {
        const Run run = Feed(pieces, Small());
        QCOMPARE(run.log, log);
        QCOMPARE(run.reply, reply);
    }
}

// What happens to a command left hanging when the stream goes quiet.
void TestEmulator::idle_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QByteArray>("id");

    QTest::newRow("one-byte id taken") << QByteArray("DYT7") << QStringList{"CMD DYT7"} << QByteArray("7");
    QTest::newRow("id without bytes is noise")
        << QByteArray("DYT") << QStringList{"NOISE 44 59 54"} << QByteArray();
    QTest::newRow("unfinished route is noise")
        << QByteArray("3*1") << QStringList{"NOISE 33 2A 31"} << QByteArray();
    const QByteArray frame = Frame(Side::Output, 1, mc::frames::kFollowUp);
    QTest::newRow("short frame reported")
        << frame.left(20) << QStringList{"BAD short frame " + Hex(frame.left(20))} << QByteArray();
}

void TestEmulator::idle()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, log);
    QFETCH(QByteArray, id);

    Matrix matrix(Small());
    QStringList lines;
    matrix.setLogger([&](const QString &line) { lines << line; });
    QCOMPARE(matrix.feed(stream).bytes(), QByteArray());
    QVERIFY(lines.isEmpty()); // nothing is settled before the stream goes quiet
    matrix.idle();
    QCOMPARE(lines, log);
    QCOMPARE(matrix.id(), id);
    QCOMPARE(matrix.statusReply(), QByteArray("V:01->01;V:02->02;V:03->03;V:04->04;"));
    // The stream carries on normally afterwards.
    QCOMPARE(matrix.feed("GETID").bytes(), id);
}

namespace {
enum class Field { None, InputSignal, Resolution, FollowUps, Priority, BlueOffset, DisplayMode };

int FieldOf(const CardSettings &card, Field field)
{
    switch (field) {
    case Field::InputSignal:
        return card.inputSignal;
    case Field::Resolution:
        return card.resolution;
    case Field::FollowUps:
        return card.followUps;
    case Field::Priority:
        return card.priority;
    case Field::BlueOffset:
        return card.picture[BlueOffset];
    case Field::DisplayMode:
        return card.displayMode;
    case Field::None:
        break;
    }
    return 0;
}

QByteArray Changed(QByteArray frame, int index, char value)
{
    frame[index] = value;
    return frame;
}
} // namespace

// Valid frames change exactly the addressed cards; bad ones are reported with
// their reason and change nothing.
void TestEmulator::frames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("logStart");
    QTest::addColumn<int>("side");    // CardSide
    QTest::addColumn<int>("channel"); // 0 = every card of the side
    QTest::addColumn<int>("field");   // Field
    QTest::addColumn<int>("value");

    using namespace mc::frames;
    const int in = int(CardSide::Input);
    const int out = int(CardSide::Output);
    const QByteArray follow = Frame(Side::Output, 3, kFollowUp);

    QTest::newRow("VGA on input 1") << Frame(Side::Input, 1, kInputSignalVga) << "CMD " << in << 1
                                    << int(Field::InputSignal) << 2;
    QTest::newRow("1280*720 on output 10") << Frame(Side::Output, 10, kResolution1280x720) << "CMD "
                                           << out << 10 << int(Field::Resolution) << 6;
    QTest::newRow("input 9, second address byte") << Frame(Side::Input, 9, kDisplayModeFullScreen)
                                                  << "CMD " << in << 9 << int(Field::DisplayMode) << 0x13;
    QTest::newRow("blue offset down on output 5") << Frame(Side::Output, 5, kImageAdjustBlocks[19])
                                                  << "CMD " << out << 5 << int(Field::BlueOffset) << 49;
    QTest::newRow("follow-up to all outputs") << Frame(Side::Output, 0, kFollowUp) << "CMD " << out << 0
                                              << int(Field::FollowUps) << 1;
    QTest::newRow("serial priority all inputs")
        << Frame(Side::Input, 0, kPrioritySerial) << "CMD " << in << 0
        << int(Field::Priority) << 1;

    auto bad = [&](const char *name, const QByteArray &frame, const char *reason) {
        QTest::newRow(name) << frame << QString("BAD %1 %2").arg(reason, Hex(frame)) << out << 0
                            << int(Field::None) << 0;
    };
    bad("wrong check byte", Changed(follow, 22, 0x0F), "bad check byte");
    bad("wrong complement", Changed(follow, 23, char(0xF0)), "bad complement byte");
    bad("wrong tail", Changed(follow, 25, 'X'), "bad tail");
    bad("bad header", Changed(follow, 5, '3'), "bad header");
    bad("no 01 after address", Changed(follow, 15, 0x02), "no 01 after the address");
    bad("block without D5", Changed(follow, 16, char(0xD4)), "block does not start with D5");
    bad("empty address", HexTextToBytes("534E44574632 000000000000000000 01 D527120000000EF1 4544"),
        "empty address");
    bad("unknown block", HexTextToBytes("534E44574632 000000000000000001 01 D540010000 0016E9 4544"),
        "unknown block");
    bad("input block to output cards", Frame(Side::Output, 1, kInputSignalVga),
        "block is for input cards only");
}

void TestEmulator::frames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, logStart);
    QFETCH(int, side);
    QFETCH(int, channel);
    QFETCH(int, field);
    QFETCH(int, value);

    Matrix matrix; // 16 x 16
    QStringList lines;
    matrix.setLogger([&](const QString &line) { lines << line; });
    QCOMPARE(matrix.feed(frame).bytes(), QByteArray());
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(logStart), qPrintable(lines[0]));
    QVERIFY(lines[0].endsWith(Hex(frame)));

    const CardSettings fresh;
    for (CardSide s : {CardSide::Input, CardSide::Output}) {
        for (int n = 1; n <= matrix.cardCount(s); ++n) {
            const bool addressed = int(s) == side && (channel == 0 || channel == n);
            if (field != int(Field::None) && addressed)
                QCOMPARE(FieldOf(matrix.card(s, n), Field(field)), value);
            else
                QVERIFY2(matrix.card(s, n) == fresh, qPrintable(QString("card %1 changed").arg(n)));
        }
    }
}

void TestEmulator::pictureValuesClamp()
{
    using namespace mc::frames;
    Matrix matrix(Small());
    const QByteArray up = Frame(Side::Output, 0, kImageAdjustBlocks[0]);   // brightness +
    const QByteArray down = Frame(Side::Output, 2, kImageAdjustBlocks[1]); // brightness -
    QCOMPARE(matrix.card(CardSide::Output, 1).picture[Brightness], 50);
    matrix.feed(up.repeated(51));
    QCOMPARE(matrix.card(CardSide::Output, 1).picture[Brightness], 100);
    matrix.feed(down.repeated(101));
    QCOMPARE(matrix.card(CardSide::Output, 2).picture[Brightness], 0);
    QCOMPARE(matrix.card(CardSide::Output, 1).picture[Brightness], 100);
    QCOMPARE(matrix.card(CardSide::Output, 1).picture[Contrast], 50);
}

void TestEmulator::audioAndVideoApart()
{
    Matrix matrix(Small());
    matrix.feed("2*1$3*2%4*3!");
    QCOMPARE(std::make_pair(matrix.videoInput(1), matrix.audioInput(1)), std::make_pair(1, 2));
    QCOMPARE(std::make_pair(matrix.videoInput(2), matrix.audioInput(2)), std::make_pair(3, 2));
    QCOMPARE(std::make_pair(matrix.videoInput(3), matrix.audioInput(3)), std::make_pair(4, 4));
    // Presets keep both.
    matrix.feed("SAVE1 1*N!CALL1");
    QCOMPARE(std::make_pair(matrix.videoInput(1), matrix.audioInput(1)), std::make_pair(1, 2));
}

void TestEmulator::pollingState()
{
    Matrix matrix(Small());
    QCOMPARE(matrix.polling(2), false);
    matrix.feed("AUTOSWa\x02");
    QCOMPARE(matrix.polling(2), true);
    QCOMPARE(matrix.polling(1), false);
    matrix.feed("AUTOSWd\x01");
    QCOMPARE(matrix.polling(4), true);
    matrix.feed("AUTOSWb\x04");
    QCOMPARE(matrix.polling(4), false);
    matrix.feed("AUTOSWc\x01");
    QCOMPARE(matrix.polling(2), false);
    QCOMPARE(matrix.feed(QByteArray("AUTOSWa\x00", 8)).bytes(), QByteArray("AUTOSWa\x00" "ERR", 11));
    QCOMPARE(matrix.feed("AUTOSWa\x05").bytes(), QByteArray("AUTOSWa\x05" "ERR"));
    matrix.feed("AUTOTM\x01\x2C");
    QCOMPARE(matrix.pollingInterval(), 300);
}

// Outputs without an input of the same number show nothing at power-up;
// outputs from 10 up get their two digits.
void TestEmulator::statusReplyFollowsSize()
{
    Options o;
    o.inputs = 2;
    o.outputs = 12;
    Matrix matrix(o);
    QCOMPARE(matrix.statusReply(), QByteArray("V:01->01;V:02->02;"));
    matrix.feed("2*12!1*3!");
    QCOMPARE(matrix.feed("QUER00").bytes(), QByteArray("V:01->01;V:02->02;V:01->03;V:02->12;"));
}

void TestEmulator::sessionsShareState()
{
    Matrix matrix(Small());
    Session a(matrix);
    Session b(matrix);
    a.feed("3*");                               // half a command on one connection ...
    QCOMPARE(b.feed("2*1!").bytes(), QByteArray("2*1!OK")); // ... does not disturb another
    QCOMPARE(a.feed("4!").bytes(), QByteArray("3*4!OK"));
    QCOMPARE(b.feed("QUER00").bytes(), QByteArray("V:02->01;V:02->02;V:03->03;V:03->04;"));
}

void TestEmulator::faults_data()
{
    QTest::addColumn<int>("split");
    QTest::addColumn<bool>("noise");
    QTest::addColumn<int>("closeAfter");
    QTest::addColumn<int>("resetAfter");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<Chunk>>("chunks");
    QTest::addColumn<int>("after");
    QTest::addColumn<QByteArray>("status"); // state afterwards

    const QByteArray start = "V:01->01;V:02->02;V:03->03;V:04->04;";
    const QByteArray noise(kReplyNoise, kReplyNoiseSize);
    QTest::newRow("split status reply")
        << 250 << false << 0 << 0 << QByteArray("1*2!QUER00")
        << QList<Chunk>{{0, "1*2!OK"}, {0, "V:01->01;V:01->02;"}, {250, "V:03->03;V:04->04;"}}
        << int(After::Keep) << QByteArray("V:01->01;V:01->02;V:03->03;V:04->04;");
    QTest::newRow("noise before every reply")
        << 0 << true << 0 << 0 << QByteArray("1*2!QUER00")
        << QList<Chunk>{{0, noise + "1*2!OK"}, {0, noise + "V:01->01;V:01->02;V:03->03;V:04->04;"}}
        << int(After::Keep) << QByteArray("V:01->01;V:01->02;V:03->03;V:04->04;");
    QTest::newRow("split with noise")
        << 100 << true << 0 << 0 << QByteArray("QUER00")
        << QList<Chunk>{{0, noise + start.left(18)}, {100, start.mid(18)}} << int(After::Keep) << start;
    QTest::newRow("close after two commands")
        << 0 << false << 2 << 0 << QByteArray("1*1!QUER00 2*2!")
        << QList<Chunk>{{0, "1*1!OK"}, {0, start}} << int(After::Close) << start;
    QTest::newRow("reset after one command")
        << 0 << false << 0 << 1 << QByteArray("1*2!2*3!")
        << QList<Chunk>{{0, "1*2!OK"}} << int(After::Reset)
        << QByteArray("V:01->01;V:01->02;V:03->03;V:04->04;");
}

void TestEmulator::faults()
{
    QFETCH(int, split);
    QFETCH(bool, noise);
    QFETCH(int, closeAfter);
    QFETCH(int, resetAfter);
    QFETCH(QByteArray, stream);
    QFETCH(QList<Chunk>, chunks);
    QFETCH(int, after);
    QFETCH(QByteArray, status);

    Options o = Small();
    o.splitReplyMs = split;
    o.noise = noise;
    o.closeAfter = closeAfter;
    o.resetAfter = resetAfter;
    Matrix matrix(o);
    Session session(matrix);
    const Output out = session.feed(stream);
    QCOMPARE(out.chunks.size(), chunks.size());
    for (int i = 0; i < chunks.size(); ++i) {
        QCOMPARE(out.chunks[i].delayMs, chunks[i].delayMs);
        QCOMPARE(out.chunks[i].bytes, chunks[i].bytes);
    }
    QCOMPARE(int(out.after), after);
    QCOMPARE(matrix.statusReply(), status);
    if (after != int(After::Keep)) {
        QVERIFY(session.ended());
        QCOMPARE(session.feed("1*N!QUER00").chunks.size(), 0); // an ended connection takes nothing more
        QCOMPARE(matrix.statusReply(), status);
    }
    // Connection faults belong to connections: the serial side never ends.
    Session serial(matrix, false);
    QCOMPARE(serial.feed("GETID GETID GETID").after, After::Keep);
}

void TestEmulator::programAnswersOnLoopback()
{
    QProcess emulator;
    emulator.start(mc::test::BinDir() + "/matrix-emulator", {"--port", "0"});
    QVERIFY2(emulator.waitForStarted(5000), qPrintable(emulator.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(emulator.canReadLine(), 5000);
    const QByteArray listen = emulator.readLine().trimmed();
    QVERIFY2(listen.startsWith("LISTEN 127.0.0.1:"), listen.constData());
    const quint16 port = quint16(listen.mid(listen.lastIndexOf(':') + 1).toUInt());
    QVERIFY(port != 0);

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(socket.waitForConnected(5000));
    socket.write("3*5!QUER00");
    QByteArray reply;
    QTRY_VERIFY_WITH_TIMEOUT((reply += socket.readAll()).contains("V:16->16;"), 5000);
    QVERIFY2(reply.contains("V:03->05;"), reply.constData());
    QVERIFY(reply.startsWith("3*5!OK"));

    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += emulator.readAllStandardOutput()).contains("CMD QUER00"), 5000);
    QVERIFY(log.contains("CONNECT 127.0.0.1:"));
    QVERIFY(log.contains(" CMD 3*5!\n"));

    emulator.terminate();
    QVERIFY(emulator.waitForFinished(5000));
    QCOMPARE(emulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(emulator.exitCode(), 0);
}

void TestEmulator::programRefusesOtherAddresses()
{
    QProcess emulator;
    emulator.start(mc::test::BinDir() + "/matrix-emulator", {"--listen", "0.0.0.0", "--port", "0"});
    QVERIFY(emulator.waitForFinished(5000));
    QCOMPARE(emulator.exitCode(), 2);
    QVERIFY(emulator.readAllStandardOutput().isEmpty());
    QVERIFY(emulator.readAllStandardError().contains("loopback"));
}

MC_TEST_MAIN(TestEmulator)
#include "tst_emulator.moc"
