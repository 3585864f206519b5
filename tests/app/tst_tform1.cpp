// Start-up of the main window in a temporary folder: caption, preset list,
// link kind, database failure and the link opened at the end.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "app/tform1.h"
#include "core/gbk.h"
#include "setup/matrixdb.h"
#include "tests/support/programfolder.h"
#include "tests/support/testsupport.h"

namespace {
const QString kMissingPort = QStringLiteral("/nonexistent/ttyMC0");

void writeGbk(const QString &path, const QString &text) { QVERIFY(mc::test::WriteGbk(path, text)); }

// A folder with the default database whose serial port cannot exist, so no
// test ever opens a real port.
void prepareFolder(const QTemporaryDir &dir) { QVERIFY(mc::test::PrepareDatabase(dir.path(), kMissingPort)); }
} // namespace

class TestTForm1 : public QObject {
    Q_OBJECT
private slots:
    void caption_data();
    void caption();
    void presetListAndLinkKind_data();
    void presetListAndLinkKind();
    void missingDatabase();
    void corruptDatabase();
    void serialLinkAtStart();
    void networkLinkAtStart();
};

void TestTForm1::caption_data()
{
    QTest::addColumn<QByteArray>("file");   // bytes of title.txt, empty = no file
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file") << QByteArray() << QStringLiteral("矩阵控制");
    QTest::newRow("gbk title") << mc::ToGbk(QStringLiteral("[title]\r\ncap=会议室矩阵\r\n"))
                               << QStringLiteral("会议室矩阵");
    QTest::newRow("names in capitals") << QByteArray("[TITLE]\r\nCAP=Hall\r\n") << QStringLiteral("Hall");
    QTest::newRow("key missing") << QByteArray("[title]\r\nother=x\r\n") << QStringLiteral("矩阵控制");
    QTest::newRow("invalid gbk bytes") << QByteArray("[title]\r\ncap=A\x81\x20Z\r\n") << QString();
}

void TestTForm1::caption()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    prepareFolder(dir);
    if (!file.isEmpty()) {
        QFile f(dir.filePath(QStringLiteral("title.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    TForm1 form(dir.path());
    if (expected.isNull()) {   // undecodable bytes: a caption, no crash
        QVERIFY(form.windowTitle().startsWith(QLatin1Char('A')));
        QVERIFY(form.windowTitle().endsWith(QLatin1Char('Z')));
    } else {
        QCOMPARE(form.windowTitle(), expected);
    }
    QVERIFY(form.MatrixIdText.isEmpty());
    QVERIFY(!form.SelectedInput);
    QVERIFY(!form.SelectedOutput);
}

void TestTForm1::presetListAndLinkKind_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("linkKind");
    QTest::addColumn<QString>("third");
    QTest::newRow("no file") << QString() << 0 << QStringLiteral("3.");
    QTest::newRow("name3 only") << QStringLiteral("[modal]\r\nname3=会议\r\n") << 0 << QStringLiteral("3.会议");
    QTest::newRow("kd 1") << QStringLiteral("[Control]\r\nkd=1\r\nip=127.0.0.1\r\n") << 1 << QStringLiteral("3.");
    QTest::newRow("kd 5") << QStringLiteral("[Control]\r\nkd=5\r\nip=127.0.0.1\r\n") << 5 << QStringLiteral("3.");
    QTest::newRow("kd -1") << QStringLiteral("[control]\r\nKD=-1\r\nip=127.0.0.1\r\n") << -1 << QStringLiteral("3.");
    QTest::newRow("kd not a number") << QStringLiteral("[Control]\r\nkd=net\r\n") << 0 << QStringLiteral("3.");
}

void TestTForm1::presetListAndLinkKind()
{
    QFETCH(QString, settings);
    QFETCH(int, linkKind);
    QFETCH(QString, third);
    QTemporaryDir dir;
    prepareFolder(dir);
    if (!settings.isNull())
        writeGbk(dir.filePath(QStringLiteral("modalname.mdb")), settings);
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    TForm1 form(dir.path());
    QCOMPARE(form.LinkKind(), linkKind);
    QCOMPARE(form.bsSkinComboBox3->count(), 9);
    QCOMPARE(form.bsSkinComboBox3->itemText(0), QStringLiteral("1."));
    QCOMPARE(form.bsSkinComboBox3->itemText(2), third);
    QCOMPARE(form.bsSkinComboBox3->itemText(8), QStringLiteral("9."));
    QCOMPARE(form.bsSkinComboBox3->currentIndex(), 0);
}

// Without a database: one error box with the engine's message, no file is
// created, nothing after the database step runs, and the window still opens.
void TestTForm1::missingDatabase()
{
    QTemporaryDir dir;
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    TForm1 form(dir.path());
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QVERIFY(!boxes.shown[0].text.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("mswdb.mdb"))));
    QCOMPARE(form.Label4->text(), QStringLiteral("COM1"));
    QVERIFY(pauses.pauses.isEmpty());
    QCOMPARE(form.bsSkinComboBox3->count(), 9);
    QCOMPARE(form.windowTitle(), QStringLiteral("矩阵控制"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

void TestTForm1::corruptDatabase()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("mswdb.mdb")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    TForm1 form(dir.path());
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(form.Label4->text(), QStringLiteral("COM1"));
}

// The serial link is the default: a port that does not exist gives the
// warning, the label, and the status query after both pauses.
void TestTForm1::serialLinkAtStart()
{
    QTemporaryDir dir;
    prepareFolder(dir);
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    TForm1 form(dir.path());
    QCOMPARE(form.Label4->text(), QStringLiteral("断开") + kMissingPort);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes.shown[0].caption, QStringLiteral("系统提示"));
    QCOMPARE(boxes.shown[0].text, QStringLiteral("对不起,打开串口") + kMissingPort +
                                      QStringLiteral("失败!可能此串口不存在或被其它软件占用!"));
    QCOMPARE(pauses.pauses, (QList<int>{300, 300, 200}));
}

void TestTForm1::networkLinkAtStart()
{
    QTemporaryDir dir;
    prepareFolder(dir);
    writeGbk(dir.filePath(QStringLiteral("modalname.mdb")),
             QStringLiteral("[Control]\r\nkd=1\r\nip=127.0.0.1\r\n"));
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    TForm1 form(dir.path());
    QCOMPARE(form.Label4->text(), QStringLiteral("断开127.0.0.1"));
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(form.Link().ClientSocket1.Address(), QStringLiteral("127.0.0.1"));
}

MC_TEST_MAIN(TestTForm1)
#include "tst_tform1.moc"
