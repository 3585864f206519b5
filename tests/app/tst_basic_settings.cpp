// The basic settings dialog and its handler: checks of the counts, how the
// dialog is filled, what a confirmation stores and in which order, the link
// reopened, and the end of the program after a size change.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include "app/tform1.h"
#include "core/gbk.h"
#include "setup/dialogs/tform2.h"
#include "setup/matrixdb.h"
#include "tests/app/appfixture.h"
#include "tests/support/testsupport.h"
#include "ui/messages.h"

namespace {

const QString kEmptyMessage = QStringLiteral("对不起,输入及输出通道数不能为空!");
const QString kRangeMessage = QStringLiteral("对不起,输入及输出通道数必须为1--128!");
const QString kRestartMessage =
    QStringLiteral("1.对输入或输出数进行更改，必须重启软件，才能生效； 2.软件将自动关闭，请重新打开！！！");

// Runs every settings dialog through a filling function instead of a modal loop.
using DialogHook = mc::test::DialogHookFor<TForm2>;

// Offers the fixture's pty in the port list and chooses it, as an operator
// would choose an adapter.
void choosePort(TForm2 *form, const QString &path)
{
    form->bsSkinComboBox1->addItem(path);
    form->bsSkinComboBox1->setCurrentIndex(form->bsSkinComboBox1->count() - 1);
}

// Counts close requests of the main window.
class CloseWatch : public QObject {
public:
    int closes = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

QList<int> numbers(mc::TableView &view, const QString &column)
{
    QList<int> result;
    for (view.First(); !view.Eof(); view.Next())
        result.append(view.AsInteger(column));
    return result;
}

} // namespace

class TestBasicSettings : public QObject {
    Q_OBJECT
private slots:
    void validation_data();
    void validation();
    void opening_data();
    void opening();
    void serialAdapters();
    void layout();
    void confirmWithoutChange();
    void confirmReopensNetworkLink();
    void sizeChangeResizesAndCloses();
    void emptySetupRow();
    void cancelStoresNothing();
    void refusedSettingsWrite();
    void failedDatabaseSave();
};

void TestBasicSettings::validation_data()
{
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("outputs");
    QTest::addColumn<QString>("message");    // empty: accepted
    QTest::addColumn<bool>("errorBox");      // standard error box rather than a warning

    QTest::newRow("both filled") << "16" << "16" << QString() << false;
    QTest::newRow("limits") << "1" << "128" << QString() << false;
    QTest::newRow("leading blank") << " 16" << "16" << QString() << false;
    QTest::newRow("hexadecimal") << "$10" << "0x20" << QString() << false;
    QTest::newRow("inputs empty") << "" << "16" << kEmptyMessage << false;
    QTest::newRow("outputs blank") << "16" << "   " << kEmptyMessage << false;
    QTest::newRow("control characters only") << "\t\r\n" << "16" << kEmptyMessage << false;
    QTest::newRow("empty before not a number") << "abc" << "" << kEmptyMessage << false;
    QTest::newRow("abc") << "abc" << "16" << "'abc' is not a valid integer value" << true;
    QTest::newRow("trailing blank") << "16 " << "16" << "'16 ' is not a valid integer value" << true;
    QTest::newRow("mixed") << "12ab" << "16" << "'12ab' is not a valid integer value" << true;
    QTest::newRow("outputs not a number") << "16" << "x1" << "'x1' is not a valid integer value" << true;
    QTest::newRow("conversion before range") << "abc" << "0" << "'abc' is not a valid integer value" << true;
    QTest::newRow("zero") << "0" << "16" << kRangeMessage << false;
    QTest::newRow("129") << "16" << "129" << kRangeMessage << false;
    QTest::newRow("negative") << "-1" << "16" << kRangeMessage << false;
}

void TestBasicSettings::validation()
{
    QFETCH(QString, inputs);
    QFETCH(QString, outputs);
    QFETCH(QString, message);
    QFETCH(bool, errorBox);

    mc::test::MessageRecorder boxes;
    TForm2 form;
    form.bsSkinEdit1->setText(inputs);
    form.bsSkinEdit2->setText(outputs);
    form.RzBmpButton5Click();

    if (message.isEmpty()) {
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        return;
    }
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, message);
    if (errorBox) {
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.shown[0].caption, mc::ui::ErrorBoxCaption());
    } else {
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(boxes.shown[0].caption, QStringLiteral("系统提示"));
    }
    // The dialog stays open with what was typed.
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(form.bsSkinEdit1->text(), inputs);
    QCOMPARE(form.bsSkinEdit2->text(), outputs);
}

