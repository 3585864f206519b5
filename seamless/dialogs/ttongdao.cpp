#include "seamless/dialogs/ttongdao.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>

#include "core/pause.h"
#include "seamless/blocks.h"
#include "seamless/dialogs/waitcursor.h"
#include "seamless/frames.h"
#include "ui/look.h"
#include "ui/messages.h"

using mc::frames::Side;
using mc::seamless::AddLabel;

namespace {

// Pause after a card's setting before its follow-up block.
constexpr int kSettingPauseMs = 1000;
// Pause after each control priority frame and after an output follow-up.
constexpr int kLongPauseMs = 1500;

QRadioButton *AddRadio(QWidget *parent, const QString &name, const QString &text, int left, int top,
                       bool checked)
{
    auto *radio = new QRadioButton(text, parent);
    radio->setObjectName(name);
    radio->move(left, top);
    radio->setChecked(checked);
    return radio;
}

QPushButton *AddButton(QWidget *parent, const QString &name, const QString &text, int left, int top,
                       int width = 84, int height = 25)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

QString SettingLabelNote()
{
    const QString indent2(14, QLatin1Char(' '));
    const QString indent4(17, QLatin1Char(' '));
    return QStringLiteral("注意：1、可对DVI-I输入卡进行4种信号选择；\n") + indent2 +
           QStringLiteral("2、可对VGA卡进行VGA或分量输入选择；\n") + indent2 +
           QStringLiteral("3、设置不正确，会黑屏，比如对HDMI卡，\n") + indent4 +
           QStringLiteral("选择了VGA输入，对VGA卡选择了HDMI\n") + indent4 +
           QStringLiteral("输入，等等，都会造成黑屏");
}

} // namespace

TTongdao::TTongdao(mc::seamless::SendFunction send, QWidget *parent)
    : QDialog(parent, mc::seamless::FixedDialogFlags()), m_send(std::move(send))
{
    setObjectName(QStringLiteral("Tongdao"));
    setWindowTitle(QStringLiteral("通道参数设置"));
    setFixedSize(833, 533);
    CreateControls();
    move(281, 74);
}

