// The routing panel: grid geometry, click flows and the link lists, the
// status reply parser, presets and the status refresh.
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "tests/app/appfixture.h"
#include "ui/look.h"

namespace {
QStringList memoLines(TForm1 &form) { return form.Memo1->toPlainText().split(QLatin1Char('\n')); }

QStringList linkKeys(const Tmybtn *b)
{
    QStringList keys;
    for (int i = 0; i < b->Links.Count(); ++i)
        keys << b->Links.Key(i);
    return keys;
}

bool lime(const Tmybtn *b) { return mc::ui::IsChannelButtonLime(b); }
} // namespace

class TestRouting : public QObject {
    Q_OBJECT
private slots:
    void gridGeometry_data();
    void gridGeometry();
    void rebuildRefreshesCaptionsOnly();
    void clickFlows();
    void moveOutputBetweenInputs();
    void routeToAllOutputs();
    void inputListRule();
    void statusReply_data();
    void statusReply();
    void replySplitInTwo();
    void replyKeepsColoursOfSelectedInput();
    void presets();
};

void TestRouting::gridGeometry_data()
{
    QTest::addColumn<int>("inputs");
    QTest::addColumn<int>("outputs");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("16x16 first input") << 16 << 16 << "inbtn1" << QRect(20, 35, 70, 60);
    QTest::newRow("16x16 last input") << 16 << 16 << "inbtn16" << QRect(245, 230, 70, 60);
    QTest::newRow("16x16 first output") << 16 << 16 << "outbtn1" << QRect(360, 35, 70, 60);
    QTest::newRow("17x8 input 17") << 17 << 8 << "inbtn17" << QRect(20, 235, 70, 45);
    QTest::newRow("17x8 output 8") << 17 << 8 << "outbtn8" << QRect(585, 85, 70, 45);
    QTest::newRow("40x40 last input ends at 460") << 40 << 40 << "inbtn40" << QRect(245, 422, 70, 38);
    QTest::newRow("128x128 input 72") << 128 << 128 << "inbtn72" << QRect(245, 460, 70, 20);
    QTest::newRow("128x128 output 128") << 128 << 128 << "outbtn128" << QRect(585, 810, 70, 20);
}

void TestRouting::gridGeometry()
{
    QFETCH(int, inputs);
    QFETCH(int, outputs);
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    AppFixture f(inputs, outputs, {{1, QStringLiteral("DVD")}});
    Tmybtn *b = f.button(name);
    QVERIFY(b);
    QCOMPARE(b->geometry(), geometry);
    QCOMPARE(b->Tag, name.mid(name.indexOf(QRegularExpression(QStringLiteral("\\d")))).toInt());
    QCOMPARE(f.form->Label5->text(),
             QStringLiteral("矩阵大小:%1*%2").arg(inputs).arg(outputs));
    QCOMPARE(f.form->bsSkinComboBox1->count(), inputs);
    QCOMPARE(f.form->bsSkinComboBox2->count(), outputs);
    QCOMPARE(f.form->bsSkinComboBox1->itemText(0), QStringLiteral("1 DVD"));
    QCOMPARE(f.form->bsSkinComboBox2->itemText(0), QStringLiteral("1 "));
    QCOMPARE(f.button(QStringLiteral("inbtn1"))->text(), QStringLiteral("1 DVD"));
    // Every input button precedes every output button on the panel.
    const QList<Tmybtn *> all = f.form->Panel1->findChildren<Tmybtn *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(all.size(), inputs + outputs);
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all[i]->objectName().startsWith(QLatin1String("inbtn")), i < inputs);
}

void TestRouting::rebuildRefreshesCaptionsOnly()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    Tmybtn *in2 = f.button(QStringLiteral("inbtn2"));
    f.form->InRzButtonClick(in2);
    const QRect before = in2->geometry();
    f.form->ADOQuery2().Locate(QStringLiteral("inc"), 2);
    f.form->ADOQuery2().Edit();
    f.form->ADOQuery2().SetString(QStringLiteral("cap"), QStringLiteral("Cam"));
    f.form->ADOQuery2().Post();
    f.form->bsSkinComboBox1->setCurrentIndex(5);
    f.form->BuildInputButtons();
    QCOMPARE(in2->text(), QStringLiteral("2 Cam"));
    QCOMPARE(f.button(QStringLiteral("inbtn2")), in2);
    QCOMPARE(in2->geometry(), before);
    QCOMPARE(f.form->bsSkinComboBox1->itemText(1), QStringLiteral("2 Cam"));
    QCOMPARE(f.form->bsSkinComboBox1->currentIndex(), 0);
    QVERIFY(!f.form->SelectedInput);
    QVERIFY(lime(in2));   // colours stay as they were
}

