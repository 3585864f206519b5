#pragma once
// Image adjustment dialog of the seamless matrix: twenty buttons step the
// picture of one output card up or down (brightness, contrast, saturation,
// sharpness; gain and offset of red, green and blue). Each click sends one
// frame at once; the dialog keeps no values.
#include <QDialog>
#include <QString>

#include "seamless/dialogs/dialogwindow.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TTuXiang : public QDialog {
    Q_OBJECT
public:
    explicit TTuXiang(mc::seamless::SendFunction send, QWidget *parent = nullptr);

    // The shared click handler of the twenty buttons: sends the block of
    // button number `tag` (1 to 20) to the selected output card.
    void Button1Click(int tag);

    // The block text of button number k is entry k - 1.
    QString BlockTexts[20];

    QWidget *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *bsSkinComboBox1 = nullptr;   // output channels
    QGroupBox *RzGroupBox2 = nullptr;       // "一般调整"
    QGroupBox *RzGroupBox1 = nullptr;       // "色温调整"
    QPushButton *bsSkinButton2 = nullptr;   // "关闭&C"

private:
    void CreateControls();
    void FormCreate();
    QPushButton *AddStepButton(QWidget *parent, int number, int tag, int left, int top);

    mc::seamless::SendFunction m_send;
};
