// The seamless-matrix dialogs: the frames each button sends with the pauses
// between them, the defaults at every opening, the channel taken from the
// list position, the access code, and channels the address field cannot
// reach.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/error.h"
#include "seamless/dialogs/tform8.h"
#include "seamless/dialogs/ttongdao.h"
#include "seamless/dialogs/ttuxiang.h"
#include "tests/app/appfixture.h"

namespace {

const QString kInHeader = QStringLiteral("53 4E 44 57 46 31");
const QString kOutHeader = QStringLiteral("53 4E 44 57 46 32");
const QString kAll = QStringLiteral("FF FF FF FF FF FF FF FF FF");
const QString kFollowUp = QStringLiteral("D5 27 12 00 00 00 0E F1");

// Address fields of the channels the tables use.
QString addr(int channel)
{
    static const QMap<int, QString> known{
        {1, QStringLiteral("00 00 00 00 00 00 00 00 01")}, {3, QStringLiteral("00 00 00 00 00 00 00 00 04")},
        {5, QStringLiteral("00 00 00 00 00 00 00 00 10")}, {9, QStringLiteral("00 00 00 00 00 00 00 01 00")},
        {10, QStringLiteral("00 00 00 00 00 00 00 02 00")}, {32, QStringLiteral("00 00 00 00 00 80 00 00 00")},
        {33, QStringLiteral("00 00 00 00 01 00 00 00 00")}, {40, QStringLiteral("00 00 00 00 80 00 00 00 00")},
        {65, QStringLiteral("01 00 00 00 00 00 00 00 00")}, {72, QStringLiteral("80 00 00 00 00 00 00 00 00")},
    };
    return known.value(channel);
}

QString inFrame(const QString &address, const QString &block)
{
    return kInHeader + ' ' + address + QStringLiteral(" 01 ") + block + QStringLiteral(" 45 44");
}
QString outFrame(const QString &address, const QString &block)
{
    return kOutHeader + ' ' + address + QStringLiteral(" 01 ") + block + QStringLiteral(" 45 44");
}
QString pause(int ms) { return QStringLiteral("pause ") + QString::number(ms); }

// Records the frames a dialog sends and the pauses between them in one
// sequence, and whether the hourglass was up at each of them.
struct Recorder {
    QStringList events;
    bool hourglassThroughout = true;
    mc::test::PauseRecorder pauses;

    Recorder()
    {
        pauses.onPause = [this](int ms) {
            note();
            events << pause(ms);
        };
    }

    void note()
    {
        const QCursor *c = QApplication::overrideCursor();
        if (!c || c->shape() != Qt::WaitCursor)
            hourglassThroughout = false;
    }
    mc::seamless::SendFunction sender()
    {
        return [this](const QByteArray &frame) {
            note();
            events << mc::test::Hex(frame);
        };
    }
};

// A list of `count` channels whose entries read "n name".
void fillList(QComboBox *list, int count)
{
    list->clear();
    for (int n = 1; n <= count; ++n)
        list->addItem(QString::number(n) + QStringLiteral(" 屏") + QString::number(n));
}

// Runs each dialog the program opens through `hooks` in turn; a dialog past
// the last hook is cancelled. Records the class of every dialog opened.
using DialogScript = mc::test::DialogHook;

// Gives the access code and confirms.
int giveCode(QDialog *d)
{
    auto *login = qobject_cast<TForm8 *>(d);
    if (!login)
        return QDialog::Rejected;
    login->Edit1->setText(TForm8::kAccessCode);
    login->RzBmpButton5->click();
    return login->result();
}

} // namespace

class TestSeamlessDialogs : public QObject {
    Q_OBJECT
private slots:
    void channelSettings_data();
    void channelSettings();
    void hourglassRestoredAfterError();
    void imageSteps_data();
    void imageSteps();
    void channelFromListPosition();
    void unaddressableChannel_data();
    void unaddressableChannel();
    void password_data();
    void password();
    void defaultsAtEveryOpening();
    void channelSettingReachesMatrix();
    void imageStepsThroughMenu();
};