void TestRouting::clickFlows()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    TForm1 &form = *f.form;
    Tmybtn *in2 = f.button(QStringLiteral("inbtn2"));
    Tmybtn *out3 = f.button(QStringLiteral("outbtn3"));
    Tmybtn *out4 = f.button(QStringLiteral("outbtn4"));
    Tmybtn *out7 = f.button(QStringLiteral("outbtn7"));

    // An output without a selected input only turns lime.
    QTest::mouseClick(out7, Qt::LeftButton);
    QVERIFY(lime(out7));
    QTest::qWait(150);
    QCOMPARE(f.sent(), QByteArray());

    QTest::mouseClick(in2, Qt::LeftButton);
    QCOMPARE(form.SelectedInput, in2);
    QVERIFY(lime(in2));
    QVERIFY(!lime(out7));
    QTest::mouseClick(out3, Qt::LeftButton);
    QTRY_COMPARE(f.sent(), QByteArray("2*3!"));
    QCOMPARE(form.Label6->text(), QStringLiteral("协议:2*3!"));
    QVERIFY(lime(out3));
    QCOMPARE(linkKeys(in2), QStringList{QStringLiteral("Op3")});
    QCOMPARE(out3->Links.Find(QStringLiteral("IN")), in2);
    form.RzRadioButton2->setChecked(true);   // video only
    QTest::mouseClick(out4, Qt::LeftButton);
    QTRY_COMPARE(f.sent(), QByteArray("2*3!2*4%"));
    QTest::mouseClick(out4, Qt::LeftButton);   // twice: sent twice, lists unchanged
    QTRY_COMPARE(f.sent(), QByteArray("2*3!2*4%2*4%"));
    QCOMPARE(linkKeys(in2), (QStringList{QStringLiteral("Op3"), QStringLiteral("Op4")}));

    // The selected input clicked again: deselected, nothing lime, nothing sent.
    f.received.clear();
    QTest::mouseClick(in2, Qt::LeftButton);
    QVERIFY(!form.SelectedInput);
    for (Tmybtn *b : {in2, out3, out4})
        QVERIFY(!lime(b));
    QTest::qWait(150);
    QCOMPARE(f.sent(), QByteArray());
}

void TestRouting::moveOutputBetweenInputs()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    Tmybtn *in1 = f.button(QStringLiteral("inbtn1"));
    Tmybtn *in2 = f.button(QStringLiteral("inbtn2"));
    Tmybtn *out5 = f.button(QStringLiteral("outbtn5"));
    f.form->LinkButtons(in1, out5);
    f.form->InRzButtonClick(in2);
    f.form->OutRzButtonClick(out5);
    QTRY_COMPARE(f.sent(), QByteArray("2*5!"));
    QVERIFY(linkKeys(in1).isEmpty());
    QCOMPARE(linkKeys(in2), QStringList{QStringLiteral("Op5")});
    QCOMPARE(out5->Links.Count(), 1);
    QCOMPARE(out5->Links.Find(QStringLiteral("in")), in2);
    f.form->InRzButtonClick(in1);
    QVERIFY(!lime(out5));
}

void TestRouting::routeToAllOutputs()
{
    AppFixture f(8, 6);
    QVERIFY(f.drainStartup());
    Tmybtn *in1 = f.button(QStringLiteral("inbtn1"));
    f.form->InRzButtonClick(in1);   // a different input stays selected
    f.form->RzRadioButton2->setChecked(true);
    f.form->bsSkinComboBox1->setCurrentIndex(3);
    f.form->RzBmpButton2Click();
    QTRY_COMPARE(f.sent(), QByteArray("4*N%"));
    QCOMPARE(f.form->Label6->text(), QStringLiteral("协议:4*N%"));
    Tmybtn *in4 = f.button(QStringLiteral("inbtn4"));
    QCOMPARE(linkKeys(in4).size(), 6);
    for (int o = 1; o <= 6; ++o) {
        Tmybtn *out = f.button(QStringLiteral("outbtn%1").arg(o));
        QVERIFY(lime(out));
        QCOMPARE(out->Links.Find(QStringLiteral("in")), in4);
    }
    QCOMPARE(f.form->SelectedInput, in1);
    QVERIFY(lime(in1));
    QVERIFY(!lime(in4));
}

void TestRouting::inputListRule()
{
    AppFixture f(16, 16);
    QVERIFY(f.drainStartup());
    Tmybtn *in3 = f.button(QStringLiteral("inbtn3"));
    f.form->bsSkinComboBox1->setCurrentIndex(2);
    f.form->bsSkinComboBox1Change();
    QCOMPARE(f.form->SelectedInput, in3);
    f.form->bsSkinComboBox1Change();   // again: still selected
    QCOMPARE(f.form->SelectedInput, in3);
    QVERIFY(lime(in3));
    // "切  换": the list input to the list output.
    f.form->bsSkinComboBox2->setCurrentIndex(6);
    f.form->RzBmpButton5Click();
    QTRY_COMPARE(f.sent(), QByteArray("3*7!"));
}

