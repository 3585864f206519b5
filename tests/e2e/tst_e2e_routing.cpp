// The real program on a real (virtual) display against the virtual matrix:
// an operator clicks input 3 and then output 5 and the matrix receives the
// route; after a status reply, choosing an input shows its outputs in lime.
#include <QImage>

#include "tests/e2e/e2e.h"

namespace {

// Client positions of channel buttons in a 16 x 16 window: the routing panel
// starts at x 538 below the 22-pixel menu bar; 70-pixel-wide buttons, 60
// pixels high, four to a row with 5 pixels between, inputs from x 20 and
// outputs from x 360 of the panel, the first row at y 35.
QPoint ButtonCorner(bool input, int channel)
{
    const int k = channel - 1;
    const int x = 538 + (input ? 20 : 360) + (k % 4) * 75;
    const int y = 22 + 35 + (k / 4) * 65;
    return {x, y};
}

QPoint ButtonCentre(bool input, int channel) { return ButtonCorner(input, channel) + QPoint(35, 30); }

// A point of the button's face away from its caption.
QPoint ButtonFace(bool input, int channel) { return ButtonCorner(input, channel) + QPoint(6, 6); }

const QColor kLime(0, 255, 0);

class Screen {
public:
    explicit Screen(QString window, QString folder) : m_window(std::move(window)), m_folder(std::move(folder)) {}

    bool click(QPoint at) const { return e2e::Fixture::click(m_window, at.x(), at.y()); }

    // Parks the pointer over the log panel, so no channel button is lit by it.
    bool park() const
    {
        return e2e::Fixture::xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
                                  m_window, QStringLiteral("200"), QStringLiteral("300")});
    }

    QImage grab() const
    {
        const QString path = m_folder + QStringLiteral("/screen.png");
        QFile::remove(path);
        if (!e2e::Fixture::run(QStringLiteral("import"),
                               {QStringLiteral("-window"), m_window, path}))
            return {};
        return QImage(path);
    }

    bool lime(bool input, int channel) const
    {
        const QImage shot = grab();
        const QPoint at = ButtonFace(input, channel);
        return !shot.isNull() && shot.pixelColor(at) == kLime;
    }

private:
    QString m_window;
    QString m_folder;
};

} // namespace

class TestE2eRouting : public QObject {
    Q_OBJECT
private slots:
    void clickRouteAndSeeReply();
};

void TestE2eRouting::clickRouteAndSeeReply()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs a display (run under xvfb-run)");
    e2e::Fixture f;
    QVERIFY(f.startOnNetwork());
    const QString window = e2e::Fixture::waitForWindow(QStringLiteral("矩阵控制"));
    QVERIFY(!window.isEmpty());
    const Screen screen(window, f.dir.path());

    // At power-up the virtual matrix shows input n on output n. Once its
    // answer to the status query is in, the first input of the list is
    // chosen and lights up output 1; then input 3 lights up output 3.
    QVERIFY(screen.park());
    QTRY_VERIFY_WITH_TIMEOUT(screen.lime(false, 1), 10000);
    QVERIFY(screen.click(ButtonCentre(true, 3)));
    QVERIFY(screen.park());
    QTRY_VERIFY_WITH_TIMEOUT(screen.lime(false, 3), 10000);
    QVERIFY(screen.lime(true, 3));
    QVERIFY(!screen.lime(false, 5));

    // Input 3 is chosen; output 5 routes it.
    QVERIFY(screen.click(ButtonCentre(false, 5)));
    QTRY_VERIFY_WITH_TIMEOUT(f.find(QStringLiteral("CMD"), QStringLiteral("3*5!")).ms >= 0, 10000);

    // Choose another input, refresh the status, choose input 3 again: the
    // reply now holds 3 -> 5, and both of its outputs are lime on screen.
    QVERIFY(screen.click(ButtonCentre(true, 7)));
    QVERIFY(screen.park());
    QTRY_VERIFY_WITH_TIMEOUT(!screen.lime(false, 5), 10000);
    const int queriesBefore = f.count(QStringLiteral("CMD"), QStringLiteral("QUER00"));
    QVERIFY(screen.click(QPoint(427 + 41, 22 + 164 + 12))); // "刷新状态数据"
    QTRY_VERIFY_WITH_TIMEOUT(f.count(QStringLiteral("CMD"), QStringLiteral("QUER00")) > queriesBefore, 10000);
    QTest::qWait(500); // the reply follows the query at once
    QVERIFY(screen.click(ButtonCentre(true, 3)));
    QVERIFY(screen.park());
    QTRY_VERIFY_WITH_TIMEOUT(screen.lime(false, 5), 10000);
    QVERIFY(screen.lime(false, 3));
    QVERIFY(!screen.lime(false, 7));
    QCOMPARE(f.program.state(), QProcess::Running);
}

MC_TEST_MAIN(TestE2eRouting)
#include "tst_e2e_routing.moc"
