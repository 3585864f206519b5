// The input and output names editors: names typed into the grid go into the
// main window's own views, are saved on a row change or when the editor
// closes, numbers cannot be edited, and only the matching side of the
// routing panel is rebuilt.
#include <QKeyEvent>
#include <QLineEdit>

#include "app/tform1.h"
#include "app/tmybtn.h"
#include "setup/dialogs/tform4.h"
#include "setup/dialogs/tform5.h"
#include "setup/matrixdb.h"
#include "tests/app/appfixture.h"
#include "tests/support/testsupport.h"
#include "ui/messages.h"

namespace {

// Shows each name editor and hands it to the test instead of a modal loop.
using EditorHook = mc::test::DialogHookFor<mc::NameEditor, true>;

// The name stored in the file for channel `number`, read through a
// connection of its own.
QString storedName(const QString &folder, bool inputs, int number)
{
    mc::MatrixDatabase db;
    db.Open(folder);
    mc::TableView &view = inputs ? db.incap() : db.outcap();
    if (!view.Locate(inputs ? QStringLiteral("inc") : QStringLiteral("outc"), number))
        return QStringLiteral("<no row>");
    return view.AsString(QStringLiteral("cap"));
}

// Types `text` into the name cell of `row` with the grid's in-place editor,
// leaving the editor open.
void typeName(mc::NameGrid *grid, int row, const QString &text)
{
    const QModelIndex index = grid->model()->index(row, 1);
    grid->setCurrentIndex(index);
    grid->edit(index);
    auto *line = grid->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText(text);
}

} // namespace

class TestNameEditors : public QObject {
    Q_OBJECT
private slots:
    void savedOnClose_data();
    void savedOnClose();
    void savedOnRowChange();
    void numbersRefused();
    void failedSaveKeepsChange();
    void editorLooks();
};

void TestNameEditors::savedOnClose_data()
{
    QTest::addColumn<bool>("inputs");
    QTest::addColumn<QString>("name");
    QTest::newRow("input 3 named") << true << QStringLiteral("DVD机");
    QTest::newRow("output 3 named") << false << QStringLiteral("投影");
    QTest::newRow("input 3 cleared") << true << QString();
}

// The name typed into row 3 is stored when the editor closes at once, with
// the cell editor still open; that side's button and list show it, while the
// other side is not rebuilt (a change made behind its back stays unseen).
void TestNameEditors::savedOnClose()
{
    QFETCH(bool, inputs);
    QFETCH(QString, name);

    AppFixture f(8, 8, {{3, QStringLiteral("old")}}, {{3, QStringLiteral("old")}});
    // Behind the other side's back: the other table's name of channel 1.
    mc::TableView &other = inputs ? f.form->ADOQuery3() : f.form->ADOQuery2();
    QVERIFY(other.Locate(inputs ? QStringLiteral("outc") : QStringLiteral("inc"), 1));
    other.Edit();
    other.SetString(QStringLiteral("cap"), QStringLiteral("unseen"));
    other.Post();

    bool rightEditor = false;
    EditorHook hook([&](mc::NameEditor *editor) {
        rightEditor = inputs ? qobject_cast<TForm4 *>(editor) != nullptr : qobject_cast<TForm5 *>(editor) != nullptr;
        typeName(editor->RzDBGrid1, 2, name);
        editor->close();
        QVERIFY(!editor->isVisible());
    });
    if (inputs)
        f.form->N1Click();
    else
        f.form->N2Click();

    QVERIFY(rightEditor);
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(storedName(f.dir.path(), inputs, 3), name);
    const QString side = inputs ? QStringLiteral("inbtn") : QStringLiteral("outbtn");
    const QString otherSide = inputs ? QStringLiteral("outbtn") : QStringLiteral("inbtn");
    QCOMPARE(f.button(side + QStringLiteral("3"))->text(), QStringLiteral("3 ") + name);
    QComboBox *list = inputs ? f.form->bsSkinComboBox1 : f.form->bsSkinComboBox2;
    QCOMPARE(list->itemText(2), QStringLiteral("3 ") + name);
    QCOMPARE(f.button(otherSide + QStringLiteral("3"))->text(), QStringLiteral("3 old"));
    QCOMPARE(f.button(otherSide + QStringLiteral("1"))->text(), QStringLiteral("1 "));
}

// Moving to another row saves the name first, before the editor closes.
void TestNameEditors::savedOnRowChange()
{
    AppFixture f(8, 8);
    EditorHook hook([&](mc::NameEditor *editor) {
        mc::NameGrid *grid = editor->RzDBGrid1;
        QVERIFY(grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("Cam")));
        QVERIFY(f.form->ADOQuery2().Modified());
        QCOMPARE(storedName(f.dir.path(), true, 2), QString());
        grid->setCurrentIndex(grid->model()->index(5, 1));
        QVERIFY(!f.form->ADOQuery2().Modified());
        QCOMPARE(storedName(f.dir.path(), true, 2), QStringLiteral("Cam"));
        QCOMPARE(f.form->ADOQuery2().AsInteger(QStringLiteral("inc")), 6);
        editor->close();
    });
    f.form->N1Click();
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.button(QStringLiteral("inbtn2"))->text(), QStringLiteral("2 Cam"));
}