void TestRouting::statusReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("lines");          // empty: the log panel is untouched
    QTest::addColumn<QStringList>("crosspoints");    // "in>out" recorded afterwards
    QTest::newRow("names inserted")
        << QByteArray("V:01->02;V:03->04;")
        << QStringList{QStringLiteral("V:01（DVD） ->02（投影） ;"), QStringLiteral("V:03->04;"), QString()}
        << QStringList{"1>2", "3>4"};
    QTest::newRow("single crosspoint") << QByteArray("V:01->01;")
                                       << QStringList{QStringLiteral("V:01（DVD） ->01;"), QString()}
                                       << QStringList{"1>1"};
    QTest::newRow("output moved within a reply") << QByteArray("V:10->12;V:02->12;")
                                                 << QStringList{"V:10->12;", "V:02->12;", ""}
                                                 << QStringList{"2>12"};
    QTest::newRow("trailing crosspoint without ;")
        << QByteArray("V:03->04;V:05->06") << QStringList{"V:03->04;", "V:05->06"}
        << QStringList{"3>4", "5>6"};
    QTest::newRow("unknown and zero channels shown, not applied")
        << QByteArray("V:99->01;V:00->02;V:03->04;")
        << QStringList{"V:99->01;", QStringLiteral("V:00->02（投影） ;"), "V:03->04;", ""}
        << QStringList{"3>4"};
    QTest::newRow("number fields not digits") << QByteArray("V:ab->c;V:1->2;x:->;")
                                              << QStringList{"V:ab->c;", "V:1->2;", "x:->;", ""}
                                              << QStringList{};
    QTest::newRow("no ; : acknowledgement ignored") << QByteArray("CALL3 OK->:") << QStringList{}
                                                    << QStringList{};
    QTest::newRow("no ->") << QByteArray("V:01;") << QStringList{} << QStringList{};
}

void TestRouting::statusReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, crosspoints);
    AppFixture f(16, 16, {{1, QStringLiteral("DVD")}}, {{2, QStringLiteral("投影")}});
    f.form->Memo1->setPlainText(QStringLiteral("before"));
    f.form->DispatchReply(reply);
    if (lines.isEmpty())
        QCOMPARE(f.form->Memo1->toPlainText(), QStringLiteral("before"));
    else
        QCOMPARE(memoLines(*f.form), lines);
    QStringList recorded;
    for (int o = 1; o <= 16; ++o)
        if (Tmybtn *in = f.button(QStringLiteral("outbtn%1").arg(o))->Links.Find(QStringLiteral("in")))
            recorded << QStringLiteral("%1>%2").arg(in->Tag).arg(o);
    recorded.sort();
    crosspoints.sort();
    QCOMPARE(recorded, crosspoints);
    if (crosspoints.contains(QStringLiteral("2>12")))
        QVERIFY(linkKeys(f.button(QStringLiteral("inbtn10"))).isEmpty());
}

// A reply in two receive events is two replies: the panel shows the second
// piece, and only the crosspoints complete in a piece are applied.
void TestRouting::replySplitInTwo()
{
    AppFixture f(16, 16);
    f.form->DispatchReply("V:01->01;V:02->0");
    f.form->DispatchReply("2;V:03->03;");
    QCOMPARE(memoLines(*f.form), (QStringList{"2;", "V:03->03;", ""}));
    QVERIFY(f.button(QStringLiteral("outbtn1"))->Links.Find(QStringLiteral("in")));
    QVERIFY(!f.button(QStringLiteral("outbtn2"))->Links.Find(QStringLiteral("in")));
    QVERIFY(f.button(QStringLiteral("outbtn3"))->Links.Find(QStringLiteral("in")));
}

void TestRouting::replyKeepsColoursOfSelectedInput()
{
    AppFixture f(16, 16);
    // The list's input 1 is selected by the first reply.
    f.form->DispatchReply("V:01->01;");
    QCOMPARE(f.form->SelectedInput, f.button(QStringLiteral("inbtn1")));
    QVERIFY(lime(f.button(QStringLiteral("outbtn1"))));
    f.form->DispatchReply("V:01->05;");
    QVERIFY(f.button(QStringLiteral("outbtn5"))->Links.Find(QStringLiteral("in")));
    QVERIFY(!lime(f.button(QStringLiteral("outbtn5"))));   // colours follow at the next selection
}

void TestRouting::presets()
{
    AppFixture f(16, 16, {}, {}, QStringLiteral("[modal]\r\nname3=会议\r\n"));
    QVERIFY(f.drainStartup());
    QCOMPARE(f.form->bsSkinComboBox3->itemText(2), QStringLiteral("3.会议"));
    f.form->bsSkinComboBox3->setCurrentIndex(2);
    f.form->RzBmpButton3Click();
    f.form->RzBmpButton4Click();
    f.form->RzBmpButton1Click();   // serial link: the query goes out once
    QTRY_COMPARE(f.sent(), QByteArray("CALL3SAVE3QUER00"));
    QCOMPARE(f.form->Label6->text(), QStringLiteral("协议"));
}

MC_TEST_MAIN(TestRouting)
#include "tst_routing.moc"
