// The settings files: how values are found and read, how a write changes the
// file (and only the lines it must), and the refusals and bad input.
#include "tests/support/testsupport.h"

#include "core/error.h"
#include "setup/inifile.h"
#include "setup/settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

void Put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// GBK bytes of the Chinese texts used below, spelled out so the check does
// not lean on the codec under test.
const QByteArray kGbkHuiYi("\xbb\xe1\xd2\xe9");                        // 会议
const QByteArray kGbkJuZhenKongZhi("\xbe\xd8\xd5\xf3\xbf\xd8\xd6\xc6"); // 矩阵控制

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void init();

    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void readMissingFile();
    void readSeesChangesMadeByHand();
    void longValueIsCut_data();
    void longValueIsCut();

    void write_data();
    void write();
    void writeRefused_data();
    void writeRefused();
    void chineseRoundTrip();
    void invalidGbkBytes();
    void largeFile();

    void settingsHelpers();

private:
    QString file() const { return m_dir->filePath("test.ini"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // "DEF" is the default

    QTest::newRow("plain") << QByteArray("[Control]\r\nip=10.0.0.5\r\n") << "Control" << "ip" << "10.0.0.5";
    QTest::newRow("names without case") << QByteArray("[CONTROL]\r\nIP=x\r\n") << "control" << "Ip" << "x";
    QTest::newRow("blanks in header and around =")
        << QByteArray("[ Control ]\r\n  kd = 1 \r\n") << "Control" << "kd" << "1";
    QTest::newRow("tabs and ctrl-z blanks") << QByteArray("[A]\r\n\tk\t=\tv\x1a\t\r\n") << "A" << "k" << "v";
    QTest::newRow("bare LF, no final newline") << QByteArray("[A]\nx=1\nk=v") << "A" << "k" << "v";
    QTest::newRow("empty value is not the default") << QByteArray("[A]\r\nk=\r\n") << "A" << "k" << "";
    QTest::newRow("value holds =") << QByteArray("[A]\r\nk=a=b\r\n") << "A" << "k" << "a=b";
    QTest::newRow("double quotes") << QByteArray("[A]\r\nk=\"  a b \"\r\n") << "A" << "k" << "  a b ";
    QTest::newRow("single quotes after blanks") << QByteArray("[A]\r\nk=  'x'  \r\n") << "A" << "k" << "x";
    QTest::newRow("empty quotes") << QByteArray("[A]\r\nk=\"\"\r\n") << "A" << "k" << "";
    QTest::newRow("opening quote only") << QByteArray("[A]\r\nk=\"abc\r\n") << "A" << "k" << "\"abc";
    QTest::newRow("closing quote only") << QByteArray("[A]\r\nk=abc'\r\n") << "A" << "k" << "abc'";
    QTest::newRow("quotes that differ") << QByteArray("[A]\r\nk=\"abc'\r\n") << "A" << "k" << "\"abc'";
    QTest::newRow("lone quote") << QByteArray("[A]\r\nk=\"\r\n") << "A" << "k" << "\"";
    QTest::newRow("missing key") << QByteArray("[A]\r\nx=1\r\n") << "A" << "k" << "DEF";
    QTest::newRow("missing section") << QByteArray("[B]\r\nk=1\r\n") << "A" << "k" << "DEF";
    QTest::newRow("key of the next section") << QByteArray("[A]\r\n[B]\r\nk=1\r\n") << "A" << "k" << "DEF";
    QTest::newRow("duplicate section: first read")
        << QByteArray("[A]\r\nk=1\r\n[A]\r\nk=2\r\n") << "A" << "k" << "1";
    QTest::newRow("duplicate section: second never read")
        << QByteArray("[A]\r\nx=1\r\n[a]\r\nk=2\r\n") << "A" << "k" << "DEF";
    QTest::newRow("duplicate key: first read") << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << "A" << "k" << "1";
    QTest::newRow("line without = is skipped") << QByteArray("[A]\r\nk\r\nk=3\r\n") << "A" << "k" << "3";
    QTest::newRow("line without = is no key") << QByteArray("[A]\r\nk\r\n") << "A" << "k" << "DEF";
    QTest::newRow("comment is no key") << QByteArray("[A]\r\n;k=1\r\n") << "A" << ";k" << "DEF";
    QTest::newRow("comment skipped") << QByteArray("[A]\r\n ;k=1\r\nk=2\r\n") << "A" << "k" << "2";
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[A]\r\n") << "A" << "k" << "DEF";
    QTest::newRow("key before any section, empty name")
        << QByteArray("k=1\r\n[A]\r\n") << "" << "k" << "DEF";
    QTest::newRow("text after header") << QByteArray("[A] ; note\r\nk=1\r\n") << "A" << "k" << "1";
    QTest::newRow("[ without ] is no header")
        << QByteArray("[B]\r\n[A\r\nk=1\r\n") << "B" << "k" << "1";
    QTest::newRow("[ without ] opens nothing")
        << QByteArray("[B]\r\n[A\r\nk=1\r\n") << "A" << "k" << "DEF";
    QTest::newRow("chinese") << (QByteArray("[modal]\r\nname1=") + kGbkHuiYi + "\r\n") << "MODAL" << "NAME1"
                             << QString::fromUtf8("会议");
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    Put(file(), content);
    QCOMPARE(mc::IniFile(file()).ReadString(section, key, "DEF"), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected"); // -99 is the default

    QTest::newRow("decimal") << QByteArray("16") << 16;
    QTest::newRow("minus") << QByteArray("-7") << -7;
    QTest::newRow("plus") << QByteArray("+7") << 7;
    QTest::newRow("dollar") << QByteArray("$10") << 16;
    QTest::newRow("0x") << QByteArray("0x1F") << 31;
    QTest::newRow("0X") << QByteArray("0X1f") << 31;
    QTest::newRow("0x alone") << QByteArray("0x") << -99;
    QTest::newRow("dollar alone") << QByteArray("$") << -99;
    QTest::newRow("32-bit pattern") << QByteArray("$FFFFFFFF") << -1;
    QTest::newRow("overflow") << QByteArray("99999999999") << -99;
    QTest::newRow("hex overflow") << QByteArray("$100000000") << -99;
    QTest::newRow("text") << QByteArray("abc") << -99;
    QTest::newRow("digits then text") << QByteArray("16abc") << -99;
    QTest::newRow("inner blank") << QByteArray("1 2") << -99;
    QTest::newRow("blanks around") << QByteArray("  12  ") << 12;
    QTest::newRow("quoted") << QByteArray("'12'") << 12;
    QTest::newRow("empty") << QByteArray("") << -99;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    Put(file(), "[Control]\r\nkd=" + value + "\r\n");
    QCOMPARE(mc::IniFile(file()).ReadInteger("control", "KD", -99), expected);
}

void TestIniFile::readMissingFile()
{
    mc::IniFile ini(file());
    QCOMPARE(ini.ReadString("A", "k", "DEF"), QString("DEF"));
    QCOMPARE(ini.ReadInteger("A", "k", 7), 7);

    // A folder where the file should be reads like a missing file.
    QVERIFY(QDir(m_dir->path()).mkdir("test.ini"));
    QCOMPARE(ini.ReadString("A", "k", "DEF"), QString("DEF"));
}

void TestIniFile::readSeesChangesMadeByHand()
{
    mc::IniFile ini(file());
    ini.WriteString("Control", "ip", "1.2.3.4");
    QCOMPARE(ini.ReadString("Control", "ip", ""), QString("1.2.3.4"));
    Put(file(), "[Control]\r\nip=5.6.7.8\r\n");
    QCOMPARE(ini.ReadString("Control", "ip", ""), QString("5.6.7.8"));
}

void TestIniFile::longValueIsCut_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("5000 ascii bytes") << QByteArray(5000, 'a') << QString(2047, u'a');
    QTest::newRow("exactly 2047 bytes") << QByteArray(2047, 'b') << QString(2047, u'b');
    QTest::newRow("quotes stripped before the cut")
        << ("\"" + QByteArray(3000, 'c') + "\"") << QString(2047, u'c');
    QString hui = QString::fromUtf8("会");
    // 1023 characters are 2046 bytes; the 1024th would be cut in half.
    QTest::newRow("double-byte not split") << kGbkHuiYi.left(2).repeated(3000) << hui.repeated(1023);
    QTest::newRow("double-byte ending at 2047")
        << ("a" + kGbkHuiYi.left(2).repeated(3000)) << ("a" + hui.repeated(1023));
}

void TestIniFile::longValueIsCut()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);
    Put(file(), "[A]\r\nk=" + value + "\r\n");
    QCOMPARE(mc::IniFile(file()).ReadString("A", "k", "DEF"), expected);
}

