#include "seamless/dialogs/dialogwindow.h"

#include <QComboBox>
#include <QLabel>

#include "ui/messages.h"

namespace mc::seamless {

Qt::WindowFlags FixedDialogFlags()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
}

QLabel *AddLabel(QWidget *parent, const QString &name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    FitLabel(label);
    return label;
}

void FitLabel(QLabel *label) { label->resize(label->sizeHint()); }

QComboBox *AddChannelList(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(left, top, width, 20);
    list->addItem(QStringLiteral("所有屏"));
    return list;
}

void CopyChannelList(const QComboBox *from, QComboBox *to)
{
    to->clear();
    for (int i = 0; i < from->count(); ++i)
        to->addItem(from->itemText(i));
    to->setCurrentIndex(to->count() > 0 ? 0 : -1);
}

unsigned ChannelOf(const QComboBox *list)
{
    const int index = list->currentIndex();
    return index < 0 ? 0u : unsigned(index) + 1u;
}

QString UnaddressableChannelText() { return QStringLiteral("无缝矩阵设置只能用于通道1至72!"); }

bool CheckAddressable(QWidget *parent, unsigned channel)
{
    // Channel 0 would address every card of the side; it only comes from an
    // empty list here, so it is refused too, with its own reason.
    if (channel >= 1 && channel <= kMaxAddressableChannel)
        return true;
    mc::ui::ShowWarning(parent, QStringLiteral("提示"),
                        channel == 0 ? QStringLiteral("没有可设置的通道!") : UnaddressableChannelText());
    return false;
}

} // namespace mc::seamless