// The number column has no editor and takes no value.
void TestNameEditors::numbersRefused()
{
    AppFixture f(8, 8);
    EditorHook hook([&](mc::NameEditor *editor) {
        mc::NameGrid *grid = editor->RzDBGrid1;
        const QModelIndex number = grid->model()->index(0, 0);
        QVERIFY(!(grid->model()->flags(number) & Qt::ItemIsEditable));
        QVERIFY(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);
        grid->setCurrentIndex(number);
        grid->edit(number);
        QVERIFY(!grid->findChild<QLineEdit *>());
        QVERIFY(!grid->model()->setData(number, 99));
        QCOMPARE(grid->model()->data(number, Qt::DisplayRole).toString(), QStringLiteral("1"));
        editor->close();
    });
    f.form->N2Click();
    QVERIFY(f.boxes.shown.isEmpty());
    QVERIFY(!f.form->ADOQuery3().Modified());
    QVERIFY(f.form->ADOQuery3().Locate(QStringLiteral("outc"), 1));
    QVERIFY(f.form->ADOQuery3().ReadOnly(QStringLiteral("outc")));
}

// A save the database refuses: the error box, the editor stays open with the
// change pending; Esc drops the change, and then the editor closes.
void TestNameEditors::failedSaveKeepsChange()
{
    AppFixture f(8, 8, {{2, QStringLiteral("Cam")}});
    f.form->ADOConnection1.Open(f.dir.path(), true);
    EditorHook hook([&](mc::NameEditor *editor) {
        mc::NameGrid *grid = editor->RzDBGrid1;
        const QModelIndex name = grid->model()->index(1, 1);
        grid->setCurrentIndex(name);
        QVERIFY(grid->model()->setData(name, QStringLiteral("Lost?")));

        // Leaving the row: the save fails, the grid stays on the row.
        grid->setCurrentIndex(grid->model()->index(4, 1));
        QCOMPARE(f.boxes.shown.size(), 1);
        QCOMPARE(f.boxes.shown[0].icon, QMessageBox::Critical);
        QTRY_COMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(f.form->ADOQuery2().AsString(QStringLiteral("cap")), QStringLiteral("Lost?"));

        // Closing: the save fails again and the editor stays open.
        editor->close();
        QCOMPARE(f.boxes.shown.size(), 2);
        QVERIFY(editor->isVisible());
        QVERIFY(f.form->ADOQuery2().Modified());

        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &esc);
        QVERIFY(!f.form->ADOQuery2().Modified());
        QCOMPARE(grid->model()->data(name, Qt::DisplayRole).toString(), QStringLiteral("Cam"));
        QVERIFY(editor->isVisible());
        editor->close();
        QVERIFY(!editor->isVisible());
    });
    f.form->N1Click();
    QCOMPARE(f.boxes.shown.size(), 2);
    QCOMPARE(f.button(QStringLiteral("inbtn2"))->text(), QStringLiteral("2 Cam"));
}

// What the operator reads: captions, sizes, titles, widths and the hint.
// With MC_SCREENSHOT_DIR set, both editors are also saved as pictures.
void TestNameEditors::editorLooks()
{
    AppFixture f(16, 16, {{1, QStringLiteral("摄像机")}}, {{2, QStringLiteral("投影机")}});
    EditorHook hook([&](mc::NameEditor *editor) {
        const bool inputs = qobject_cast<TForm4 *>(editor) != nullptr;
        mc::NameGrid *grid = editor->RzDBGrid1;
        QCOMPARE(editor->windowTitle(), inputs ? QStringLiteral("输入通道名称") : QStringLiteral("输出通道名称"));
        QCOMPARE(editor->size(), inputs ? QSize(353, 299) : QSize(354, 345));
        QCOMPARE(grid->geometry(), editor->rect());
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(),
                 inputs ? QStringLiteral("输入通道号") : QStringLiteral("输出通道号"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名  称"));
        QCOMPARE(grid->columnWidth(0), inputs ? 77 : 75);
        QCOMPARE(grid->columnWidth(1), inputs ? 235 : 237);
        QCOMPARE(grid->toolTip(), QStringLiteral("双击相应的单元格进入编辑状态"));
        const QString shots = qEnvironmentVariable("MC_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            editor->grab().save(shots + (inputs ? QStringLiteral("/tform4.png") : QStringLiteral("/tform5.png")));
        editor->close();
    });
    f.form->N1Click();
    f.form->N2Click();
}

MC_TEST_MAIN(TestNameEditors)
#include "tst_name_editors.moc"
