#pragma once
// Matrix ID dialog: sends a new device ID to the matrix and tells the
// operator that it takes effect after the matrix is powered up again.
#include <QDialog>

#include "ui/sendfunction.h"

class QAbstractButton;
class QLabel;
class QLineEdit;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    using SendFunction = mc::ui::SendFunction;

    // send: the main window's send path.
    explicit TForm3(SendFunction send, QWidget *parent = nullptr);

    // "设 置(&O)": refuses a blank ID; otherwise sends "DYT" with the ID's
    // first two bytes, tells the operator and closes with OK.
    void RzBmpButton5Click();

    QLabel *Label3 = nullptr;              // "矩阵ID"
    QLineEdit *bsSkinEdit2 = nullptr;      // the new ID
    QLabel *Label1 = nullptr;              // "如01", red
    QAbstractButton *RzBmpButton5 = nullptr;   // "设 置(&O)"
    QAbstractButton *RzBmpButton1 = nullptr;   // "取 消(&C)"

private:
    SendFunction m_send;
};