void TTongdao::CreateControls()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 833, 533);

    // Control priority.
    Label6 = AddLabel(Panel1, QStringLiteral("Label6"), QStringLiteral("通道设置方式"), 113, 27);
    RzRadioButton1 = AddRadio(Panel1, QStringLiteral("RzRadioButton1"), QStringLiteral("串口优先"), 224, 24, false);
    RzRadioButton2 = AddRadio(Panel1, QStringLiteral("RzRadioButton2"), QStringLiteral("拔码优先"), 224, 56, true);
    Button5 = AddButton(Panel1, QStringLiteral("Button5"), QStringLiteral("设  置"), 349, 47);
    Label7 = AddLabel(Panel1, QStringLiteral("Label7"),
                      QStringLiteral("注意：只有设置过串口优先的矩阵，才能通过串口设置下面的参数，"
                                     "否则通过板卡上的拔码开关设置"),
                      76, 88);
    bsSkinButton2 = AddButton(Panel1, QStringLiteral("bsSkinButton2"), QStringLiteral("关闭&C"), 692, 485, 75, 25);

    // Input channel.
    RzGroupBox2 = new QGroupBox(QStringLiteral("输入通道"), Panel1);
    RzGroupBox2->setObjectName(QStringLiteral("RzGroupBox2"));
    RzGroupBox2->setGeometry(39, 110, 354, 355);
    Label9 = AddLabel(RzGroupBox2, QStringLiteral("Label9"), QStringLiteral("输入通道"), 45, 35);
    bsSkinComboBox1 = mc::seamless::AddChannelList(RzGroupBox2, QStringLiteral("bsSkinComboBox1"), 127, 32, 207);
    Label5 = AddLabel(RzGroupBox2, QStringLiteral("Label5"), QStringLiteral("显示模式"), 46, 95);
    RzRadioButton3 = AddRadio(RzGroupBox2, QStringLiteral("RzRadioButton3"), QStringLiteral("自动选择"), 136, 80, true);
    RzRadioButton4 = AddRadio(RzGroupBox2, QStringLiteral("RzRadioButton4"), QStringLiteral("强制全屏"), 136, 104, false);
    Button2 = AddButton(RzGroupBox2, QStringLiteral("Button2"), QStringLiteral("设  置"), 245, 95);
    Label3 = AddLabel(RzGroupBox2, QStringLiteral("Label3"), QStringLiteral("建议设置为自动"), 241, 127);
    Label2 = AddLabel(RzGroupBox2, QStringLiteral("Label2"), QStringLiteral("输入选择"), 48, 196);
    bsSkinComboBox3 = new QComboBox(RzGroupBox2);
    bsSkinComboBox3->setObjectName(QStringLiteral("bsSkinComboBox3"));
    bsSkinComboBox3->setGeometry(118, 193, 114, 20);
    bsSkinComboBox3->addItems({QStringLiteral("DVI和HDMI"), QStringLiteral("VGA"), QStringLiteral("分量"),
                               QStringLiteral("AV")});
    bsSkinComboBox3->setCurrentIndex(0);
    Button1 = AddButton(RzGroupBox2, QStringLiteral("Button1"), QStringLiteral("设  置"), 253, 191);
    Label4 = AddLabel(RzGroupBox2, QStringLiteral("Label4"), SettingLabelNote(), 36, 268);

    // Output channel.
    RzGroupBox1 = new QGroupBox(QStringLiteral("输出通道"), Panel1);
    RzGroupBox1->setObjectName(QStringLiteral("RzGroupBox1"));
    RzGroupBox1->setGeometry(399, 112, 378, 353);
    Label10 = AddLabel(RzGroupBox1, QStringLiteral("Label10"), QStringLiteral("输出通道"), 36, 35);
    bsSkinComboBox2 = mc::seamless::AddChannelList(RzGroupBox1, QStringLiteral("bsSkinComboBox2"), 107, 32, 207);
    Label11 = AddLabel(RzGroupBox1, QStringLiteral("Label11"), QStringLiteral("显示模式"), 34, 94);
    RzRadioButton5 = AddRadio(RzGroupBox1, QStringLiteral("RzRadioButton5"), QStringLiteral("自动选择"), 144, 80, true);
    RzRadioButton6 = AddRadio(RzGroupBox1, QStringLiteral("RzRadioButton6"), QStringLiteral("强制全屏"), 144, 104, false);
    Button3 = AddButton(RzGroupBox1, QStringLiteral("Button3"), QStringLiteral("设  置"), 264, 102);
    Label12 = AddLabel(RzGroupBox1, QStringLiteral("Label12"), QStringLiteral("建议设置为自动"), 260, 134);
    Label1 = AddLabel(RzGroupBox1, QStringLiteral("Label1"), QStringLiteral("输出分辨率"), 21, 189);
    bsSkinComboBox4 = new QComboBox(RzGroupBox1);
    bsSkinComboBox4->setObjectName(QStringLiteral("bsSkinComboBox4"));
    bsSkinComboBox4->setGeometry(107, 186, 126, 20);
    bsSkinComboBox4->addItems({QStringLiteral("1920*1080"), QStringLiteral("1600*1200"), QStringLiteral("1600*900"),
                               QStringLiteral("1280*1024"), QStringLiteral("1280*800"), QStringLiteral("1280*720"),
                               QStringLiteral("1366*768"), QStringLiteral("1024*768")});
    bsSkinComboBox4->setCurrentIndex(0);
    Button4 = AddButton(RzGroupBox1, QStringLiteral("Button4"), QStringLiteral("设  置"), 267, 184);
    RzPanel1 = new QWidget(RzGroupBox1);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    RzPanel1->setGeometry(1, 256, 376, 73);
    Label8 = AddLabel(RzPanel1, QStringLiteral("Label8"), QStringLiteral("HD卡输出信号"), 6, 30);
    RzRadioButton7 = AddRadio(RzPanel1, QStringLiteral("RzRadioButton7"), QStringLiteral("强制为HDMI"), 146, 16, true);
    RzRadioButton8 = AddRadio(RzPanel1, QStringLiteral("RzRadioButton8"), QStringLiteral("强制为DVI"), 146, 48, false);
    Button6 = AddButton(RzPanel1, QStringLiteral("Button6"), QStringLiteral("设  置"), 265, 41);

    mc::ui::ApplyWindowLook(this);
    mc::ui::StyleGroupBox(RzGroupBox2, QColor(128, 255, 0));
    mc::ui::StyleGroupBox(RzGroupBox1, QColor(128, 255, 0));

    // Labels are white and bold; the notes are black and plain, the warning
    // above the groups red and bold on one line.
    for (QLabel *label : {Label6, Label7, Label9, Label5, Label2, Label10, Label11, Label1, Label8})
        label->setFont(mc::ui::ProgramFont(8, true));
    mc::ui::SetTextColour(Label7, Qt::red);
    for (QLabel *label : {Label3, Label12, Label4})
        mc::ui::SetTextColour(label, Qt::black);
    for (QLabel *label : findChildren<QLabel *>())
        mc::seamless::FitLabel(label);
    Label7->resize(701, Label7->height());
    Label4->resize(317, 78);
    for (QRadioButton *radio : findChildren<QRadioButton *>())
        radio->resize(radio->sizeHint());

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(bsSkinButton2, &QPushButton::clicked, this, &QDialog::reject);
}

