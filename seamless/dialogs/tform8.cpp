#include "seamless/dialogs/tform8.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>

#include "seamless/dialogs/dialogwindow.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"
#include "ui/messages.h"

const QString TForm8::kAccessCode = QStringLiteral("739150");

TForm8::TForm8(QWidget *parent) : QDialog(parent, mc::seamless::FixedDialogFlags())
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("登录"));
    setFixedSize(448, 159);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 448, 159);

    Label5 = mc::seamless::AddLabel(Panel1, QStringLiteral("Label5"), QStringLiteral("密码"), 88, 39);

    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(127, 35, 172, 21);
    Edit1->setEchoMode(QLineEdit::Password);
    // Every typed character shows as "*".
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    Label7 = mc::seamless::AddLabel(Panel1, QStringLiteral("Label7"),
                                    QStringLiteral("此项由专业人员设置，请谨慎修改！"), 143, 72);

    RzBmpButton5 = mc::ui::AddBitmapButton(Panel1, QStringLiteral("RzBmpButton5"), QStringLiteral("确 定(&O)"), {183, 91});
    RzBmpButton1 = mc::ui::AddBitmapButton(Panel1, QStringLiteral("RzBmpButton1"), QStringLiteral("取 消(&C)"), {281, 91});

    mc::ui::ApplyWindowLook(this);
    mc::seamless::FitLabel(Label5);
    Label7->setFont(mc::ui::ProgramFont(8, true));
    mc::ui::SetTextColour(Label7, Qt::red);
    Label7->setGeometry(143, 72, 266, Label7->sizeHint().height());

    connect(RzBmpButton5, &QAbstractButton::clicked, this, [this] { RzBmpButton5Click(); });
    connect(RzBmpButton1, &QAbstractButton::clicked, this, &QDialog::reject);

    move(353, 210);
    Edit1->setFocus();
}

void TForm8::RzBmpButton5Click()
{
    if (Edit1->text() == kAccessCode) {
        accept();
        return;
    }
    mc::ui::ShowWarning(this, QStringLiteral("提示"), QStringLiteral("密码不正确！"));
    Edit1->setFocus();
}
