#include "setup/dialogs/tform4.h"

TForm4::TForm4(mc::TableView &incap, QWidget *parent) : mc::NameEditor(parent, false)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("输入通道名称"));
    Build(incap, QStringLiteral("inc"), QStringLiteral("输入通道号"), 77, 235, Qt::white, 353, 299);
}