void TestIniFile::write_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("missing file is created") << false << QByteArray() << "S" << "k" << "v"
                                             << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("empty file") << true << QByteArray() << "S" << "k" << "v" << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("replace in place, spelling kept, other lines untouched")
        << true << QByteArray("; top\n[control]\n  KD = 1 \nip=x\n") << "Control" << "kd" << "5"
        << QByteArray("; top\n[control]\nKD=5\r\nip=x\n");
    QTest::newRow("replace last line without newline")
        << true << QByteArray("[S]\r\nk=1") << "S" << "k" << "2" << QByteArray("[S]\r\nk=2\r\n");
    QTest::newRow("header with blanks") << true << QByteArray("[ Control ]\r\nkd = 1\r\n") << "control" << "KD"
                                        << "0" << QByteArray("[ Control ]\r\nkd=0\r\n");
    QTest::newRow("new key after last key, before blank lines")
        << true << QByteArray("[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=1\r\n") << "A" << "new" << "2"
        << QByteArray("[A]\r\na=1\r\nnew=2\r\n\r\n\r\n[B]\r\nb=1\r\n");
    QTest::newRow("new key before a closing comment")
        << true << QByteArray("[A]\na=1\n; about B\n[B]\n") << "A" << "new" << "2"
        << QByteArray("[A]\na=1\nnew=2\r\n; about B\n[B]\n");
    QTest::newRow("new key in last section without final newline")
        << true << QByteArray("[A]\r\na=1") << "A" << "new" << "2" << QByteArray("[A]\r\na=1\r\nnew=2\r\n");
    QTest::newRow("new key under a bare header at the end") << true << QByteArray("[A]") << "A" << "new" << "2"
                                                            << QByteArray("[A]\r\nnew=2\r\n");
    QTest::newRow("new section, file without final newline")
        << true << QByteArray("[A]\r\na=1") << "B" << "b" << "2" << QByteArray("[A]\r\na=1\r\n[B]\r\nb=2\r\n");
    QTest::newRow("new section after LF file")
        << true << QByteArray("[A]\na=1\n") << "B" << "b" << "2" << QByteArray("[A]\na=1\n[B]\r\nb=2\r\n");
    QTest::newRow("duplicate section: first written")
        << true << QByteArray("[A]\r\na=1\r\n[B]\r\n[a]\r\na=2\r\n") << "A" << "a" << "9"
        << QByteArray("[A]\r\na=9\r\n[B]\r\n[a]\r\na=2\r\n");
    QTest::newRow("duplicate section: missing key goes to the first")
        << true << QByteArray("[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=1\r\n") << "A" << "y" << "5"
        << QByteArray("[A]\r\nx=1\r\ny=5\r\n[B]\r\n[A]\r\ny=1\r\n");
    QTest::newRow("duplicate key: first written")
        << true << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << "A" << "k" << "9" << QByteArray("[A]\r\nk=9\r\nk=2\r\n");
    QTest::newRow("line without = kept") << true << QByteArray("[A]\r\nx=1\r\nk\r\n") << "A" << "k" << "1"
                                         << QByteArray("[A]\r\nx=1\r\nk=1\r\nk\r\n");
    QTest::newRow("comment kept") << true << QByteArray("[A]\r\n;k=1\r\n") << "A" << "k" << "2"
                                  << QByteArray("[A]\r\nk=2\r\n;k=1\r\n");
    QTest::newRow("key before any section not matched")
        << true << QByteArray("k=1\r\n[A]\r\n") << "A" << "k" << "2" << QByteArray("k=1\r\n[A]\r\nk=2\r\n");
    QTest::newRow("value written untrimmed") << true << QByteArray() << "Control" << "ip" << " 1.2.3.4 "
                                             << QByteArray("[Control]\r\nip= 1.2.3.4 \r\n");
    QTest::newRow("line breaks in a value stay on its line")
        << true << QByteArray("[S]\r\nk=1\r\n") << "S" << "k" << "a\r\n[x]\nb"
        << QByteArray("[S]\r\nk=a  [x] b\r\n");
}

