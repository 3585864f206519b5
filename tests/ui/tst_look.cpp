// The program's look as the operator sees it: colours and sizes are checked
// on grabbed pixels, so a style that is set but not drawn shows up here.
#include <QAbstractItemView>
#include <QComboBox>
#include <QEnterEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>

#include "tests/support/testsupport.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"

using namespace mc::ui;

namespace {

QImage Grab(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool Near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// True when some pixel of the image is within `tolerance` of `colour`.
bool HasPixelNear(const QImage &image, const QColor &colour, int tolerance = 24)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Near(image.pixelColor(x, y), colour, tolerance))
                return true;
    return false;
}

QColor Middle(const QImage &image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestLook : public QObject {
    Q_OBJECT
private slots:
    void labelTextColour_data();
    void labelTextColour();
    void controlsOnBackground();
    void menuBarHeight();
    void dropDownLists();
    void logPanel();
    void programFont_data();
    void programFont();
    void bitmapButton();
    void channelButtonColour_data();
    void channelButtonColour();
    void channelButtonHover();
};

void TestLook::labelTextColour_data()
{
    QTest::addColumn<QColor>("own");
    QTest::addColumn<bool>("ownFirst");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("plain label is white") << QColor() << false << QColor(Qt::white);
    QTest::newRow("red set before the look") << QColor(Qt::red) << true << QColor(Qt::red);
    QTest::newRow("black set after the look") << QColor(Qt::black) << false << QColor(Qt::black);
}

void TestLook::labelTextColour()
{
    QFETCH(QColor, own);
    QFETCH(bool, ownFirst);
    QFETCH(QColor, expected);

    QWidget window;
    window.resize(200, 60);
    auto *label = new QLabel(QStringLiteral("输入通道"), &window);
    label->setGeometry(10, 10, 120, 20);
    if (own.isValid() && ownFirst)
        SetTextColour(label, own);
    ApplyWindowLook(&window);
    if (own.isValid() && !ownFirst)
        SetTextColour(label, own);

    const QImage image = Grab(&window);
    QCOMPARE(image.pixelColor(2, 2), BackgroundColour());
    const QImage text = image.copy(label->geometry());
    QVERIFY2(HasPixelNear(text, expected), "label text not drawn in its colour");
    if (expected != QColor(Qt::white))
        QVERIFY2(!HasPixelNear(text, Qt::white, 40), "the window's white overrides the label");
}

void TestLook::controlsOnBackground()
{
    QWidget window;
    window.resize(300, 160);
    auto *radio = new QRadioButton(QStringLiteral("音视频"), &window);
    radio->setGeometry(10, 10, 80, 17);
    auto *box = new QGroupBox(QStringLiteral("一般调整"), &window);
    box->setGeometry(10, 40, 200, 100);
    auto *inner = new QLabel(QStringLiteral("亮度"), box);
    inner->setGeometry(20, 40, 60, 16);
    auto *edged = new QGroupBox(QStringLiteral("输入通道"), &window);
    edged->setGeometry(220, 40, 70, 100);
    StyleGroupBox(edged, QColor(128, 255, 0));
    ApplyWindowLook(&window);

    const QImage image = Grab(&window);
    QVERIFY2(HasPixelNear(image.copy(radio->geometry()).copy(20, 0, 60, 17), Qt::white),
             "radio button caption is not white");
    QVERIFY2(HasPixelNear(image.copy(box->x(), box->y(), box->width(), 14), Qt::white),
             "group box title is not white");
    QVERIFY2(!QFontInfo(inner->font()).bold(), "the bold title leaks into the box's controls");
    QVERIFY2(HasPixelNear(image.copy(box->geometry()).copy(inner->geometry()), Qt::white),
             "a label in a group box lost the window's white");
    // The border colour given to one box is kept by the window look.
    QVERIFY(Near(image.pixelColor(edged->x(), edged->y() + 60), QColor(128, 255, 0), 40));
}

void TestLook::menuBarHeight()
{
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("系统(&S)"))->addAction(QStringLiteral("基本设置"));
    window.menuBar()->addMenu(QStringLiteral("帮助(&H)"))->addAction(QStringLiteral("关于"));
    window.setCentralWidget(new QWidget);
    ApplyWindowLook(&window);
    window.resize(400, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.menuBar()->height(), 22);
    QCOMPARE(window.centralWidget()->geometry().top(), 22);
    // The bar keeps a face of its own with dark captions, not the window's blue.
    const QImage bar = Grab(window.menuBar());
    QVERIFY(!Near(bar.pixelColor(bar.width() - 5, 11), BackgroundColour(), 30));
    QVERIFY2(HasPixelNear(bar, Qt::black, 60), "menu captions not drawn dark on the bar");
    QCOMPARE(Grab(&window).pixelColor(200, 120), BackgroundColour());
}

void TestLook::dropDownLists()
{
    QWidget window;
    window.resize(300, 400);
    auto *typed = new QComboBox(&window);
    typed->setEditable(true);
    typed->setGeometry(10, 10, 120, 20);
    auto *list = new QComboBox(&window);
    list->setGeometry(10, 40, 120, 20);
    for (int i = 1; i <= 20; ++i)
        list->addItem(QStringLiteral("%1 通道").arg(i));
    ApplyWindowLook(&window);

    for (QComboBox *box : {typed, list}) {
        QVERIFY(!box->isEditable());
        QCOMPARE(box->maxVisibleItems(), 8);
    }

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    list->showPopup();
    QAbstractItemView *view = list->view();
    QTRY_VERIFY(view->isVisible());
    const int rowHeight = view->sizeHintForRow(0);
    QVERIFY(rowHeight > 0);
    QCOMPARE(view->viewport()->height() / rowHeight, 8);
    list->hidePopup();
}