void TestSeamlessDialogs::channelSettings_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("channel");   // list position + 1 in the button's list
    QTest::addColumn<int>("choice");    // 1 = the second radio button; else a list position
    QTest::addColumn<QStringList>("expected");

    const QString dip = QStringLiteral("D5 26 00 00 00 00 FB 04");
    const QString serial = QStringLiteral("D5 26 01 00 00 00 FC 03");
    auto priority = [&](const QString &block) {
        return QStringList{outFrame(kAll, block), pause(1500), inFrame(kAll, block), pause(1500),
                           outFrame(kAll, kFollowUp), pause(1500), inFrame(kAll, kFollowUp)};
    };
    auto input = [](int ch, const QString &block) {
        return QStringList{inFrame(addr(ch), block), pause(1000), inFrame(addr(ch), kFollowUp)};
    };
    auto output = [](int ch, const QString &block) {
        return QStringList{outFrame(addr(ch), block), pause(1000), outFrame(addr(ch), kFollowUp), pause(1500)};
    };

    QTest::newRow("priority, DIP switches (default)") << "Button5" << 1 << 0 << priority(dip);
    QTest::newRow("priority, serial port") << "Button5" << 1 << 1 << priority(serial);
    QTest::newRow("input mode auto, in 1") << "Button2" << 1 << 0 << input(1, "D5 28 01 00 00 00 FE 01");
    QTest::newRow("input mode full, in 9") << "Button2" << 9 << 1 << input(9, "D5 28 13 00 00 00 10 EF");
    QTest::newRow("input DVI/HDMI, in 1") << "Button1" << 1 << 0 << input(1, "D5 24 01 00 00 00 FA 05");
    QTest::newRow("input VGA, in 1") << "Button1" << 1 << 1 << input(1, "D5 24 02 00 00 00 FB 04");
    QTest::newRow("input component, in 32") << "Button1" << 32 << 2 << input(32, "D5 24 03 00 00 00 FC 03");
    QTest::newRow("input AV, in 33") << "Button1" << 33 << 3 << input(33, "D5 24 04 00 00 00 FD 02");
    QTest::newRow("output mode auto, out 10") << "Button3" << 10 << 0 << output(10, "D5 28 01 00 00 00 FE 01");
    QTest::newRow("output mode full, out 65") << "Button3" << 65 << 1 << output(65, "D5 28 13 00 00 00 10 EF");
    QTest::newRow("1920*1080, out 1") << "Button4" << 1 << 0 << output(1, "D5 25 01 00 00 00 FB 04");
    QTest::newRow("1280*720, out 10") << "Button4" << 10 << 5 << output(10, "D5 25 06 00 00 00 00 FF");
    QTest::newRow("1366*768, out 3") << "Button4" << 3 << 6 << output(3, "D5 25 07 00 00 00 01 FE");
    QTest::newRow("1024*768, out 72") << "Button4" << 72 << 7 << output(72, "D5 25 08 00 00 00 02 FD");
    QTest::newRow("HD signal HDMI, out 5") << "Button6" << 5 << 0 << output(5, "D5 32 01 00 00 00 08 F7");
    QTest::newRow("HD signal DVI, out 40") << "Button6" << 40 << 1 << output(40, "D5 32 A2 00 00 00 A9 56");
}

void TestSeamlessDialogs::channelSettings()
{
    QFETCH(QString, button);
    QFETCH(int, channel);
    QFETCH(int, choice);
    QFETCH(QStringList, expected);

    mc::test::MessageRecorder boxes;
    Recorder rec;
    TTongdao dialog(rec.sender());
    fillList(dialog.bsSkinComboBox1, 72);
    fillList(dialog.bsSkinComboBox2, 72);
    const bool input = button == "Button1" || button == "Button2";
    (input ? dialog.bsSkinComboBox1 : dialog.bsSkinComboBox2)->setCurrentIndex(channel - 1);
    if (choice == 1) {
        const QMap<QString, QRadioButton *> second{{"Button5", dialog.RzRadioButton1},
                                                    {"Button2", dialog.RzRadioButton4},
                                                    {"Button3", dialog.RzRadioButton6},
                                                    {"Button6", dialog.RzRadioButton8}};
        if (second.contains(button))
            second[button]->setChecked(true);
    }
    if (button == "Button1")
        dialog.bsSkinComboBox3->setCurrentIndex(choice);
    if (button == "Button4")
        dialog.bsSkinComboBox4->setCurrentIndex(choice);

    auto *b = dialog.findChild<QPushButton *>(button);
    QVERIFY(b);
    QCOMPARE(b->text(), QStringLiteral("设  置"));
    b->click();

    QCOMPARE(rec.events, expected);
    QVERIFY(rec.hourglassThroughout);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(dialog.result(), 0);   // a setting never closes the dialog
}

