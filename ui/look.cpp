#include "ui/look.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>

// Outside any namespace, as the resource initialiser requires.
static void InitLookResourcesOnce()
{
    Q_INIT_RESOURCE(look);
}

namespace mc::ui {

namespace {

// Dynamic property that carries a channel button's lime mark; the style
// sheet selects on it, and IsChannelButtonLime reads it back.
constexpr char kLimeProperty[] = "channelLime";

// Height of the menu bar on every window.
constexpr int kMenuBarHeight = 22;

// Rows shown by a dropped-down list.
constexpr int kListRows = 8;

QString Rgb(const QColor &c)
{
    if (c.alpha() == 255)
        return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

// The application's own palette, every role marked as set, so that a
// control given it keeps it under a window with the program's colours.
QPalette PlainPalette()
{
    const QPalette app = QApplication::palette();
    QPalette p = app;
    const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive,
                                           QPalette::Disabled};
    for (QPalette::ColorGroup g : groups) {
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = static_cast<QPalette::ColorRole>(r);
            p.setBrush(g, role, app.brush(g, role));
        }
    }
    return p;
}

void StyleMenuBar(QMenuBar *bar)
{
    bar->setPalette(PlainPalette());
    bar->setFont(ProgramFont());
    bar->setFixedHeight(kMenuBarHeight);
}

void StyleList(QComboBox *list)
{
    list->setEditable(false);
    list->setMaxVisibleItems(kListRows);
    // Styles that open a list over the current item (Fusion among them)
    // ignore the row count; the plain drop-down popup honours it.
    list->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

// Group boxes are drawn here rather than by a style sheet: a style sheet
// on a box would cut its controls off the window's palette (their text
// would turn black), and the common styles draw the frame from a picture
// whose colour cannot be set.
constexpr char kBorderProperty[] = "groupBorder";
constexpr char kPaintedProperty[] = "groupLook";

class GroupBoxPainter : public QObject {
public:
    explicit GroupBoxPainter(QGroupBox *box) : QObject(box) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto *box = qobject_cast<QGroupBox *>(watched);
        if (!box)
            return false;
        QFont titleFont = box->font();
        titleFont.setBold(true);
        const QFontMetrics fm(titleFont);
        const QString title = box->title();
        const int titleHeight = fm.height();
        const QRect titleRect(8, 0, title.isEmpty() ? 0 : fm.horizontalAdvance(title) + 6,
                              titleHeight);
        const QRectF frame = QRectF(box->rect()).adjusted(0.5, titleHeight / 2 + 0.5, -0.5, -0.5);

        QPainter p(box);
        p.setRenderHint(QPainter::Antialiasing);
        p.save();
        QRegion outside(box->rect());
        if (!title.isEmpty())
            outside -= titleRect;
        p.setClipRegion(outside);
        p.setPen(QPen(box->property(kBorderProperty).value<QColor>(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, 3, 3);
        p.restore();
        if (!title.isEmpty()) {
            p.setFont(titleFont);
            p.setPen(box->palette().color(box->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                          QPalette::WindowText));
            p.drawText(titleRect, Qt::AlignCenter | Qt::TextShowMnemonic, title);
        }
        return true;
    }
};

} // namespace

QColor BackgroundColour()
{
    return QColor(0, 105, 155);
}

QColor Lime()
{
    return QColor(0, 255, 0);
}

QColor ButtonTextColour()
{
    return QColor(242, 242, 242);
}

QColor HighlightColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QFont ProgramFont(int pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("Droid Sans Fallback"), QStringLiteral("SimSun")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

void InitLookResources()
{
    static const bool done = (InitLookResourcesOnce(), true);
    Q_UNUSED(done);
}

Qt::WindowFlags DialogFlags(bool sizeable)
{
    const Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    return sizeable ? flags : flags | Qt::MSWindowsFixedSizeDialogHint;
}

void ApplyWindowLook(QWidget *window)
{
    if (!window)
        return;
    InitLookResources();

    // Palette roles set here reach every child that has not set its own;
    // lists, edits and grids draw with the Button and Base roles, which
    // stay the system's.
    QPalette p = window->palette();
    p.setColor(QPalette::Window, BackgroundColour());
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(180, 200, 215));
    window->setPalette(p);
    window->setAutoFillBackground(true);
    window->setFont(ProgramFont());

    for (QMenuBar *bar : window->findChildren<QMenuBar *>())
        StyleMenuBar(bar);
    for (QComboBox *list : window->findChildren<QComboBox *>())
        StyleList(list);
    for (QGroupBox *box : window->findChildren<QGroupBox *>()) {
        if (!box->property(kPaintedProperty).toBool())
            StyleGroupBox(box);
    }
}

void SetTextColour(QWidget *control, const QColor &colour)
{
    if (!control)
        return;
    QPalette p = control->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    control->setPalette(p);
}

void StyleGroupBox(QGroupBox *box, const QColor &border)
{
    if (!box)
        return;
    box->setProperty(kBorderProperty, border.isValid() ? border : QColor(255, 255, 255, 150));
    if (!box->property(kPaintedProperty).toBool()) {
        box->setProperty(kPaintedProperty, true);
        box->installEventFilter(new GroupBoxPainter(box));
    }
    box->update();
}

void StyleLogPanel(QPlainTextEdit *memo)
{
    if (!memo)
        return;
    QPalette p = memo->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, Qt::black);
        p.setColor(g, QPalette::Text, Qt::white);
    }
    memo->setPalette(p);
    memo->setFont(ProgramFont(10, true));
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void StyleDataGrid(QTableView *grid, const QColor &titleText)
{
    if (!grid)
        return;
    grid->setShowGrid(true);
    grid->setPalette(PlainPalette());
    grid->setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(255, 128, 0); }"
                                       "QHeaderView::section { background-color: rgb(0, 128, 255);"
                                       " color: %1; border: 0px; border-right: 1px solid"
                                       " rgb(255, 128, 0); border-bottom: 1px solid"
                                       " rgb(255, 128, 0); padding: 2px; }"
                                       "QTableCornerButton::section { background-color:"
                                       " rgb(0, 128, 255); border: 0px; }")
                            .arg(Rgb(titleText)));
}

