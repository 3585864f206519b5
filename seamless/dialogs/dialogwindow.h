#pragma once
// Pieces the seamless-matrix dialogs share: their window frame, labels placed
// at a point and sized to their text, the channel taken from a list, and the
// check that a channel can be addressed by a configuration frame.
#include <QByteArray>
#include <QString>
#include <Qt>

#include "ui/sendfunction.h"

class QComboBox;
class QLabel;
class QWidget;

namespace mc::seamless {

// Where a dialog hands its frames: the main window's send path.
using SendFunction = mc::ui::SendFunction;

// The address field of a frame has one bit for each of channels 1 to 72.
inline constexpr unsigned kMaxAddressableChannel = 72;

// A fixed-size dialog with a title and no caption buttons.
Qt::WindowFlags FixedDialogFlags();

// A label with its top-left corner at (left, top), sized to its text.
QLabel *AddLabel(QWidget *parent, const QString &name, const QString &text, int left, int top);

// Sizes a label to its text again after its font has changed.
void FitLabel(QLabel *label);

// A fixed drop-down list holding the design-time entry "所有屏".
QComboBox *AddChannelList(QWidget *parent, const QString &name, int left, int top, int width);

// Replaces the entries of `to` with those of `from` and selects the first.
void CopyChannelList(const QComboBox *from, QComboBox *to);

// The channel a list stands for: the selected entry's position plus one;
// 0 when nothing is selected.
unsigned ChannelOf(const QComboBox *list);

// True when `channel` (1 to 72) can be addressed. Otherwise tells the
// operator, in a warning box owned by `parent`, that seamless settings reach
// channels 1 to 72 only, and returns false: the caller sends nothing.
bool CheckAddressable(QWidget *parent, unsigned channel);

// The warning shown for a channel a frame cannot address.
QString UnaddressableChannelText();

} // namespace mc::seamless