void TestIniFile::write()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (exists)
        Put(file(), before);
    mc::IniFile ini(file());
    ini.WriteString(section, key, value);
    QCOMPARE(Bytes(file()), after);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"test.ini"});
}

void TestIniFile::writeRefused_data()
{
    QTest::addColumn<bool>("folderAtPath");
    QTest::newRow("folder where the file should be") << true;
    QTest::newRow("path in a missing folder") << false;
}

void TestIniFile::writeRefused()
{
    QFETCH(bool, folderAtPath);
    QString path;
    if (folderAtPath) {
        path = file();
        QVERIFY(QDir(m_dir->path()).mkdir("test.ini"));
    } else {
        path = m_dir->filePath("missing/modalname.mdb");
    }
    mc::IniFile ini(path);
    try {
        ini.WriteInteger("Control", "kd", 1);
        QFAIL("write was not refused");
    } catch (const mc::Error &e) {
        QCOMPARE(e.message(), "Unable to write to " + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    }
    QCOMPARE(QFileInfo(file()).isDir(), folderAtPath);
    // No temporary file left behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             folderAtPath ? QStringList{"test.ini"} : QStringList{});
}

void TestIniFile::chineseRoundTrip()
{
    mc::IniFile ini(file());
    ini.WriteString("modal", "name1", QString::fromUtf8("会议"));
    ini.WriteString("modal", "name2", QString::fromUtf8("矩阵控制"));
    ini.WriteInteger("Control", "kd", -5);
    QCOMPARE(Bytes(file()), QByteArray("[modal]\r\nname1=") + kGbkHuiYi + "\r\nname2=" + kGbkJuZhenKongZhi
                                + "\r\n[Control]\r\nkd=-5\r\n");
    QCOMPARE(ini.ReadString("modal", "name1", ""), QString::fromUtf8("会议"));
    QCOMPARE(ini.ReadString("modal", "name2", ""), QString::fromUtf8("矩阵控制"));
    QCOMPARE(ini.ReadInteger("Control", "kd", 0), -5);
}

void TestIniFile::invalidGbkBytes()
{
    // \x81\x20 is a lead byte with an invalid trail; \xff and \x80 are never
    // valid. The bad lines must not spoil their neighbours.
    const QByteArray before = QByteArray("[A]\r\nbad=x\x81") + " y\xff\r\n; \x80\xff comment\r\nk=ok\r\n";
    Put(file(), before);
    mc::IniFile ini(file());
    QCOMPARE(ini.ReadString("A", "k", ""), QString("ok"));
    const QString bad = ini.ReadString("A", "bad", "");
    qInfo() << "bad bytes read as" << bad;
    QVERIFY2(bad.startsWith(u'x') && bad.contains(u'y') && bad.contains(QChar::ReplacementCharacter),
             qPrintable(bad));

    ini.WriteString("A", "k", QString::fromUtf8("会议"));
    QCOMPARE(Bytes(file()), QByteArray("[A]\r\nbad=x\x81") + " y\xff\r\n; \x80\xff comment\r\nk=" + kGbkHuiYi + "\r\n");
}

void TestIniFile::largeFile()
{
    // About 12 MB: 5000 sections of 50 keys with Chinese values. Reading and
    // writing a key at the very end must stay a linear pass.
    QByteArray content;
    content.reserve(11 * 1024 * 1024);
    const QByteArray value = kGbkJuZhenKongZhi + " " + QByteArray(30, 'v');
    for (int s = 0; s < 5000; ++s) {
        content += "[section" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < 50; ++k)
            content += "key" + QByteArray::number(k) + "=" + value + "\r\n";
    }
    QVERIFY(content.size() > 10 * 1000 * 1000);
    Put(file(), content);

    mc::IniFile ini(file());
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(ini.ReadString("SECTION4999", "KEY49", ""), QString::fromUtf8("矩阵控制 ") + QString(30, u'v'));
    const qint64 readMs = timer.restart();
    ini.WriteString("section4999", "new", "1");
    ini.WriteString("section0", "key0", "2");
    ini.WriteString("added", "k", "3");
    const qint64 writeMs = timer.elapsed();
    qInfo("%.1f MB settings file: read of the last key %lld ms, three writes %lld ms",
          content.size() / 1e6, readMs, writeMs);

    const QByteArray firstLine = "key0=" + value + "\r\n";
    QByteArray expected = content;
    expected.replace(content.indexOf(firstLine), firstLine.size(), "key0=2\r\n");
    expected += "new=1\r\n[added]\r\nk=3\r\n";
    QVERIFY(Bytes(file()) == expected);
}

