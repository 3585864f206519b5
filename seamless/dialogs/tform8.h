#pragma once
// Login dialog that guards the seamless-matrix settings: the installer types
// the access code; a wrong code is reported and the dialog stays open for
// another try, as often as needed.
#include <QDialog>

class QAbstractButton;
class QLabel;
class QLineEdit;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    // The fixed access code of the seamless-matrix settings.
    static const QString kAccessCode;

    explicit TForm8(QWidget *parent = nullptr);

    // "确 定(&O)": closes with OK when the typed text is exactly the code;
    // otherwise warns, keeps the text and gives the focus back to the edit.
    void RzBmpButton5Click();

    QWidget *Panel1 = nullptr;
    QLabel *Label5 = nullptr;               // "密码"
    QLineEdit *Edit1 = nullptr;             // the code, masked
    QLabel *Label7 = nullptr;               // red warning
    QAbstractButton *RzBmpButton5 = nullptr; // "确 定(&O)"
    QAbstractButton *RzBmpButton1 = nullptr; // "取 消(&C)"
};
