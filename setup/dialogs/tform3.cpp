#include "setup/dialogs/tform3.h"

#include <QLabel>
#include <QLineEdit>

#include "core/blanks.h"
#include "protocol/commands.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"
#include "ui/messages.h"

TForm3::TForm3(SendFunction send, QWidget *parent)
    : QDialog(parent, mc::ui::DialogFlags()),
      m_send(std::move(send))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("ID设置"));
    setFixedSize(363, 87);

    Label3 = new QLabel(QStringLiteral("矩阵ID"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(17, 36, 45, 13);
    bsSkinEdit2 = new QLineEdit(this);
    bsSkinEdit2->setObjectName(QStringLiteral("bsSkinEdit2"));
    bsSkinEdit2->setGeometry(64, 34, 83, 18);
    Label1 = new QLabel(QStringLiteral("如01"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(64, 64, 49, 13);
    RzBmpButton5 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton5"), QStringLiteral("设 置(&O)"), {175, 33});
    RzBmpButton1 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton1"), QStringLiteral("取 消(&C)"), {273, 33});

    mc::ui::ApplyWindowLook(this);
    mc::ui::SetTextColour(Label1, Qt::red);

    connect(RzBmpButton5, &QAbstractButton::clicked, this, [this] { RzBmpButton5Click(); });
    connect(RzBmpButton1, &QAbstractButton::clicked, this, &QDialog::reject);
}

void TForm3::RzBmpButton5Click()
{
    mc::ui::Guarded(this, [this] {
        const QString text = bsSkinEdit2->text();
        if (mc::IsBlank(text)) {
            mc::ui::ShowWarning(this, QStringLiteral("提示"), QStringLiteral("ID号不能为空"));
            return;
        }
        if (m_send)
            m_send(mc::cmd::SetMatrixId(text));
        mc::ui::ShowWarning(this, QStringLiteral("提示"), QStringLiteral("机器重新上电后才能生效"));
        accept();
    });
}
