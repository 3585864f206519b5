#pragma once
// A button drawn from three pictures (normal, pressed, under the mouse)
// with a centred caption, as used for every action button of the program.
#include <QAbstractButton>
#include <QPixmap>

namespace mc::ui {

class BitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    // 83 x 24, hand cursor, caption in RGB 242, 242, 242 with the program
    // font. A caption may carry a "&" mnemonic ("确 定(&O)").
    explicit BitmapButton(const QString &caption, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // True while the mouse pointer is over the button.
    bool isHot() const { return m_hot; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPixmap m_normal;
    QPixmap m_pressed;
    QPixmap m_hotImage;
    bool m_hot = false;
};

// A named bitmap button with its top-left corner at `at` on `parent`.
BitmapButton *AddBitmapButton(QWidget *parent, const QString &name, const QString &caption, QPoint at);

} // namespace mc::ui