void TestBasicSettings::opening_data()
{
    QTest::addColumn<QString>("settings");   // null: no settings file
    QTest::addColumn<QString>("com");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");       // text the port list shows

    QTest::newRow("no settings file") << QString() << "COM3" << 0 << "192.168.1.200" << "COM3";
    QTest::newRow("network, port in other case")
        << "[Control]\r\nkd=1\r\nip=10.0.0.7\r\n" << "com12" << 1 << "10.0.0.7" << "COM12";
    QTest::newRow("kd 5 shows the network") << "[Control]\r\nkd=5\r\n" << "COM1" << 1 << "192.168.1.200" << "COM1";
    QTest::newRow("kd -1 shows the network") << "[Control]\r\nkd=-1\r\n" << "COM1" << 1 << "192.168.1.200" << "COM1";
    QTest::newRow("kd not a number") << "[Control]\r\nkd=abc\r\n" << "COM1" << 0 << "192.168.1.200" << "COM1";
    QTest::newRow("port above 20") << QString() << "COM21" << 0 << "192.168.1.200" << "";
}

void TestBasicSettings::opening()
{
    QFETCH(QString, settings);
    QFETCH(QString, com);
    QFETCH(int, kind);
    QFETCH(QString, address);
    QFETCH(QString, port);

    AppFixture f(12, 20);
    QVERIFY(f.drainStartup());
    if (!settings.isNull()) {
        QFile file(f.dir.filePath(QStringLiteral("modalname.mdb")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(mc::ToGbk(settings));
    }
    mc::TableView &swset = f.form->ADOQuery1();
    swset.Edit();
    swset.SetString(QStringLiteral("com"), com);
    swset.Post();

    bool seen = false;
    DialogHook hook([&](TForm2 *form) {
        seen = true;
        QCOMPARE(form->bsSkinComboBox2->currentIndex(), kind);
        QCOMPARE(form->bsSkinComboBox1->currentText(), port);
        QCOMPARE(form->bsSkinComboBox1->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(form->bsSkinComboBox1->itemText(19), QStringLiteral("COM20"));
        QCOMPARE(form->bsSkinEdit1->text(), QStringLiteral("12"));
        QCOMPARE(form->bsSkinEdit2->text(), QStringLiteral("20"));
        QCOMPARE(form->bsSkinEdit3->text(), address);
        form->reject();
    });
    f.form->dddd1Click();
    QVERIFY(seen);
}

// USB serial adapters follow COM1..COM20 by their short names, in number
// order; other devices are not offered.
void TestBasicSettings::serialAdapters()
{
    QTemporaryDir dev;
    for (const char *name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyUSBx", "ttyACM1a"}) {
        QFile file(dev.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(TForm2::SerialAdapters(dev.path()),
             QStringList({QStringLiteral("ttyUSB2"), QStringLiteral("ttyUSB10"), QStringLiteral("ttyACM0")}));
}

// Controls where the operator expects them; with MC_SCREENSHOT_DIR set the
// dialog is also saved as a picture.
void TestBasicSettings::layout()
{
    TForm2 form;
    form.bsSkinEdit1->setText(QStringLiteral("16"));
    form.bsSkinEdit2->setText(QStringLiteral("16"));
    form.bsSkinEdit3->setText(QStringLiteral("192.168.1.200"));
    form.SelectPort(QStringLiteral("COM1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("基本设置"));
    QCOMPARE(form.size(), QSize(413, 143));
    const struct {
        QWidget *control;
        QRect place;
    } places[] = {
        {form.Label4, {31, 24, 62, 13}},          {form.bsSkinComboBox2, {97, 21, 98, 20}},
        {form.Label1, {32, 53, 62, 13}},          {form.bsSkinComboBox1, {97, 49, 98, 20}},
        {form.Label5, {48, 79, 45, 13}},          {form.bsSkinEdit3, {96, 77, 99, 18}},
        {form.Label2, {217, 25, 45, 13}},         {form.bsSkinEdit1, {266, 22, 76, 18}},
        {form.Label3, {217, 52, 45, 13}},         {form.bsSkinEdit2, {266, 50, 76, 18}},
        {form.RzBmpButton5, {223, 107, 83, 24}},  {form.RzBmpButton1, {313, 107, 83, 24}},
    };
    for (const auto &place : places)
        QCOMPARE(place.control->geometry(), place.place);
    const QString shots = qEnvironmentVariable("MC_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        form.grab().save(shots + QStringLiteral("/tform2.png"));
}

// Confirming without a change writes everything again, reopens the link
// (a new status query on the port) and keeps the program running.
void TestBasicSettings::confirmWithoutChange()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    CloseWatch watch;
    f.form->installEventFilter(&watch);

    DialogHook hook([&](TForm2 *form) {
        choosePort(form, f.pty.slavePath);
        form->RzBmpButton5Click();
    });
    f.form->dddd1Click();

    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(watch.closes, 0);
    QCOMPARE(mc::test::ReadFile(f.dir.filePath(QStringLiteral("modalname.mdb"))),
             QByteArray("[Control]\r\nkd=0\r\nip=192.168.1.200\r\n"));
    QCOMPARE(f.form->LinkKind(), 0);
    QCOMPARE(f.form->ADOQuery1().AsString(QStringLiteral("com")), f.pty.slavePath);
    QTRY_VERIFY_WITH_TIMEOUT(f.sent().contains("QUER00"), 5000);
}

// Choosing the network stores kd 1 and the address and switches the link:
// the serial port gets nothing more.
void TestBasicSettings::confirmReopensNetworkLink()
{
    AppFixture f(16, 16, {}, {}, QStringLiteral("[Control]\r\nkd=0\r\nip=127.0.0.1\r\n"));
    QVERIFY(f.drainStartup());
    DialogHook hook([&](TForm2 *form) {
        form->bsSkinComboBox2->setCurrentIndex(1);
        form->bsSkinEdit3->setText(QStringLiteral(" 127.0.0.1"));
        form->RzBmpButton5Click();
    });
    f.form->dddd1Click();

    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.form->LinkKind(), 1);
    // The address is stored as typed (the reader trims it again).
    QCOMPARE(mc::test::ReadFile(f.dir.filePath(QStringLiteral("modalname.mdb"))),
             QByteArray("[Control]\r\nkd=1\r\nip= 127.0.0.1\r\n"));
    // The pty was not in the list, so no port is stored.
    QCOMPARE(f.form->ADOQuery1().AsString(QStringLiteral("com")), QString());
    QTest::qWait(100);
    QVERIFY(!f.sent().contains("QUER00"));
}

// Outputs 16 -> 20 and inputs 16 -> 12: rows follow, names are kept, the
// restart message is shown and then the main window closes.
void TestBasicSettings::sizeChangeResizesAndCloses()
{
    AppFixture f(16, 16, {{3, QStringLiteral("DVD")}, {14, QStringLiteral("gone")}},
                 {{16, QStringLiteral("Hall")}});
    QVERIFY(f.drainStartup());
    CloseWatch watch;
    f.form->installEventFilter(&watch);
    int closesWhenAsked = -1;
    f.boxes.shown.clear();
    f.boxes.onShown = [&](const mc::ui::MessageRequest &) { closesWhenAsked = watch.closes; };

    DialogHook hook([&](TForm2 *form) {
        choosePort(form, f.pty.slavePath);
        form->bsSkinEdit1->setText(QStringLiteral("12"));
        form->bsSkinEdit2->setText(QStringLiteral("20"));
        form->RzBmpButton5Click();
    });
    f.form->dddd1Click();

    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, kRestartMessage);
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("系统提示"));
    QCOMPARE(f.boxes.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(closesWhenAsked, 0);   // the message comes first
    QCOMPARE(watch.closes, 1);
    QTRY_VERIFY_WITH_TIMEOUT(f.sent().contains("QUER00"), 5000);

    // What the file holds, seen through a connection of its own.
    mc::MatrixDatabase db;
    db.Open(f.dir.path());
    QCOMPARE(db.swset().AsInteger(QStringLiteral("incount")), 12);
    QCOMPARE(db.swset().AsInteger(QStringLiteral("outcount")), 20);
    QCOMPARE(numbers(db.incap(), QStringLiteral("inc")), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    QList<int> outputs;
    for (int n = 1; n <= 20; ++n)
        outputs.append(n);
    QCOMPARE(numbers(db.outcap(), QStringLiteral("outc")), outputs);
    QVERIFY(db.incap().Locate(QStringLiteral("inc"), 3));
    QCOMPARE(db.incap().AsString(QStringLiteral("cap")), QStringLiteral("DVD"));
    QVERIFY(db.outcap().Locate(QStringLiteral("outc"), 16));
    QCOMPARE(db.outcap().AsString(QStringLiteral("cap")), QStringLiteral("Hall"));
    for (int n = 17; n <= 20; ++n) {
        QVERIFY(db.outcap().Locate(QStringLiteral("outc"), n));
        QCOMPARE(db.outcap().AsString(QStringLiteral("cap")), QString());
    }
    // The view's read-only flags are back on.
    QVERIFY(f.form->ADOQuery2().ReadOnly(QStringLiteral("inc")));
    QVERIFY(f.form->ADOQuery3().ReadOnly(QStringLiteral("outc")));
}

// No setup row: the fields open empty and a confirmation creates the row;
// the counts changed from 0, so the program ends.
void TestBasicSettings::emptySetupRow()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    f.form->ADOQuery1().Delete();
    CloseWatch watch;
    f.form->installEventFilter(&watch);
    DialogHook hook([&](TForm2 *form) {
        QCOMPARE(form->bsSkinEdit1->text(), QString());
        QCOMPARE(form->bsSkinEdit2->text(), QString());
        QCOMPARE(form->bsSkinComboBox1->currentIndex(), -1);
        choosePort(form, f.pty.slavePath);
        form->bsSkinEdit1->setText(QStringLiteral("16"));
        form->bsSkinEdit2->setText(QStringLiteral("16"));
        form->RzBmpButton5Click();
    });
    f.form->dddd1Click();

    QCOMPARE(f.form->ADOQuery1().RecordCount(), 1);
    QCOMPARE(f.form->ADOQuery1().AsInteger(QStringLiteral("incount")), 16);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, kRestartMessage);
    QCOMPARE(watch.closes, 1);
}

void TestBasicSettings::cancelStoresNothing()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    CloseWatch watch;
    f.form->installEventFilter(&watch);
    DialogHook hook([&](TForm2 *form) {
        form->bsSkinEdit2->setText(QStringLiteral("20"));
        form->bsSkinComboBox2->setCurrentIndex(1);
        form->reject();
    });
    f.form->dddd1Click();

    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(watch.closes, 0);
    QVERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("modalname.mdb"))));
    QCOMPARE(f.form->ADOQuery1().AsInteger(QStringLiteral("outcount")), 16);
    QCOMPARE(f.form->ADOQuery3().RecordCount(), 16);
    QCOMPARE(f.form->LinkKind(), 0);
    QTest::qWait(100);
    QVERIFY(!f.sent().contains("QUER00"));
}