QPixmap StatusBarPicture()
{
    InitLookResources();
    return QPixmap(QStringLiteral(":/mc/look/statusbar.png"));
}

void StyleChannelButton(QPushButton *button)
{
    if (!button)
        return;
    const QColor face = HighlightColour();
    const QColor lime = Lime();
    // Equal specificity: the later rule wins, so the lime rules come last.
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: white;"
                       " border: 1px solid %2; border-radius: 2px; padding: 1px; }"
                       "QPushButton:hover { background-color: %3; }"
                       "QPushButton:pressed { background-color: %4; }"
                       "QPushButton[%5=\"true\"] { background-color: %6; border-color: %7; }"
                       "QPushButton[%5=\"true\"]:hover { background-color: %8; }"
                       "QPushButton[%5=\"true\"]:pressed { background-color: %7; }")
            .arg(Rgb(face), Rgb(face.darker(150)), Rgb(face.lighter(120)),
                 Rgb(face.darker(115)), QLatin1String(kLimeProperty), Rgb(lime),
                 Rgb(lime.darker(140)), Rgb(QColor(110, 255, 110))));
    button->setCursor(Qt::PointingHandCursor);
    if (!button->property(kLimeProperty).isValid())
        button->setProperty(kLimeProperty, false);
}

void SetChannelButtonLime(QPushButton *button, bool lime)
{
    if (!button || IsChannelButtonLime(button) == lime)
        return;
    button->setProperty(kLimeProperty, lime);
    // A style sheet reads dynamic properties when it polishes the button.
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();
}

bool IsChannelButtonLime(const QPushButton *button)
{
    return button && button->property(kLimeProperty).toBool();
}

} // namespace mc::ui