// A send that fails ends the sequence with the error box and puts the
// normal cursor back.
void TestSeamlessDialogs::hourglassRestoredAfterError()
{
    mc::test::MessageRecorder boxes;
    Recorder rec;
    TTongdao dialog([](const QByteArray &) { throw mc::Error(QStringLiteral("link refused")); });
    fillList(dialog.bsSkinComboBox2, 4);
    dialog.Button4->click();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(rec.events.isEmpty());   // no pause after the failed frame
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].text, QStringLiteral("link refused"));
}

void TestSeamlessDialogs::imageSteps_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("block");
    QTest::newRow("brightness up, out 1") << "Button1" << "加+" << 1 << "D5 15 01 00 00 00 EB 14";
    QTest::newRow("brightness down") << "Button4" << "减-" << 3 << "D5 15 00 00 00 00 EA 15";
    QTest::newRow("contrast up") << "Button2" << "加+" << 9 << "D5 16 01 00 00 00 EC 13";
    QTest::newRow("saturation down") << "Button6" << "减-" << 10 << "D5 17 00 00 00 00 EC 13";
    QTest::newRow("sharpness up") << "Button7" << "加+" << 32 << "D5 18 01 00 00 00 EE 11";
    QTest::newRow("red gain down") << "Button12" << "减-" << 33 << "D5 19 00 00 00 00 EE 11";
    QTest::newRow("green gain up") << "Button10" << "加+" << 40 << "D5 1A 01 00 00 00 F0 0F";
    QTest::newRow("blue gain down") << "Button14" << "减-" << 65 << "D5 1B 00 00 00 00 F0 0F";
    QTest::newRow("red offset down") << "Button18" << "减-" << 72 << "D5 1C 00 00 00 00 F1 0E";
    QTest::newRow("green offset up") << "Button16" << "加+" << 1 << "D5 1D 01 00 00 00 F3 0C";
    QTest::newRow("blue offset down, out 5") << "Button20" << "减-" << 5 << "D5 1E 00 00 00 00 F3 0C";
}

// One frame per click, at once: no pause, no follow-up, no hourglass.
void TestSeamlessDialogs::imageSteps()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(int, channel);
    QFETCH(QString, block);

    Recorder rec;
    TTuXiang dialog(rec.sender());
    fillList(dialog.bsSkinComboBox1, 72);
    dialog.bsSkinComboBox1->setCurrentIndex(channel - 1);
    auto *b = dialog.findChild<QPushButton *>(button);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    for (int i = 0; i < 3; ++i)
        b->click();
    const QString frame = outFrame(addr(channel), block);
    QCOMPARE(rec.events, (QStringList{frame, frame, frame}));
    QVERIFY(!rec.hourglassThroughout);
}