// The settings file cannot be written (a folder stands in its place): the
// error box, and nothing after the first write happens.
void TestBasicSettings::refusedSettingsWrite()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    const QString settingsPath = f.dir.filePath(QStringLiteral("modalname.mdb"));
    QVERIFY(QDir().mkdir(settingsPath));
    CloseWatch watch;
    f.form->installEventFilter(&watch);
    DialogHook hook([&](TForm2 *form) {
        choosePort(form, f.pty.slavePath);
        form->bsSkinComboBox2->setCurrentIndex(1);
        form->bsSkinEdit2->setText(QStringLiteral("20"));
        form->RzBmpButton5Click();
    });
    // The handler runs behind the menu's error guard.
    mc::ui::Guarded(f.form.get(), [&] { f.form->dddd1Click(); });

    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(f.boxes.shown[0].text, QStringLiteral("Unable to write to ") + settingsPath);
    QCOMPARE(f.form->LinkKind(), 0);
    QCOMPARE(f.form->ADOQuery1().AsInteger(QStringLiteral("outcount")), 16);
    QCOMPARE(f.form->ADOQuery3().RecordCount(), 16);
    QCOMPARE(watch.closes, 0);
    QTest::qWait(100);
    QVERIFY(!f.sent().contains("QUER00"));
}