void TTongdao::Send(const QByteArray &frame)
{
    if (m_send)
        m_send(frame);
}

void TTongdao::SendCardSetting(bool input, unsigned channel, const char *block)
{
    mc::ui::Guarded(this, [&] {
        if (!mc::seamless::CheckAddressable(this, channel))
            return;
        mc::seamless::WaitCursor hourglass;
        Send(mc::frames::Frame(input ? Side::Input : Side::Output, channel, QLatin1String(block)));
        mc::Pause(kSettingPauseMs);
        SendFollowUp(channel, input ? 1 : 2);
    });
}

void TTongdao::Button1Click()
{
    const int k = bsSkinComboBox3->currentIndex();
    const char *block = k >= 1 && k <= 3 ? mc::frames::kInputSignals[k] : mc::frames::kInputSignalDviHdmi;
    SendCardSetting(true, mc::seamless::ChannelOf(bsSkinComboBox1), block);
}

void TTongdao::Button2Click()
{
    SendCardSetting(true, mc::seamless::ChannelOf(bsSkinComboBox1),
                    RzRadioButton3->isChecked() ? mc::frames::kDisplayModeAuto
                                                : mc::frames::kDisplayModeFullScreen);
}

void TTongdao::Button3Click()
{
    SendCardSetting(false, mc::seamless::ChannelOf(bsSkinComboBox2),
                    RzRadioButton5->isChecked() ? mc::frames::kDisplayModeAuto
                                                : mc::frames::kDisplayModeFullScreen);
}

void TTongdao::Button4Click()
{
    const int r = bsSkinComboBox4->currentIndex();
    const int count = int(std::size(mc::frames::kResolutions));
    // The list is fixed; without a selection the first resolution stands.
    const char *block = mc::frames::kResolutions[r >= 0 && r < count ? r : 0];
    SendCardSetting(false, mc::seamless::ChannelOf(bsSkinComboBox2), block);
}

void TTongdao::Button5Click()
{
    mc::ui::Guarded(this, [&] {
        mc::seamless::WaitCursor hourglass;
        const QLatin1String block(RzRadioButton1->isChecked() ? mc::frames::kPrioritySerial
                                                              : mc::frames::kPriorityDipSwitch);
        Send(mc::frames::Frame(Side::Output, 0, block));
        mc::Pause(kLongPauseMs);
        Send(mc::frames::Frame(Side::Input, 0, block));
        mc::Pause(kLongPauseMs);
        SendFollowUp(0, 3);
    });
}

void TTongdao::Button6Click()
{
    SendCardSetting(false, mc::seamless::ChannelOf(bsSkinComboBox2),
                    RzRadioButton7->isChecked() ? mc::frames::kOutputSignalHdmi : mc::frames::kOutputSignalDvi);
}

void TTongdao::SendFollowUp(unsigned channel, int sides)
{
    mc::seamless::WaitCursor hourglass;
    const QLatin1String block(mc::frames::kFollowUp);
    if (sides == 2 || sides == 3) {
        Send(mc::frames::Frame(Side::Output, channel, block));
        mc::Pause(kLongPauseMs);
    }
    if (sides == 1 || sides == 3)
        Send(mc::frames::Frame(Side::Input, channel, block));
}