// Entries are read by their position; the number written in them does not
// count.
void TestSeamlessDialogs::channelFromListPosition()
{
    Recorder rec;
    const QStringList entries{QStringLiteral("9 大屏"), QStringLiteral("3 投影"), QStringLiteral("10 左屏")};
    TTuXiang image(rec.sender());
    image.bsSkinComboBox1->clear();
    image.bsSkinComboBox1->addItems(entries);
    image.bsSkinComboBox1->setCurrentIndex(2);
    image.findChild<QPushButton *>(QStringLiteral("Button1"))->click();

    TTongdao channels(rec.sender());
    channels.bsSkinComboBox1->clear();
    channels.bsSkinComboBox1->addItems(entries);
    channels.bsSkinComboBox1->setCurrentIndex(1);
    channels.Button2->click();

    const QString three = QStringLiteral("00 00 00 00 00 00 00 00 04");
    const QString two = QStringLiteral("00 00 00 00 00 00 00 00 02");
    QCOMPARE(rec.events, (QStringList{outFrame(three, "D5 15 01 00 00 00 EB 14"),
                                      inFrame(two, "D5 28 01 00 00 00 FE 01"), pause(1000),
                                      inFrame(two, kFollowUp)}));
}

void TestSeamlessDialogs::unaddressableChannel_data()
{
    QTest::addColumn<QString>("button");   // a TTongdao button, or "image" for brightness up
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("position");     // -1: nothing selected
    QTest::addColumn<QString>("message");
    const QString beyond = QStringLiteral("无缝矩阵设置只能用于通道1至72!");
    const QString none = QStringLiteral("没有可设置的通道!");
    QTest::newRow("input 73, signal") << "Button1" << 80 << 72 << beyond;
    QTest::newRow("input 128, display mode") << "Button2" << 128 << 127 << beyond;
    QTest::newRow("output 73, display mode") << "Button3" << 80 << 72 << beyond;
    QTest::newRow("output 100, resolution") << "Button4" << 100 << 99 << beyond;
    QTest::newRow("output 73, HD signal") << "Button6" << 73 << 72 << beyond;
    QTest::newRow("image, output 73") << "image" << 80 << 72 << beyond;
    // An empty list gives no channel; it must not become "all cards".
    QTest::newRow("empty input list") << "Button1" << 0 << -1 << none;
    QTest::newRow("empty output list, image") << "image" << 0 << -1 << none;
}

// Nothing of the sequence goes out; the operator is told why.
void TestSeamlessDialogs::unaddressableChannel()
{
    QFETCH(QString, button);
    QFETCH(int, entries);
    QFETCH(int, position);
    QFETCH(QString, message);

    mc::test::MessageRecorder boxes;
    Recorder rec;
    if (button == "image") {
        TTuXiang dialog(rec.sender());
        fillList(dialog.bsSkinComboBox1, entries);
        dialog.bsSkinComboBox1->setCurrentIndex(position);
        dialog.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    } else {
        TTongdao dialog(rec.sender());
        fillList(dialog.bsSkinComboBox1, entries);
        fillList(dialog.bsSkinComboBox2, entries);
        dialog.bsSkinComboBox1->setCurrentIndex(position);
        dialog.bsSkinComboBox2->setCurrentIndex(position);
        dialog.findChild<QPushButton *>(button)->click();
        // All-cards priority is not tied to a channel and still goes out.
        dialog.Button5->click();
        QCOMPARE(rec.events.size(), 7);
        rec.events.clear();
    }
    QVERIFY(rec.events.isEmpty());
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, QStringLiteral("提示"));
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes.shown[0].text, message);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestSeamlessDialogs::password_data()
{
    QTest::addColumn<QStringList>("tries");   // typed and confirmed in turn
    QTest::addColumn<bool>("opened");         // else cancelled after the tries
    QTest::addColumn<int>("warnings");
    QTest::newRow("right code") << QStringList{"739150"} << true << 0;
    QTest::newRow("empty") << QStringList{""} << false << 1;
    QTest::newRow("blank before") << QStringList{" 739150"} << false << 1;
    QTest::newRow("blank after") << QStringList{"739150 "} << false << 1;
    QTest::newRow("shorter") << QStringList{"73915"} << false << 1;
    QTest::newRow("wrong, wrong, right") << QStringList{"123456", "7391500", "739150"} << true << 2;
    QTest::newRow("cancel at once") << QStringList{} << false << 0;
}

