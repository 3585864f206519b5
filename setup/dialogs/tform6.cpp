#include "setup/dialogs/tform6.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "core/strtoint.h"
#include "protocol/commands.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"
#include "ui/messages.h"

namespace {
// The list always offers this many outputs, whatever the matrix's size.
constexpr int kOutputs = 72;
// The interval travels as an unsigned 16-bit number of seconds.
constexpr int kShortestInterval = 3;
constexpr int kLongestInterval = 0xFFFF;
} // namespace

TForm6::TForm6(SendFunction send, QWidget *parent)
    : QDialog(parent, mc::ui::DialogFlags()),
      m_send(std::move(send))
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("轮询设置"));
    setFixedSize(587, 173);

    Label2 = new QLabel(QStringLiteral("间隔时间(秒)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(47, 49, 84, 13);
    bsSkinEdit1 = new QLineEdit(QStringLiteral("60"), this);
    bsSkinEdit1->setObjectName(QStringLiteral("bsSkinEdit1"));
    bsSkinEdit1->setGeometry(136, 46, 76, 18);
    RzBmpButton1 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton1"), QStringLiteral("设置轮询时间"), {233, 43});
    Label1 = new QLabel(QStringLiteral("输出通道"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(71, 96, 60, 13);
    bsSkinComboBox1 = new QComboBox(this);
    bsSkinComboBox1->setObjectName(QStringLiteral("bsSkinComboBox1"));
    bsSkinComboBox1->setGeometry(135, 93, 84, 20);
    RzBmpButton5 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton5"), QStringLiteral("打开1轮询"), {231, 91});
    RzBmpButton2 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton2"), QStringLiteral("关闭1轮询"), {335, 91});
    RzBmpButton3 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton3"), QStringLiteral("打开所有轮询"), {231, 123});
    RzBmpButton4 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton4"), QStringLiteral("关闭所有轮询"), {335, 123});
    RzBmpButton6 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton6"), QStringLiteral("关闭窗口"), {463, 123});

    mc::ui::ApplyWindowLook(this);

    // Filled before the change handler is connected: opening the dialog
    // keeps the captions stored for output 1.
    for (int n = 1; n <= kOutputs; ++n)
        bsSkinComboBox1->addItem(QString::number(n));
    bsSkinComboBox1->setCurrentIndex(0);

    connect(bsSkinComboBox1, &QComboBox::currentIndexChanged, this,
            [this](int) { mc::ui::Guarded(this, [this] { bsSkinComboBox1Change(); }); });
    connect(RzBmpButton1, &QAbstractButton::clicked, this, [this] { RzBmpButton1Click(); });
    connect(RzBmpButton5, &QAbstractButton::clicked, this, [this] { RzBmpButton5Click(); });
    connect(RzBmpButton2, &QAbstractButton::clicked, this, [this] { RzBmpButton2Click(); });
    connect(RzBmpButton3, &QAbstractButton::clicked, this, [this] { RzBmpButton3Click(); });
    connect(RzBmpButton4, &QAbstractButton::clicked, this, [this] { RzBmpButton4Click(); });
    connect(RzBmpButton6, &QAbstractButton::clicked, this, &QDialog::reject);
}

int TForm6::SelectedOutput() const { return bsSkinComboBox1->currentIndex() + 1; }

void TForm6::send(const QByteArray &command)
{
    if (m_send)
        m_send(command);
}

void TForm6::tell(const QString &text)
{
    // A plain message carries the program's caption.
    mc::ui::ShowPlain(this, parentWidget() ? parentWidget()->window()->windowTitle() : windowTitle(), text);
}

void TForm6::RzBmpButton1Click()
{
    mc::ui::Guarded(this, [this] {
        const int seconds = mc::StrToInt(bsSkinEdit1->text());
        if (seconds < kShortestInterval) {
            tell(QStringLiteral("不能小于3秒！"));
            bsSkinEdit1->setText(QString::number(kShortestInterval));
            bsSkinEdit1->setFocus();
            return;
        }
        // Only 16 bits travel: a longer interval would reach the matrix cut
        // down to its remainder (65536 seconds as 0), so it is refused.
        if (seconds > kLongestInterval) {
            tell(QStringLiteral("不能大于65535秒！"));
            bsSkinEdit1->setText(QString::number(kLongestInterval));
            bsSkinEdit1->setFocus();
            return;
        }
        send(mc::cmd::PollingInterval(seconds));
    });
}

void TForm6::RzBmpButton5Click()
{
    mc::ui::Guarded(this, [this] { send(mc::cmd::StartPolling(SelectedOutput())); });
}

void TForm6::RzBmpButton2Click()
{
    mc::ui::Guarded(this, [this] { send(mc::cmd::StopPolling(SelectedOutput())); });
}

void TForm6::RzBmpButton3Click()
{
    mc::ui::Guarded(this, [this] { send(mc::cmd::StartAllPolling()); });
}

void TForm6::RzBmpButton4Click()
{
    mc::ui::Guarded(this, [this] { send(mc::cmd::StopAllPolling()); });
}

void TForm6::bsSkinComboBox1Change()
{
    const QString n = QString::number(SelectedOutput());
    RzBmpButton5->setText(QStringLiteral("打开") + n + QStringLiteral(" 轮询"));
    RzBmpButton2->setText(QStringLiteral("关闭") + n + QStringLiteral(" 轮询"));
}
