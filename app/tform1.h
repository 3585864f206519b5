#pragma once
// The main window: the program's one long-lived controller. It owns the
// matrix database and its three table views, the link layer with the serial
// port and the network client, and the routing panel, and it offers the one
// send path every command takes.
#include <QHash>
#include <QMainWindow>
#include <QString>

#include "link/linklayer.h"
#include "protocol/commands.h"
#include "setup/matrixdb.h"
#include "ui/messages.h"
#include "ui/sendfunction.h"

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QAbstractButton;
class QAction;
class QMenu;
class QWidget;
class Tmybtn;

class TForm1 : public QMainWindow, public mc::LinkLayerHost {
    Q_OBJECT
public:
    // baseFolder: where the program's files live (the executable's folder).
    explicit TForm1(const QString &baseFolder, QWidget *parent = nullptr);
    ~TForm1() override;

    const QString &BaseFolder() const { return m_baseFolder; }

    // Controller state.
    QString MatrixIdText;
    Tmybtn *SelectedInput = nullptr;
    Tmybtn *SelectedOutput = nullptr;
    int LinkKind() const { return m_link.LinkKind; }
    void SetLinkKind(int kind) { m_link.LinkKind = kind; }

    // Components.
    mc::MatrixDatabase ADOConnection1;
    mc::TableView &ADOQuery1() { return ADOConnection1.swset(); }
    mc::TableView &ADOQuery2() { return ADOConnection1.incap(); }
    mc::TableView &ADOQuery3() { return ADOConnection1.outcap(); }
    mc::LinkLayer &Link() { return m_link; }

    // Operations offered to the rest of the program.
    void SendCommand(const QByteArray &text) { m_link.SendCommand(text); }
    // The send path as handed to the dialogs that talk to the matrix.
    mc::ui::SendFunction SendPath() { return [this](const QByteArray &text) { SendCommand(text); }; }
    void OpenDatabase();
    void LoadPresetNames();
    void BuildInputButtons();
    void BuildOutputButtons();

    // Routing panel.
    Tmybtn *FindChannelButton(const QString &name) const;
    // Connects a signal to a handler through the error guard: whatever the
    // handler throws ends its action in the standard error box.
    template <class Sender, class Signal, class... Args>
    void ConnectGuarded(Sender *sender, Signal signal, void (TForm1::*handler)(Args...), Args... args);

    void InRzButtonClick(Tmybtn *button);
    void OutRzButtonClick(Tmybtn *button);
    void SendRoute(int input, int output);
    void LinkButtons(Tmybtn *input, Tmybtn *output);
    void bsSkinComboBox1Change();
    void RzBmpButton5Click();   // "切  换"
    void RzBmpButton2Click();   // "切到所有输出"
    void RzBmpButton3Click();   // "调用预案"
    void RzBmpButton4Click();   // "保存预案"
    void RzBmpButton1Click();   // "刷新状态数据"
    void N7Click();             // "关于"

    // Menu handlers that open the setup dialogs (setup_menu.cpp).
    void dddd1Click();          // "基本设置"
    void ID1Click();            // "设置机器ID" (hidden)
    void N1Click();             // "输入通道名称"
    void N2Click();             // "输出通道名称"
    void N3Click();             // "模式名称"
    void RzBmpButton9Click();   // "输出轮询控制" (hidden)
    // Menu handlers of the seamless matrix, behind the access code
    // (seamless_menu.cpp).
    void N5Click();             // "图像调整..."
    void N6Click();             // "通道设置.."

    // Status replies.
    void ParseStatusReply(const QString &text);

    // LinkLayerHost
    QString SerialPortName() override;
    QString NetworkAddress() override;
    void SetLinkLabel(const QString &text) override;
    void ShowSerialOpenFailed(const QString &portName) override;
    void DispatchReply(const QByteArray &text) override;
    void ShowUnhandledError(const QString &message) override;

    // Controls, named as the window names them.
    QWidget *Panel2 = nullptr;
    QWidget *Panel1 = nullptr;
    QRadioButton *RzRadioButton1 = nullptr;   // "音视频"
    QRadioButton *RzRadioButton2 = nullptr;   // "视频"
    QRadioButton *RzRadioButton3 = nullptr;   // "音频"
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *bsSkinComboBox1 = nullptr;
    QComboBox *bsSkinComboBox2 = nullptr;
    QComboBox *bsSkinComboBox3 = nullptr;
    QAbstractButton *RzBmpButton1 = nullptr;
    QAbstractButton *RzBmpButton2 = nullptr;
    QAbstractButton *RzBmpButton3 = nullptr;
    QAbstractButton *RzBmpButton4 = nullptr;
    QAbstractButton *RzBmpButton5 = nullptr;
    QAbstractButton *RzBmpButton9 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QFrame *Shape2 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QMenu *N4 = nullptr;          // "系统(&S)"
    QMenu *N8 = nullptr;          // "帮助(&H)"
    QMenu *N9 = nullptr;          // "无缝矩阵设置"
    QAction *dddd1 = nullptr;     // "基本设置"
    QAction *ID1 = nullptr;       // "设置机器ID" (hidden)
    QAction *N1 = nullptr;        // "输入通道名称"
    QAction *N2 = nullptr;        // "输出通道名称"
    QAction *N3 = nullptr;        // "模式名称"
    QAction *N5 = nullptr;        // "图像调整..."
    QAction *N6 = nullptr;        // "通道设置.."
    QAction *N7 = nullptr;        // "关于"

private:
    void CreateControls();
    void CreateMenu();
    void FormCreate();
    void BuildButtons(bool inputs);
    mc::cmd::Mode CheckedMode() const;
    void SetLime(Tmybtn *button, bool lime);
    bool IsLime(const Tmybtn *button) const;

    QString m_baseFolder;
    mc::LinkLayer m_link;
    // Channel buttons by lower-case name; buttons live as long as the window.
    QHash<QString, Tmybtn *> m_channelButtons;
};

// The one main window of the run, reachable by every dialog.
extern TForm1 *Form1;

template <class Sender, class Signal, class... Args>
void TForm1::ConnectGuarded(Sender *sender, Signal signal, void (TForm1::*handler)(Args...), Args... args)
{
    connect(sender, signal, this, [this, handler, args...] {
        mc::ui::Guarded(this, [&] { (this->*handler)(args...); });
    });
}
