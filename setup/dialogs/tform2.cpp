#include "setup/dialogs/tform2.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>

#include "core/blanks.h"
#include "core/strtoint.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"
#include "ui/messages.h"

namespace {

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, int x, int y, int w, int h)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(x, y, w, h);
    return label;
}

QLineEdit *MakeEdit(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(x, y, w, h);
    return edit;
}

} // namespace

TForm2::TForm2(QWidget *parent)
    : QDialog(parent, mc::ui::DialogFlags())
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("基本设置"));
    setFixedSize(413, 143);

    Label4 = MakeLabel(this, "Label4", QStringLiteral("控制方式"), 31, 24, 62, 13);
    bsSkinComboBox2 = new QComboBox(this);
    bsSkinComboBox2->setObjectName(QStringLiteral("bsSkinComboBox2"));
    bsSkinComboBox2->setGeometry(97, 21, 98, 20);
    bsSkinComboBox2->addItems({QStringLiteral("串口"), QStringLiteral("网络")});
    Label1 = MakeLabel(this, "Label1", QStringLiteral("电脑串口"), 32, 53, 62, 13);
    bsSkinComboBox1 = new QComboBox(this);
    bsSkinComboBox1->setObjectName(QStringLiteral("bsSkinComboBox1"));
    bsSkinComboBox1->setGeometry(97, 49, 98, 20);
    Label5 = MakeLabel(this, "Label5", QStringLiteral("矩阵IP"), 48, 79, 45, 13);
    bsSkinEdit3 = MakeEdit(this, "bsSkinEdit3", 96, 77, 99, 18);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("输入数"), 217, 25, 45, 13);
    bsSkinEdit1 = MakeEdit(this, "bsSkinEdit1", 266, 22, 76, 18);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("输出数"), 217, 52, 45, 13);
    bsSkinEdit2 = MakeEdit(this, "bsSkinEdit2", 266, 50, 76, 18);

    RzBmpButton5 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton5"), QStringLiteral("确 定(&O)"), {223, 107});
    RzBmpButton1 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton1"), QStringLiteral("取 消(&C)"), {313, 107});

    mc::ui::ApplyWindowLook(this);

    connect(RzBmpButton5, &QAbstractButton::clicked, this, [this] { RzBmpButton5Click(); });
    connect(RzBmpButton1, &QAbstractButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TForm2::FormCreate()
{
    bsSkinComboBox1->clear();
    for (int n = 1; n <= 20; ++n)
        bsSkinComboBox1->addItem(QStringLiteral("COM") + QString::number(n));
    // USB serial adapters are how a matrix is usually attached here.
    bsSkinComboBox1->addItems(SerialAdapters());
    bsSkinComboBox1->setCurrentIndex(-1);
}

QStringList TForm2::SerialAdapters(const QString &deviceFolder)
{
    static const QRegularExpression pattern(QStringLiteral("^(ttyUSB|ttyACM)(\\d+)$"));
    struct Entry {
        QString kind;
        int number;
        QString name;
    };
    QList<Entry> found;
    const QStringList names = QDir(deviceFolder).entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                                           QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch())
            found.append({m.captured(1), m.captured(2).toInt(), name});
    }
    std::sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) {
        return a.kind != b.kind ? a.kind > b.kind : a.number < b.number;   // ttyUSB before ttyACM
    });
    QStringList result;
    for (const Entry &e : found)
        result.append(e.name);
    return result;
}

void TForm2::SelectPort(const QString &com)
{
    for (int i = 0; i < bsSkinComboBox1->count(); ++i) {
        if (bsSkinComboBox1->itemText(i).compare(com, Qt::CaseInsensitive) == 0) {
            bsSkinComboBox1->setCurrentIndex(i);
            return;
        }
    }
    bsSkinComboBox1->setCurrentIndex(-1);
}

void TForm2::SelectLinkKind(int kind) { bsSkinComboBox2->setCurrentIndex(kind == 0 ? 0 : 1); }

void TForm2::RzBmpButton5Click()
{
    mc::ui::Guarded(this, [this] {
        if (mc::IsBlank(bsSkinEdit1->text()) || mc::IsBlank(bsSkinEdit2->text())) {
            mc::ui::ShowWarning(this, QStringLiteral("系统提示"), QStringLiteral("对不起,输入及输出通道数不能为空!"));
            return;
        }
        // Converted as typed: a leading blank passes, a trailing one does not.
        const int inputs = mc::StrToInt(bsSkinEdit1->text());
        const int outputs = mc::StrToInt(bsSkinEdit2->text());
        if (inputs < 1 || inputs > 128 || outputs < 1 || outputs > 128) {
            mc::ui::ShowWarning(this, QStringLiteral("系统提示"), QStringLiteral("对不起,输入及输出通道数必须为1--128!"));
            return;
        }
        accept();
    });
}
