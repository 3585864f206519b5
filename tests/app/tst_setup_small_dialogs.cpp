// The mode names, matrix ID and output polling dialogs, alone and through
// the main window's handlers: what reaches the settings file, what reaches
// the matrix, and what the operator is told.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "core/gbk.h"
#include "setup/dialogs/tform3.h"
#include "setup/dialogs/tform6.h"
#include "setup/dialogs/tform7.h"
#include "tests/app/appfixture.h"

namespace {
using Bytes = QList<QByteArray>;

QAbstractButton *buttonOf(QDialog *dialog, const QString &name)
{
    return dialog->findChild<QAbstractButton *>(name);
}

// Runs each dialog opened while it lives through a filling function instead
// of a modal loop; the dialog's own result is what the handler sees.
using DialogDriver = mc::test::DialogHookFor<QDialog>;
} // namespace

class TestSetupSmallDialogs : public QObject {
    Q_OBJECT
private slots:
    void modeNames_data();
    void modeNames();
    void modeNamesRefusedWrite();
    void matrixId_data();
    void matrixId();
    void pollingCommands_data();
    void pollingCommands();
    void pollingInterval_data();
    void pollingInterval();
    void pollingCaptions_data();
    void pollingCaptions();
    void pollingThroughMainWindow();
};

// Names go to [modal] name1..name9, GBK and CR LF, all nine in order; the
// preset list is refilled only after OK.
void TestSetupSmallDialogs::modeNames_data()
{
    QTest::addColumn<QString>("before");        // settings file text; null = no file
    QTest::addColumn<QStringList>("opened");    // the nine edits as the dialog opens
    QTest::addColumn<QStringList>("typed");     // the nine edits as confirmed; empty = cancel
    QTest::addColumn<QString>("after");         // settings file text afterwards
    QTest::addColumn<QStringList>("presets");   // preset list afterwards

    const QStringList empty9(9, QString());
    QStringList plain;
    for (int n = 1; n <= 9; ++n)
        plain << QStringLiteral("%1.").arg(n);

    QString allEmpty = QStringLiteral("[modal]\r\n");
    for (int n = 1; n <= 9; ++n)
        allEmpty += QStringLiteral("name%1=\r\n").arg(n);
    QTest::newRow("no file: nine empty keys") << QString() << empty9 << empty9 << allEmpty << plain;

    // name3 is replaced in place; the others are added at the end of the
    // section, before [Control], in ascending order; blanks are kept on disk
    // and trimmed on reading.
    const QString existing = QStringLiteral("[modal]\r\nname3=会议\r\nname7=旧名\r\n[Control]\r\nkd=0\r\n");
    QStringList opened = empty9;
    opened[2] = QStringLiteral("会议");
    opened[6] = QStringLiteral("旧名");
    QStringList typed = empty9;
    typed[0] = QStringLiteral("  大厅 ");
    typed[2] = QStringLiteral("会议");
    typed[4] = QStringLiteral("Room B");
    const QString rewritten = QStringLiteral("[modal]\r\nname3=会议\r\nname7=\r\nname1=  大厅 \r\nname2=\r\n"
                                             "name4=\r\nname5=Room B\r\nname6=\r\nname8=\r\nname9=\r\n"
                                             "[Control]\r\nkd=0\r\n");
    QStringList renamed = plain;
    renamed[0] = QStringLiteral("1.大厅");
    renamed[2] = QStringLiteral("3.会议");
    renamed[4] = QStringLiteral("5.Room B");
    QTest::newRow("names changed, one cleared") << existing << opened << typed << rewritten << renamed;

    QStringList before = plain;
    before[2] = QStringLiteral("3.会议");
    before[6] = QStringLiteral("7.旧名");
    QTest::newRow("cancel writes nothing") << existing << opened << QStringList() << existing << before;
}

