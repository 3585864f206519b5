#include "setup/dialogs/tform5.h"

TForm5::TForm5(mc::TableView &outcap, QWidget *parent) : mc::NameEditor(parent, true)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("输出通道名称"));
    // Column titles in the default text colour; the frame can be resized.
    Build(outcap, QStringLiteral("outc"), QStringLiteral("输出通道号"), 75, 237, Qt::black, 354, 345);
}