// The database refuses the save: the settings file keys written before it
// stay, the row keeps its change pending, the name tables, the link and the
// program are left alone.
void TestBasicSettings::failedDatabaseSave()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    f.form->ADOConnection1.Open(f.dir.path(), true);
    CloseWatch watch;
    f.form->installEventFilter(&watch);
    DialogHook hook([&](TForm2 *form) {
        choosePort(form, f.pty.slavePath);
        form->bsSkinEdit3->setText(QStringLiteral("127.0.0.1"));
        form->bsSkinEdit2->setText(QStringLiteral("20"));
        form->RzBmpButton5Click();
    });
    mc::ui::Guarded(f.form.get(), [&] { f.form->dddd1Click(); });

    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].icon, QMessageBox::Critical);
    QVERIFY(!f.boxes.shown[0].text.isEmpty());
    QCOMPARE(mc::test::ReadFile(f.dir.filePath(QStringLiteral("modalname.mdb"))),
             QByteArray("[Control]\r\nkd=0\r\nip=127.0.0.1\r\n"));
    QVERIFY(f.form->ADOQuery1().Modified());
    QCOMPARE(f.form->ADOQuery3().RecordCount(), 16);
    QCOMPARE(watch.closes, 0);
    QTest::qWait(100);
    QVERIFY(!f.sent().contains("QUER00"));
    mc::MatrixDatabase db;
    db.Open(f.dir.path());
    QCOMPARE(db.swset().AsInteger(QStringLiteral("outcount")), 16);
}

MC_TEST_MAIN(TestBasicSettings)
#include "tst_basic_settings.moc"