void TestIniFile::settingsHelpers()
{
    const QString folder = m_dir->path();
    // Without any file: the defaults.
    QCOMPARE(mc::settings::ReadTitle(folder), QString::fromUtf8("矩阵控制"));
    QCOMPARE(mc::settings::ReadLinkKind(folder), 0);
    QCOMPARE(mc::settings::ReadNetworkAddress(folder), QString("192.168.1.200"));
    QCOMPARE(mc::settings::ReadModeName(folder, 3), QString());

    // Names written in capitals by hand.
    Put(QDir(folder).filePath("title.txt"), "[TITLE]\r\nCAP=" + kGbkHuiYi + "\r\n");
    Put(QDir(folder).filePath("modalname.mdb"),
        "[CONTROL]\r\nKD=5\r\nIP=10.1.2.3\r\n[MODAL]\r\nNAME3=" + kGbkJuZhenKongZhi + "\r\n");
    QCOMPARE(mc::settings::ReadTitle(folder), QString::fromUtf8("会议"));
    QCOMPARE(mc::settings::ReadLinkKind(folder), 5);
    QCOMPARE(mc::settings::ReadNetworkAddress(folder), QString("10.1.2.3"));
    QCOMPARE(mc::settings::ReadModeName(folder, 3), QString::fromUtf8("矩阵控制"));
    QCOMPARE(mc::settings::ReadModeName(folder, 4), QString());

    // A link kind that is not a number selects the serial port.
    Put(QDir(folder).filePath("modalname.mdb"), "[Control]\r\nkd=net\r\n");
    QCOMPARE(mc::settings::ReadLinkKind(folder), 0);
}

MC_TEST_MAIN(TestIniFile)
#include "tst_inifile.moc"
