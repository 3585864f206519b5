#pragma once
// Basic settings dialog: how the program reaches the matrix (serial port or
// network, the port, the address) and the matrix's size. The dialog only
// edits and checks; the main window's handler fills it and stores the result.
#include <QDialog>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    // Selects the port entry equal to `com` (letter case ignored); with none
    // equal, nothing is selected and the list shows no text.
    void SelectPort(const QString &com);
    // The link kind list shows "串口" for 0 and "网络" for any other value,
    // since every non-zero link kind selects the network.
    void SelectLinkKind(int kind);

    // "确 定(&O)": checks the two counts and closes with OK when they pass.
    void RzBmpButton5Click();

    // Serial devices of the machine offered after COM1..COM20: USB serial
    // adapters (ttyUSB*, ttyACM*) in `deviceFolder`, by their short names,
    // in number order. Nothing is opened.
    static QStringList SerialAdapters(const QString &deviceFolder = QStringLiteral("/dev"));

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *bsSkinComboBox1 = nullptr;   // serial port
    QComboBox *bsSkinComboBox2 = nullptr;   // link kind: "串口", "网络"
    QLineEdit *bsSkinEdit1 = nullptr;       // inputs
    QLineEdit *bsSkinEdit2 = nullptr;       // outputs
    QLineEdit *bsSkinEdit3 = nullptr;       // matrix address
    QAbstractButton *RzBmpButton5 = nullptr;   // "确 定(&O)"
    QAbstractButton *RzBmpButton1 = nullptr;   // "取 消(&C)"

private:
    void FormCreate();
};