void TestSetupSmallDialogs::modeNames()
{
    QFETCH(QString, before);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, typed);
    QFETCH(QString, after);
    QFETCH(QStringList, presets);

    AppFixture f(4, 4, {}, {}, before);
    QVERIFY(f.drainStartup());
    const QString path = f.dir.filePath(QStringLiteral("modalname.mdb"));
    f.form->bsSkinComboBox3->setCurrentIndex(5);

    QStringList seen;
    DialogDriver driver([&](QDialog *dialog) {
        auto *form = qobject_cast<TForm7 *>(dialog);
        QVERIFY(form);
        for (int n = 1; n <= 9; ++n)
            seen << form->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n))->text();
        if (typed.isEmpty())
            return;   // closed without confirming
        for (int n = 1; n <= 9; ++n)
            form->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n))->setText(typed.at(n - 1));
        buttonOf(dialog, QStringLiteral("RzBmpButton5"))->click();
    });
    f.form->N3Click();

    QCOMPARE(driver.opened.size(), 1);
    QVERIFY(driver.lastParent == Form1);
    QCOMPARE(seen, opened);
    QCOMPARE(mc::test::ReadFile(path), after.isNull() ? QByteArray() : mc::ToGbk(after));
    QCOMPARE(ComboItems(f.form->bsSkinComboBox3), presets);
    QCOMPARE(f.form->bsSkinComboBox3->currentIndex(), typed.isEmpty() ? 5 : 0);
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.sent(), QByteArray());   // names never go to the matrix
}

// A settings file that cannot be written: the standard error box with the
// file's path, the dialog stays open, the preset list keeps its entries.
void TestSetupSmallDialogs::modeNamesRefusedWrite()
{
    AppFixture f(4, 4);
    QVERIFY(f.drainStartup());
    const QString path = f.dir.filePath(QStringLiteral("modalname.mdb"));
    QVERIFY(QDir().mkdir(path));   // a folder where the file should be
    const QStringList before = ComboItems(f.form->bsSkinComboBox3);

    bool stillOpen = false;
    DialogDriver driver([&](QDialog *dialog) {
        auto *form = qobject_cast<TForm7 *>(dialog);
        form->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("新"));
        buttonOf(dialog, QStringLiteral("RzBmpButton5"))->click();
        stillOpen = dialog->result() != QDialog::Accepted;
    });
    f.form->N3Click();

    QVERIFY(stillOpen);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(f.boxes.shown[0].text,
             QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    QCOMPARE(ComboItems(f.form->bsSkinComboBox3), before);
}

// "DYT" + the ID's first two bytes, the power-up notice, then (handler)
// MatrixIdText emptied, 200 ms, "GETID". Nothing on a blank ID or cancel.
void TestSetupSmallDialogs::matrixId_data()
{
    QTest::addColumn<QString>("id");          // typed into the edit
    QTest::addColumn<bool>("confirm");        // false: closed without the set button
    QTest::addColumn<QByteArray>("wire");     // bytes the matrix receives
    QTest::addColumn<QStringList>("told");    // message texts, in order
    QTest::addColumn<bool>("accepted");

    const QString powerUp = QStringLiteral("机器重新上电后才能生效");
    const QString empty = QStringLiteral("ID号不能为空");
    QTest::newRow("05") << QStringLiteral("05") << true << QByteArray("DYT05GETID") << QStringList{powerUp} << true;
    QTest::newRow("blanks around") << QStringLiteral(" 7 ") << true << QByteArray("DYT7GETID") << QStringList{powerUp} << true;
    QTest::newRow("longer than two") << QStringLiteral("0123") << true << QByteArray("DYT01GETID") << QStringList{powerUp}
                                     << true;
    QTest::newRow("empty") << QString() << true << QByteArray() << QStringList{empty} << false;
    QTest::newRow("blanks and controls") << QStringLiteral(" \t\x01 ") << true << QByteArray() << QStringList{empty} << false;
    QTest::newRow("cancel") << QStringLiteral("05") << false << QByteArray() << QStringList() << false;
}