// Through the menu handler: the code first, then the dialog; cancelling
// opens nothing and sends nothing.
void TestSeamlessDialogs::password()
{
    QFETCH(QStringList, tries);
    QFETCH(bool, opened);
    QFETCH(int, warnings);

    AppFixture f(4, 4);
    QVERIFY(f.drainStartup());
    DialogScript script;
    bool keptAfterWrong = true;
    script.hooks << [&](QDialog *d) {
        auto *login = qobject_cast<TForm8 *>(d);
        if (!login)
            return int(QDialog::Rejected);
        login->show();
        for (const QString &code : tries) {
            login->Edit1->setText(code);
            login->RzBmpButton5->setFocus();
            login->RzBmpButton5->click();
            if (login->result() == QDialog::Accepted)
                return int(QDialog::Accepted);
            // The text stays and the focus is back in the field.
            keptAfterWrong = keptAfterWrong && login->Edit1->text() == code &&
                             login->focusWidget() == login->Edit1 && login->isVisible();
        }
        login->RzBmpButton1->click();
        return login->result();
    };
    f.form->N5Click();

    QCOMPARE(script.opened.size(), opened ? 2 : 1);
    QCOMPARE(script.opened.value(0), QStringLiteral("TForm8"));
    if (opened)
        QCOMPARE(script.opened.value(1), QStringLiteral("TTuXiang"));
    QVERIFY(keptAfterWrong);
    QCOMPARE(f.boxes.shown.size(), warnings);
    for (const auto &box : f.boxes.shown) {
        QCOMPARE(box.text, QStringLiteral("密码不正确！"));
        QCOMPARE(box.caption, QStringLiteral("提示"));
        QCOMPARE(box.icon, QMessageBox::Warning);
    }
    QTest::qWait(200);
    QVERIFY(f.sent().isEmpty());
}

// Each opening asks for the code in a fresh login, and the channel dialog
// starts at its defaults with the main window's lists, whatever was chosen
// the time before.
void TestSeamlessDialogs::defaultsAtEveryOpening()
{
    AppFixture f(6, 5, {{2, QStringLiteral("摄像机")}}, {{1, QStringLiteral("大屏")}});
    QVERIFY(f.drainStartup());
    const QStringList inputs = ComboItems(f.form->bsSkinComboBox1);
    const QStringList outputs = ComboItems(f.form->bsSkinComboBox2);
    QCOMPARE(inputs.size(), 6);
    QCOMPARE(outputs.size(), 5);
    f.form->bsSkinComboBox1->setCurrentIndex(3);
    f.form->bsSkinComboBox2->setCurrentIndex(2);

    QStringList problems;
    auto loginHook = [&](QDialog *d) {
        auto *login = qobject_cast<TForm8 *>(d);
        if (!login)
            return int(QDialog::Rejected);
        login->show();
        if (!login->Edit1->text().isEmpty() || login->Edit1->echoMode() != QLineEdit::Password ||
            login->focusWidget() != login->Edit1 || login->windowTitle() != QStringLiteral("登录"))
            problems << QStringLiteral("login not fresh");
        return giveCode(d);
    };
    auto channelHook = [&](QDialog *d) {
        auto *t = qobject_cast<TTongdao *>(d);
        if (!t)
            return int(QDialog::Rejected);
        if (!t->RzRadioButton2->isChecked() || t->RzRadioButton1->isChecked() || !t->RzRadioButton3->isChecked() ||
            !t->RzRadioButton5->isChecked() || !t->RzRadioButton7->isChecked() ||
            t->bsSkinComboBox3->currentIndex() != 0 || t->bsSkinComboBox4->currentIndex() != 0 ||
            t->bsSkinComboBox1->currentIndex() != 0 || t->bsSkinComboBox2->currentIndex() != 0 ||
            ComboItems(t->bsSkinComboBox1) != inputs || ComboItems(t->bsSkinComboBox2) != outputs)
            problems << QStringLiteral("channel dialog not at its defaults");
        // Change everything; the next opening must not see it.
        t->RzRadioButton1->setChecked(true);
        t->RzRadioButton4->setChecked(true);
        t->RzRadioButton6->setChecked(true);
        t->RzRadioButton8->setChecked(true);
        t->bsSkinComboBox1->setCurrentIndex(4);
        t->bsSkinComboBox2->setCurrentIndex(3);
        t->bsSkinComboBox3->setCurrentIndex(2);
        t->bsSkinComboBox4->setCurrentIndex(5);
        t->bsSkinButton2->click();
        return t->result();
    };
    auto imageHook = [&](QDialog *d) {
        auto *t = qobject_cast<TTuXiang *>(d);
        if (!t || t->bsSkinComboBox1->currentIndex() != 0 || ComboItems(t->bsSkinComboBox1) != outputs)
            problems << QStringLiteral("image dialog list");
        if (t)
            t->bsSkinComboBox1->setCurrentIndex(4);
        return int(QDialog::Rejected);
    };

    DialogScript script;
    script.hooks << loginHook << channelHook << loginHook << channelHook << loginHook << imageHook << loginHook
                 << imageHook;
    f.form->N6Click();
    f.form->N6Click();
    f.form->N5Click();
    f.form->N5Click();
    QCOMPARE(script.opened, (QStringList{"TForm8", "TTongdao", "TForm8", "TTongdao", "TForm8", "TTuXiang",
                                         "TForm8", "TTuXiang"}));
    QCOMPARE(problems, QStringList());
    // The main window's own choices are left alone.
    QCOMPARE(f.form->bsSkinComboBox1->currentIndex(), 3);
    QCOMPARE(f.form->bsSkinComboBox2->currentIndex(), 2);
}

