#pragma once
// Channel parameter dialog of the seamless matrix: control priority for all
// cards, display mode and signal of an input card, display mode, resolution
// and HD output signal of an output card. Each "设  置" button sends its
// configuration frame, waits, and sends the follow-up block to the same
// cards. Nothing is read back, so every opening starts at the defaults.
#include <QDialog>

#include "seamless/dialogs/dialogwindow.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class TTongdao : public QDialog {
    Q_OBJECT
public:
    explicit TTongdao(mc::seamless::SendFunction send, QWidget *parent = nullptr);

    // The six "设  置" buttons. The channel is the selected entry's position
    // in its list plus one; a channel a frame cannot address is refused with
    // a warning before anything of the sequence is sent.
    void Button1Click(); // input selection
    void Button2Click(); // input display mode
    void Button3Click(); // output display mode
    void Button4Click(); // output resolution
    void Button5Click(); // control priority, all cards
    void Button6Click(); // HD card output signal

    // Sends the follow-up block to `channel` (0 = all cards) on the given
    // sides: 1 input cards, 2 output cards (then 1.5 s pause), 3 both.
    void SendFollowUp(unsigned channel, int sides);

    QWidget *Panel1 = nullptr;
    QLabel *Label6 = nullptr;
    QRadioButton *RzRadioButton1 = nullptr;   // "串口优先"
    QRadioButton *RzRadioButton2 = nullptr;   // "拔码优先"
    QPushButton *Button5 = nullptr;
    QLabel *Label7 = nullptr;
    QPushButton *bsSkinButton2 = nullptr;     // "关闭&C"

    QGroupBox *RzGroupBox2 = nullptr;         // "输入通道"
    QLabel *Label9 = nullptr;
    QComboBox *bsSkinComboBox1 = nullptr;     // input channels
    QLabel *Label5 = nullptr;
    QRadioButton *RzRadioButton3 = nullptr;   // "自动选择"
    QRadioButton *RzRadioButton4 = nullptr;   // "强制全屏"
    QPushButton *Button2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *bsSkinComboBox3 = nullptr;     // input signal
    QPushButton *Button1 = nullptr;
    QLabel *Label4 = nullptr;

    QGroupBox *RzGroupBox1 = nullptr;         // "输出通道"
    QLabel *Label10 = nullptr;
    QComboBox *bsSkinComboBox2 = nullptr;     // output channels
    QLabel *Label11 = nullptr;
    QRadioButton *RzRadioButton5 = nullptr;   // "自动选择"
    QRadioButton *RzRadioButton6 = nullptr;   // "强制全屏"
    QPushButton *Button3 = nullptr;
    QLabel *Label12 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *bsSkinComboBox4 = nullptr;     // output resolution
    QPushButton *Button4 = nullptr;
    QWidget *RzPanel1 = nullptr;
    QLabel *Label8 = nullptr;
    QRadioButton *RzRadioButton7 = nullptr;   // "强制为HDMI"
    QRadioButton *RzRadioButton8 = nullptr;   // "强制为DVI"
    QPushButton *Button6 = nullptr;

private:
    void CreateControls();
    // One frame and its pause, then the follow-up, for one card's setting.
    void SendCardSetting(bool input, unsigned channel, const char *block);
    void Send(const QByteArray &frame);

    mc::seamless::SendFunction m_send;
};
