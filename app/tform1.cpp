#include "app/tform1.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>

#include "app/tmybtn.h"
#include "setup/settings.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"
#include "ui/messages.h"

TForm1 *Form1 = nullptr;

namespace {
const char kVersionText[] = "V7.8.1 2016-11-21";

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QComboBox *makeList(QWidget *parent, const char *name, QRect geometry)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(geometry);
    return list;
}

QRadioButton *makeRadio(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    auto *radio = new QRadioButton(text, parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(geometry);
    return radio;
}

} // namespace

TForm1::TForm1(const QString &baseFolder, QWidget *parent)
    : QMainWindow(parent), m_baseFolder(baseFolder), m_link(*this)
{
    Form1 = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("矩阵控制"));
    CreateControls();
    CreateMenu();
    mc::ui::ApplyWindowLook(this);
    FormCreate();
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

// The fixed layout: control area on the left, routing panel on the right,
// the status strip along the bottom.
void TForm1::CreateControls()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedSize(1228, 500);
    setCentralWidget(Panel2);

    RzRadioButton1 = makeRadio(Panel2, "RzRadioButton1", QStringLiteral("音视频"), {53, 19, 65, 17});
    RzRadioButton3 = makeRadio(Panel2, "RzRadioButton3", QStringLiteral("音频"), {128, 19, 73, 17});
    RzRadioButton2 = makeRadio(Panel2, "RzRadioButton2", QStringLiteral("视频"), {54, 50, 73, 17});
    RzRadioButton1->setChecked(true);

    Label1 = makeLabel(Panel2, "Label1", QStringLiteral("输入通道"), {213, 21, 65, 13});
    bsSkinComboBox1 = makeList(Panel2, "bsSkinComboBox1", {280, 17, 120, 20});
    Label2 = makeLabel(Panel2, "Label2", QStringLiteral("输出通道"), {214, 52, 64, 13});
    bsSkinComboBox2 = makeList(Panel2, "bsSkinComboBox2", {279, 49, 120, 20});
    Label3 = makeLabel(Panel2, "Label3", QStringLiteral("预案"), {237, 86, 35, 13});
    bsSkinComboBox3 = makeList(Panel2, "bsSkinComboBox3", {278, 83, 120, 20});
    for (int n = 1; n <= 9; ++n)
        bsSkinComboBox3->addItem(QStringLiteral("编号") + QString::number(n));

    RzBmpButton2 = mc::ui::AddBitmapButton(Panel2, QStringLiteral("RzBmpButton2"), QStringLiteral("切到所有输出"), {428, 13});
    RzBmpButton5 = mc::ui::AddBitmapButton(Panel2, QStringLiteral("RzBmpButton5"), QStringLiteral("切  换"), {429, 47});
    RzBmpButton3 = mc::ui::AddBitmapButton(Panel2, QStringLiteral("RzBmpButton3"), QStringLiteral("调用预案"), {428, 84});
    RzBmpButton4 = mc::ui::AddBitmapButton(Panel2, QStringLiteral("RzBmpButton4"), QStringLiteral("保存预案"), {429, 117});
    RzBmpButton1 = mc::ui::AddBitmapButton(Panel2, QStringLiteral("RzBmpButton1"), QStringLiteral("刷新状态数据"), {427, 164});
    RzBmpButton9 = mc::ui::AddBitmapButton(Panel2, QStringLiteral("RzBmpButton9"), QStringLiteral("输出轮询控制"), {429, 297});
    RzBmpButton9->hide();

    Memo1 = new QPlainTextEdit(Panel2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(68, 145, 345, 317);
    mc::ui::StyleLogPanel(Memo1);

    Shape2 = new QFrame(Panel2);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(536, 0, 3, 473);
    Shape2->setAutoFillBackground(true);
    Shape2->setStyleSheet(QStringLiteral("background: white; border: none;"));

    Panel1 = new QWidget(Panel2);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(538, 0, 690, 476);
    Label8 = makeLabel(Panel1, "Label8", QStringLiteral("输入通道"), {138, 8, 73, 13});
    Label10 = makeLabel(Panel1, "Label10", QStringLiteral("选中输入后，依次选输出"), {266, 8, 169, 13});
    Label9 = makeLabel(Panel1, "Label9", QStringLiteral("输出通道"), {477, 8, 73, 13});
    Label8->setFont(mc::ui::ProgramFont(8, true));
    Label9->setFont(mc::ui::ProgramFont(8, true));
    mc::ui::SetTextColour(Label10, Qt::red);

    // Status strip: a picture along the bottom with four labels over it.
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 476, 1228, 24);
    Image1->setPixmap(mc::ui::StatusBarPicture());
    Image1->setScaledContents(true);
    Label4 = makeLabel(Panel2, "Label4", QStringLiteral("COM1"), {12, 486, 174, 13});
    Label5 = makeLabel(Panel2, "Label5", QStringLiteral("矩阵大小:32*32"), {194, 486, 168, 13});
    Label6 = makeLabel(Panel2, "Label6", QStringLiteral("协议"), {304, 486, 197, 13});
    Label7 = makeLabel(Panel2, "Label7", QString::fromLatin1(kVersionText), {440, 486, 95, 13});

    ConnectGuarded(RzBmpButton2, &QAbstractButton::clicked, &TForm1::RzBmpButton2Click);
    ConnectGuarded(RzBmpButton5, &QAbstractButton::clicked, &TForm1::RzBmpButton5Click);
    ConnectGuarded(RzBmpButton3, &QAbstractButton::clicked, &TForm1::RzBmpButton3Click);
    ConnectGuarded(RzBmpButton4, &QAbstractButton::clicked, &TForm1::RzBmpButton4Click);
    ConnectGuarded(RzBmpButton1, &QAbstractButton::clicked, &TForm1::RzBmpButton1Click);
    ConnectGuarded(RzBmpButton9, &QAbstractButton::clicked, &TForm1::RzBmpButton9Click);
    // The input list's rule follows the operator's choice only: filling the
    // list or setting its position from code never triggers it.
    ConnectGuarded(bsSkinComboBox1, qOverload<int>(&QComboBox::activated), &TForm1::bsSkinComboBox1Change);
}