void TestLook::logPanel()
{
    QWidget window;
    window.resize(360, 330);
    auto *memo = new QPlainTextEdit(&window);
    memo->setGeometry(10, 10, 345, 317);
    StyleLogPanel(memo);
    // The window's look comes after the panel's own, as in the main window.
    ApplyWindowLook(&window);
    memo->setPlainText(QStringLiteral("输入01->输出05"));

    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    const QFontInfo font(memo->font());
    QVERIFY(font.bold());
    QCOMPARE(font.pointSize(), 10);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(memo->verticalScrollBar()->isVisible());
    const QImage page = Grab(memo->viewport());
    QCOMPARE(page.pixelColor(page.width() - 5, page.height() - 5), QColor(Qt::black));
    QVERIFY2(HasPixelNear(page.copy(0, 0, page.width(), 30), Qt::white), "log text not white");
}

void TestLook::programFont_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("window font") << 8 << false;
    QTest::newRow("log panel") << 10 << true;
}

void TestLook::programFont()
{
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    const QFont font = ProgramFont(pointSize, bold);
    const QFontInfo info(font);
    QCOMPARE(info.pointSize(), pointSize);
    QCOMPARE(info.bold(), bold);
    const QFontMetrics metrics(font);
    for (char16_t c : {u'矩', u'阵', u'协', u'议', u'A'})
        QVERIFY2(metrics.inFont(QChar(c)), qPrintable(info.family() + " lacks a glyph"));
}

void TestLook::bitmapButton()
{
    QWidget window;
    window.resize(200, 60);
    auto *button = new BitmapButton(QStringLiteral("切  换"), &window);
    button->move(20, 20);
    QCOMPARE(button->size(), QSize(83, 24));
    QCOMPARE(button->sizeHint(), QSize(83, 24));
    QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage normal = Grab(button);
    QVERIFY2(HasPixelNear(normal, ButtonTextColour(), 12), "caption not in the button text colour");

    QEnterEvent enter(QPointF(10, 10), QPointF(30, 30), QPointF(30, 30));
    QApplication::sendEvent(button, &enter);
    QVERIFY(button->isHot());
    const QImage hot = Grab(button);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QCOMPARE(Grab(button), normal);

    button->setDown(true);
    const QImage pressed = Grab(button);
    button->setDown(false);

    QVERIFY2(normal != hot, "no picture under the mouse");
    QVERIFY2(normal != pressed, "no pressed picture");
    QVERIFY2(hot != pressed, "hot and pressed pictures alike");
    // Left of the caption, the picture differs from the window background:
    // the images were found in the resources.
    QVERIFY(!Near(normal.pixelColor(6, 12), BackgroundColour(), 10));

    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);

    button->setGeometry(429, 297, 83, 24);
    QCOMPARE(button->geometry(), QRect(429, 297, 83, 24));
}

void TestLook::channelButtonColour_data()
{
    QTest::addColumn<QList<bool>>("marks");
    QTest::addColumn<bool>("lime");
    QTest::newRow("plain") << QList<bool>{} << false;
    QTest::newRow("marked") << QList<bool>{true} << true;
    QTest::newRow("marked twice") << QList<bool>{true, true} << true;
    QTest::newRow("marked then cleared") << QList<bool>{true, false} << false;
}

void TestLook::channelButtonColour()
{
    QFETCH(QList<bool>, marks);
    QFETCH(bool, lime);

    QWidget panel;
    panel.resize(100, 140);
    ApplyWindowLook(&panel);
    // An empty caption leaves the middle of the face free; the second
    // button shows the caption colour.
    auto *button = new QPushButton(&panel);
    button->setGeometry(10, 10, 70, 60);
    auto *named = new QPushButton(QStringLiteral("3 DVD"), &panel);
    named->setGeometry(10, 75, 70, 60);
    for (QPushButton *b : {button, named}) {
        StyleChannelButton(b);
        QVERIFY(!IsChannelButtonLime(b));
        // Drawn once before the marks, as on screen before a click.
        QCOMPARE(Grab(b).pixelColor(35, 6), HighlightColour());
        for (bool mark : marks)
            SetChannelButtonLime(b, mark);
        QCOMPARE(IsChannelButtonLime(b), lime);
    }

    const QColor face = lime ? Lime() : HighlightColour();
    QCOMPARE(Middle(Grab(button)), face);
    const QImage captioned = Grab(named);
    QCOMPARE(captioned.pixelColor(35, 6), face);
    QVERIFY2(HasPixelNear(captioned, Qt::white, 30), "caption not white");
}

void TestLook::channelButtonHover()
{
    QWidget panel;
    panel.resize(200, 100);
    auto *plain = new QPushButton(&panel);
    plain->setGeometry(10, 10, 70, 60);
    auto *marked = new QPushButton(&panel);
    marked->setGeometry(100, 10, 70, 60);
    StyleChannelButton(plain);
    StyleChannelButton(marked);
    SetChannelButtonLime(marked, true);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    for (QPushButton *b : {plain, marked}) {
        const QColor before = Middle(Grab(b));
        QTest::mouseMove(b, QPoint(35, 30));
        QTRY_VERIFY(b->underMouse());
        const QColor lit = Middle(Grab(b));
        QVERIFY2(lit != before, "no change under the mouse");
        QVERIFY2(lit.lightness() >= before.lightness(), "face darker under the mouse");
    }
    QCOMPARE(IsChannelButtonLime(marked), true);
}

MC_TEST_MAIN(TestLook)
#include "tst_look.moc"
