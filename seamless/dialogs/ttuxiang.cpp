#include "seamless/dialogs/ttuxiang.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "seamless/blocks.h"
#include "seamless/frames.h"
#include "ui/look.h"
#include "ui/messages.h"

using mc::seamless::AddLabel;

TTuXiang::TTuXiang(mc::seamless::SendFunction send, QWidget *parent)
    : QDialog(parent, mc::seamless::FixedDialogFlags()), m_send(std::move(send))
{
    setObjectName(QStringLiteral("TuXiang"));
    setWindowTitle(QStringLiteral("图像调整"));
    setFixedSize(769, 446);
    CreateControls();
    FormCreate();
}

QPushButton *TTuXiang::AddStepButton(QWidget *parent, int number, int tag, int left, int top)
{
    auto *button = new QPushButton(tag % 2 ? QStringLiteral("加+") : QStringLiteral("减-"), parent);
    button->setObjectName(QStringLiteral("Button") + QString::number(number));
    button->setGeometry(left, top, 57, 25);
    button->setAutoDefault(false);
    button->setProperty("Tag", tag);
    connect(button, &QPushButton::clicked, this, [this, tag] { Button1Click(tag); });
    return button;
}

void TTuXiang::CreateControls()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 769, 446);

    Label1 = AddLabel(Panel1, QStringLiteral("Label1"), QStringLiteral("输出通道"), 228, 19);
    bsSkinComboBox1 = mc::seamless::AddChannelList(Panel1, QStringLiteral("bsSkinComboBox1"), 298, 16, 207);

    RzGroupBox2 = new QGroupBox(QStringLiteral("一般调整"), Panel1);
    RzGroupBox2->setObjectName(QStringLiteral("RzGroupBox2"));
    RzGroupBox2->setGeometry(79, 70, 289, 232);
    RzGroupBox1 = new QGroupBox(QStringLiteral("色温调整"), Panel1);
    RzGroupBox1->setObjectName(QStringLiteral("RzGroupBox1"));
    RzGroupBox1->setGeometry(377, 70, 336, 232);

    bsSkinButton2 = new QPushButton(QStringLiteral("关闭&C"), Panel1);
    bsSkinButton2->setObjectName(QStringLiteral("bsSkinButton2"));
    bsSkinButton2->setGeometry(629, 388, 75, 25);
    bsSkinButton2->setAutoDefault(false);
    connect(bsSkinButton2, &QPushButton::clicked, this, &QDialog::reject);

    // General adjustment: one row per setting, "加+" then "减-".
    struct Row {
        const char *name;
        const char *caption;
        int labelLeft, labelTop, buttonTop;
        int upNumber, downNumber, upTag;
    };
    static const Row general[] = {
        {"Label2", "亮度", 54, 57, 48, 1, 4, 1},
        {"Label3", "对比度", 42, 91, 85, 2, 5, 3},
        {"Label4", "饱和度", 39, 131, 122, 3, 6, 5},
        {"Label5", "锐利度", 41, 166, 160, 7, 8, 7},
    };
    for (const Row &row : general) {
        AddLabel(RzGroupBox2, QLatin1String(row.name), QString::fromUtf8(row.caption), row.labelLeft,
                 row.labelTop);
        AddStepButton(RzGroupBox2, row.upNumber, row.upTag, 96, row.buttonTop);
        AddStepButton(RzGroupBox2, row.downNumber, row.upTag + 1, 168, row.buttonTop);
    }

    // Colour temperature: gain and offset of red, green and blue.
    QLabel *gain = AddLabel(RzGroupBox1, QStringLiteral("Label9"), QStringLiteral("增益"), 84, 48);
    QLabel *offset = AddLabel(RzGroupBox1, QStringLiteral("Label10"), QStringLiteral("补偿"), 228, 48);
    struct ColourRow {
        const char *name;
        const char *caption;
        int labelLeft, labelTop, buttonTop;
        int gainUp, gainDown, offsetUp, offsetDown, gainTag, offsetTag;
    };
    static const ColourRow colours[] = {
        {"Label6", "红", 15, 79, 72, 9, 12, 15, 18, 9, 15},
        {"Label7", "绿", 13, 114, 109, 10, 13, 16, 19, 11, 17},
        {"Label8", "蓝", 14, 152, 146, 11, 14, 17, 20, 13, 19},
    };
    for (const ColourRow &row : colours) {
        AddLabel(RzGroupBox1, QLatin1String(row.name), QString::fromUtf8(row.caption), row.labelLeft,
                 row.labelTop);
        AddStepButton(RzGroupBox1, row.gainUp, row.gainTag, 40, row.buttonTop);
        AddStepButton(RzGroupBox1, row.gainDown, row.gainTag + 1, 106, row.buttonTop);
        AddStepButton(RzGroupBox1, row.offsetUp, row.offsetTag, 184, row.buttonTop);
        AddStepButton(RzGroupBox1, row.offsetDown, row.offsetTag + 1, 250, row.buttonTop);
    }

    mc::ui::ApplyWindowLook(this);
    gain->setFont(mc::ui::ProgramFont(8, true));
    offset->setFont(mc::ui::ProgramFont(8, true));
    for (QLabel *label : findChildren<QLabel *>())
        mc::seamless::FitLabel(label);
}

void TTuXiang::FormCreate()
{
    for (int k = 0; k < 20; ++k)
        BlockTexts[k] = QLatin1String(mc::frames::kImageAdjustBlocks[k]);
}

void TTuXiang::Button1Click(int tag)
{
    mc::ui::Guarded(this, [&] {
        if (tag < 1 || tag > 20)
            return;
        const unsigned channel = mc::seamless::ChannelOf(bsSkinComboBox1);
        if (!mc::seamless::CheckAddressable(this, channel))
            return;
        const QByteArray frame =
            mc::frames::Frame(mc::frames::Side::Output, channel, BlockTexts[tag - 1]);
        if (m_send)
            m_send(frame);
    });
}
