#pragma once
// Output polling dialog: sets the interval at which the matrix cycles its
// outputs and switches polling on or off for one output or all of them. The
// matrix does the polling; nothing here is stored.
#include <QDialog>

#include "ui/sendfunction.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    using SendFunction = mc::ui::SendFunction;

    // send: the main window's send path.
    explicit TForm6(SendFunction send, QWidget *parent = nullptr);

    // The output chosen in the list, 1 to 72.
    int SelectedOutput() const;

    void RzBmpButton1Click();       // "设置轮询时间"
    void RzBmpButton5Click();       // "打开n轮询": polling on for the chosen output
    void RzBmpButton2Click();       // "关闭n轮询": polling off for the chosen output
    void RzBmpButton3Click();       // "打开所有轮询"
    void RzBmpButton4Click();       // "关闭所有轮询"
    void bsSkinComboBox1Change();   // the two single-output captions follow the list

    QLabel *Label2 = nullptr;              // "间隔时间(秒)"
    QLineEdit *bsSkinEdit1 = nullptr;      // interval in seconds
    QLabel *Label1 = nullptr;              // "输出通道"
    QComboBox *bsSkinComboBox1 = nullptr;  // outputs "1" to "72"
    QAbstractButton *RzBmpButton1 = nullptr;
    QAbstractButton *RzBmpButton5 = nullptr;
    QAbstractButton *RzBmpButton2 = nullptr;
    QAbstractButton *RzBmpButton3 = nullptr;
    QAbstractButton *RzBmpButton4 = nullptr;
    QAbstractButton *RzBmpButton6 = nullptr;   // "关闭窗口"

private:
    void send(const QByteArray &command);
    void tell(const QString &text);

    SendFunction m_send;
};