void TestSetupSmallDialogs::matrixId()
{
    QFETCH(QString, id);
    QFETCH(bool, confirm);
    QFETCH(QByteArray, wire);
    QFETCH(QStringList, told);
    QFETCH(bool, accepted);

    AppFixture f(4, 4);
    QVERIFY(f.drainStartup());
    f.form->MatrixIdText = QStringLiteral("09");

    // The pause comes after the notice and before "GETID" is handed over.
    QStringList events;
    f.pauses.onPause = [&](int ms) {
        events << QStringLiteral("pause %1 after %2 box(es), id text '%3'")
                      .arg(ms)
                      .arg(f.boxes.shown.size())
                      .arg(f.form->MatrixIdText);
        if (f.waitForSent("DYT"))
            events << QString::fromLatin1(f.sent());
    };

    QString openedWith;
    DialogDriver driver([&](QDialog *dialog) {
        auto *form = qobject_cast<TForm3 *>(dialog);
        QVERIFY(form);
        openedWith = form->bsSkinEdit2->text();
        form->bsSkinEdit2->setText(id);
        if (!confirm)
            return;
        buttonOf(dialog, QStringLiteral("RzBmpButton5"))->click();
    });
    f.form->ID1Click();
    f.pauses.onPause = {};

    QCOMPARE(openedWith, QStringLiteral("09"));
    QStringList texts;
    for (const auto &box : f.boxes.shown) {
        texts << box.text;
        QCOMPARE(box.caption, QStringLiteral("提示"));
        QCOMPARE(box.icon, QMessageBox::Warning);
    }
    QCOMPARE(texts, told);
    if (accepted) {
        const QByteArray setCommand = wire.left(wire.indexOf("GETID"));
        QCOMPARE(events, (QStringList{QStringLiteral("pause 200 after 1 box(es), id text ''"),
                                      QString::fromLatin1(setCommand)}));
        QVERIFY(f.waitForSent(wire));
        QCOMPARE(f.form->MatrixIdText, QString());
    } else {
        QVERIFY(events.isEmpty());
        QCOMPARE(f.form->MatrixIdText, QStringLiteral("09"));
    }
    QTest::qWait(20);   // let a stray command show up if one was sent
    QCOMPARE(f.sent(), wire);
}

// Each polling button's exact bytes, handed to the send function.
void TestSetupSmallDialogs::pollingCommands_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("output");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("bytes");   // empty = nothing sent

    const QString set = QStringLiteral("RzBmpButton1");
    QTest::newRow("interval 60") << "60" << 1 << set << QByteArray("AUTOTM\x00\x3C", 8);
    QTest::newRow("interval 300") << "300" << 1 << set << QByteArray("AUTOTM\x01\x2C", 8);
    QTest::newRow("interval 3") << "3" << 1 << set << QByteArray("AUTOTM\x00\x03", 8);
    QTest::newRow("interval 65535") << "65535" << 1 << set << QByteArray("AUTOTM\xFF\xFF", 8);
    QTest::newRow("interval in hex") << "$100" << 1 << set << QByteArray("AUTOTM\x01\x00", 8);
    QTest::newRow("open output 1") << "60" << 1 << QStringLiteral("RzBmpButton5") << QByteArray("AUTOSWa\x01");
    QTest::newRow("open output 72") << "60" << 72 << QStringLiteral("RzBmpButton5") << QByteArray("AUTOSWaH");
    QTest::newRow("close output 12") << "60" << 12 << QStringLiteral("RzBmpButton2") << QByteArray("AUTOSWb\x0C");
    QTest::newRow("open all") << "60" << 40 << QStringLiteral("RzBmpButton3") << QByteArray("AUTOSWd\x01");
    QTest::newRow("close all") << "60" << 40 << QStringLiteral("RzBmpButton4") << QByteArray("AUTOSWc\x01");
    QTest::newRow("close window") << "60" << 5 << QStringLiteral("RzBmpButton6") << QByteArray();
}

void TestSetupSmallDialogs::pollingCommands()
{
    QFETCH(QString, interval);
    QFETCH(int, output);
    QFETCH(QString, button);
    QFETCH(QByteArray, bytes);

    mc::test::MessageRecorder boxes;
    Bytes sent;
    TForm6 dialog([&](const QByteArray &command) { sent << command; });
    dialog.findChild<QLineEdit *>(QStringLiteral("bsSkinEdit1"))->setText(interval);
    dialog.findChild<QComboBox *>(QStringLiteral("bsSkinComboBox1"))->setCurrentIndex(output - 1);
    dialog.setResult(-1);
    buttonOf(&dialog, button)->click();

    QCOMPARE(sent, bytes.isEmpty() ? Bytes() : Bytes{bytes});
    QVERIFY(boxes.shown.isEmpty());
    if (bytes.isEmpty())
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

// The interval is checked before anything is sent: below 3 it is reset to
// "3", above what two bytes carry to "65535"; a text that is no number gives
// the standard error box and stays as typed.
void TestSetupSmallDialogs::pollingInterval_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("fieldAfter");

    const int plain = QMessageBox::NoIcon;
    const int critical = QMessageBox::Critical;
    const QString tooShort = QStringLiteral("不能小于3秒！");
    QTest::newRow("2") << "2" << tooShort << plain << "3";
    QTest::newRow("0") << "0" << tooShort << plain << "3";
    QTest::newRow("negative") << "-60" << tooShort << plain << "3";
    QTest::newRow("65536 would wrap to 0") << "65536" << QStringLiteral("不能大于65535秒！") << plain << "65535";
    QTest::newRow("letters") << "abc" << QStringLiteral("'abc' is not a valid integer value") << critical << "abc";
    QTest::newRow("empty") << "" << QStringLiteral("'' is not a valid integer value") << critical << "";
    QTest::newRow("decimal point") << "2.5" << QStringLiteral("'2.5' is not a valid integer value") << critical
                                   << "2.5";
}