void TForm1::CreateMenu()
{
    QMenuBar *bar = menuBar();
    N4 = bar->addMenu(QStringLiteral("系统(&S)"));
    N4->setObjectName(QStringLiteral("N4"));
    dddd1 = N4->addAction(QStringLiteral("基本设置"));
    dddd1->setObjectName(QStringLiteral("dddd1"));
    ID1 = N4->addAction(QStringLiteral("设置机器ID"));
    ID1->setObjectName(QStringLiteral("ID1"));
    ID1->setVisible(false);
    N1 = N4->addAction(QStringLiteral("输入通道名称"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = N4->addAction(QStringLiteral("输出通道名称"));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = N4->addAction(QStringLiteral("模式名称"));
    N3->setObjectName(QStringLiteral("N3"));
    N9 = N4->addMenu(QStringLiteral("无缝矩阵设置"));
    N9->setObjectName(QStringLiteral("N9"));
    N5 = N9->addAction(QStringLiteral("图像调整..."));
    N5->setObjectName(QStringLiteral("N5"));
    N6 = N9->addAction(QStringLiteral("通道设置.."));
    N6->setObjectName(QStringLiteral("N6"));
    N8 = bar->addMenu(QStringLiteral("帮助(&H)"));
    N8->setObjectName(QStringLiteral("N8"));
    N7 = N8->addAction(QStringLiteral("关于"));
    N7->setObjectName(QStringLiteral("N7"));
    const auto handle = [this](QAction *action, void (TForm1::*handler)()) {
        ConnectGuarded(action, &QAction::triggered, handler);
    };
    handle(dddd1, &TForm1::dddd1Click);
    handle(ID1, &TForm1::ID1Click);
    handle(N1, &TForm1::N1Click);
    handle(N2, &TForm1::N2Click);
    handle(N3, &TForm1::N3Click);
    handle(N5, &TForm1::N5Click);
    handle(N6, &TForm1::N6Click);
    handle(N7, &TForm1::N7Click);
}

// Start-up, in this order: preset names and link kind, caption, matrix ID,
// database, button grids (inputs first), link. A failure ends start-up with
// the standard error box; the window still opens.
void TForm1::FormCreate()
{
    mc::ui::Guarded(this, [this] {
        LoadPresetNames();
        setWindowTitle(mc::settings::ReadTitle(m_baseFolder));
        MatrixIdText.clear();
        OpenDatabase();
        BuildInputButtons();
        BuildOutputButtons();
        m_link.OpenLink();
    });
    // Client area 1228 x 522: the 22-pixel menu bar above the main panel.
    setFixedSize(1228, 500 + menuBar()->height());
    // Minimise but no maximise: the layout is fixed.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm1::OpenDatabase() { ADOConnection1.Open(m_baseFolder); }

void TForm1::N7Click()
{
    mc::ui::ShowPlain(this, windowTitle(), QStringLiteral("矩阵控制软件") + QString::fromLatin1(kVersionText));
}

QString TForm1::SerialPortName()
{
    if (!ADOConnection1.IsOpen())
        return QString();
    ADOQuery1().First();
    return ADOQuery1().AsString(QStringLiteral("com"));
}

QString TForm1::NetworkAddress() { return mc::settings::ReadNetworkAddress(m_baseFolder); }

void TForm1::SetLinkLabel(const QString &text) { Label4->setText(text); }

void TForm1::ShowSerialOpenFailed(const QString &portName)
{
    mc::ui::ShowWarning(this, QStringLiteral("系统提示"),
                        QStringLiteral("对不起,打开串口") + portName +
                            QStringLiteral("失败!可能此串口不存在或被其它软件占用!"));
}

void TForm1::ShowUnhandledError(const QString &message) { mc::ui::ShowErrorBox(this, message); }
