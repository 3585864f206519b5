#include "ui/bitmapbutton.h"

#include <QEnterEvent>
#include <QPainter>

#include "ui/look.h"

namespace mc::ui {

namespace {
constexpr int kWidth = 83;
constexpr int kHeight = 24;
} // namespace

BitmapButton::BitmapButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
{
    InitLookResources();
    m_normal.load(QStringLiteral(":/mc/look/button_normal.png"));
    m_pressed.load(QStringLiteral(":/mc/look/button_pressed.png"));
    m_hotImage.load(QStringLiteral(":/mc/look/button_hot.png"));
    setText(caption);
    setFont(ProgramFont(8));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    resize(kWidth, kHeight);
}

QSize BitmapButton::sizeHint() const
{
    return QSize(kWidth, kHeight);
}

QSize BitmapButton::minimumSizeHint() const
{
    return QSize(kWidth, kHeight);
}

void BitmapButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool down = isDown() || isChecked();
    const QPixmap &picture = down ? m_pressed : (m_hot && isEnabled() ? m_hotImage : m_normal);
    painter.drawPixmap(rect(), picture);

    QRect textArea = rect();
    if (down)
        textArea.translate(1, 1);
    painter.setFont(font());
    painter.setPen(isEnabled() ? ButtonTextColour() : QColor(150, 165, 180));
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextShowMnemonic, text());

    if (hasFocus()) {
        QPen pen(ButtonTextColour(), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void BitmapButton::enterEvent(QEnterEvent *event)
{
    m_hot = true;
    update();
    QAbstractButton::enterEvent(event);
}

void BitmapButton::leaveEvent(QEvent *event)
{
    m_hot = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void BitmapButton::hideEvent(QHideEvent *event)
{
    m_hot = false;
    QAbstractButton::hideEvent(event);
}

BitmapButton *AddBitmapButton(QWidget *parent, const QString &name, const QString &caption, QPoint at)
{
    auto *button = new BitmapButton(caption, parent);
    button->setObjectName(name);
    button->move(at);
    return button;
}

} // namespace mc::ui