void TestSetupSmallDialogs::pollingInterval()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(QString, fieldAfter);

    mc::test::MessageRecorder boxes;
    Bytes sent;
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("矩阵控制"));
    TForm6 dialog([&](const QByteArray &command) { sent << command; }, &owner);
    auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("bsSkinEdit1"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.findChild<QComboBox *>()->setFocus();
    field->setText(typed);
    buttonOf(&dialog, QStringLiteral("RzBmpButton1"))->click();

    QCOMPARE(sent, Bytes());
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, message);
    QCOMPARE(int(boxes.shown[0].icon), icon);
    QCOMPARE(field->text(), fieldAfter);
    if (icon == QMessageBox::NoIcon)
        QTRY_VERIFY(field->hasFocus());
    QVERIFY(dialog.isVisible());
}

// The single-output buttons name the chosen output once the list changes.
void TestSetupSmallDialogs::pollingCaptions_data()
{
    QTest::addColumn<QList<int>>("choices");   // outputs chosen in turn
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("as opened") << QList<int>() << QStringLiteral("打开1轮询") << QStringLiteral("关闭1轮询");
    QTest::newRow("output 5") << QList<int>{5} << QStringLiteral("打开5 轮询") << QStringLiteral("关闭5 轮询");
    QTest::newRow("output 72") << QList<int>{72} << QStringLiteral("打开72 轮询") << QStringLiteral("关闭72 轮询");
    QTest::newRow("back to 1") << QList<int>{9, 1} << QStringLiteral("打开1 轮询") << QStringLiteral("关闭1 轮询");
}

void TestSetupSmallDialogs::pollingCaptions()
{
    QFETCH(QList<int>, choices);
    QFETCH(QString, open);
    QFETCH(QString, close);

    Bytes sent;
    TForm6 dialog([&](const QByteArray &command) { sent << command; });
    auto *list = dialog.findChild<QComboBox *>(QStringLiteral("bsSkinComboBox1"));
    QCOMPARE(list->count(), 72);
    QCOMPARE(list->itemText(71), QStringLiteral("72"));
    QCOMPARE(list->currentIndex(), 0);
    for (int n : choices)
        list->setCurrentIndex(n - 1);

    QCOMPARE(buttonOf(&dialog, QStringLiteral("RzBmpButton5"))->text(), open);
    QCOMPARE(buttonOf(&dialog, QStringLiteral("RzBmpButton2"))->text(), close);
    QCOMPARE(sent, Bytes());   // choosing sends nothing
}

// The hidden button's handler opens the dialog on the main window; its
// commands, zero byte included, reach the matrix over the serial link, and
// every opening starts again from "60" and output 1.
void TestSetupSmallDialogs::pollingThroughMainWindow()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    QVERIFY(f.form->RzBmpButton9->isHidden());

    QStringList opened;
    DialogDriver driver([&](QDialog *dialog) {
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("bsSkinEdit1"));
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("bsSkinComboBox1"));
        opened << field->text() + QLatin1Char('/') + list->currentText();
        buttonOf(dialog, QStringLiteral("RzBmpButton1"))->click();
        list->setCurrentIndex(4);
        field->setText(QStringLiteral("120"));
        buttonOf(dialog, QStringLiteral("RzBmpButton5"))->click();
    });
    f.form->RzBmpButton9Click();
    f.form->RzBmpButton9Click();

    QCOMPARE(opened, (QStringList{QStringLiteral("60/1"), QStringLiteral("60/1")}));
    QVERIFY(driver.lastParent == Form1);
    const QByteArray once = QByteArray("AUTOTM\x00\x3C", 8) + QByteArray("AUTOSWa\x05");
    QVERIFY(f.waitForSent(once + once));
    QCOMPARE(f.sent(), once + once);
    QVERIFY(f.boxes.shown.isEmpty());
}

MC_TEST_MAIN(TestSetupSmallDialogs)
#include "tst_setup_small_dialogs.moc"