// Through the menu and the serial link: output 3, "1366*768", then the
// follow-up; the matrix gets both whole frames, zero bytes included.
void TestSeamlessDialogs::channelSettingReachesMatrix()
{
    AppFixture f(4, 4);
    QVERIFY(f.drainStartup());
    f.pauses.pauses.clear();   // those of the link-up
    DialogScript script;
    script.hooks << giveCode << [](QDialog *d) {
        auto *t = qobject_cast<TTongdao *>(d);
        if (!t)
            return int(QDialog::Rejected);
        t->bsSkinComboBox2->setCurrentIndex(2);
        t->bsSkinComboBox4->setCurrentIndex(6);
        t->Button4->click();
        return int(QDialog::Rejected);
    };
    f.form->N6Click();
    const QByteArray expected =
        QByteArray::fromHex((outFrame(addr(3), "D5 25 07 00 00 00 01 FE") + ' ' + outFrame(addr(3), kFollowUp))
                                .toLatin1()
                                .replace(' ', ""));
    QCOMPARE(expected.size(), 52);
    QTRY_COMPARE_WITH_TIMEOUT(f.sent(), expected, 5000);
    QCOMPARE(f.pauses.pauses, (QList<int>{1000, 1500}));
}

// Through the menu on a matrix with 80 outputs: output 72 is reached,
// output 73 is refused before anything goes out.
void TestSeamlessDialogs::imageStepsThroughMenu()
{
    AppFixture f(4, 80);
    QVERIFY(f.drainStartup());
    QCOMPARE(f.form->bsSkinComboBox2->count(), 80);
    f.pauses.pauses.clear();   // those of the link-up
    DialogScript script;
    script.hooks << giveCode << [](QDialog *d) {
        auto *t = qobject_cast<TTuXiang *>(d);
        if (!t)
            return int(QDialog::Rejected);
        t->bsSkinComboBox1->setCurrentIndex(72);
        t->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        t->bsSkinComboBox1->setCurrentIndex(71);
        t->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        return int(QDialog::Rejected);
    };
    f.form->N5Click();
    const QByteArray expected =
        QByteArray::fromHex(outFrame(addr(72), "D5 15 01 00 00 00 EB 14").toLatin1().replace(' ', ""));
    QTRY_COMPARE_WITH_TIMEOUT(f.sent(), expected, 5000);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QStringLiteral("无缝矩阵设置只能用于通道1至72!"));
    QVERIFY(f.pauses.pauses.isEmpty());
}

MC_TEST_MAIN(TestSeamlessDialogs)
#include "tst_seamless_dialogs.moc"
