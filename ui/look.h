#pragma once
// The program's look: colours, fonts and the styling every window shares.
//
// A window builds its controls, then calls ApplyWindowLook once. The colours
// and the font travel through the window's palette and font, so controls
// added later (channel buttons) inherit them; the per-control settings
// (fixed drop-down lists, group box titles, the menu bar) apply to the
// controls that exist at the call.
#include <QColor>
#include <QFont>
#include <QPixmap>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace mc::ui {

// Window and panel background: RGB 0, 105, 155.
QColor BackgroundColour();
// Marks the selected input and the outputs routed from it: RGB 0, 255, 0.
QColor Lime();
// Caption colour of the bitmap buttons: RGB 242, 242, 242.
QColor ButtonTextColour();
// The window system's selection colour, taken from the application palette.
QColor HighlightColour();

// The program font: a sans-serif face that has Chinese glyphs.
QFont ProgramFont(int pointSize = 8, bool bold = false);

// Background colour, program font, white labels, radio buttons and check
// boxes; group boxes with a white bold title; every drop-down list fixed (no
// typing) with eight rows when dropped down; a menu bar exactly 22 px high
// in a light face of its own.
void ApplyWindowLook(QWidget *window);

// The frame of the setup dialogs: a caption with a close button, and a fixed
// size unless `sizeable`.
Qt::WindowFlags DialogFlags(bool sizeable = false);

// Text colour of one control (labels that are red or black on a window).
// It wins over the window look whether it is set before or after it.
void SetTextColour(QWidget *control, const QColor &colour);

// Group box with a bold title in the window's text colour (white under the
// window look) and a one-pixel border; an invalid colour gives the default
// light border. ApplyWindowLook calls it with the default for every group
// box it finds. The box's controls keep the window's palette and font.
void StyleGroupBox(QGroupBox *box, const QColor &border = QColor());

// The log panel: black background, white bold 10 pt text, read-only, a
// vertical scroll bar always shown.
void StyleLogPanel(QPlainTextEdit *memo);

// The channel names grid: title area RGB 0, 128, 255 with the given title
// text colour, cell lines RGB 255, 128, 0.
void StyleDataGrid(QTableView *grid, const QColor &titleText);

// The status bar picture, stretched to the window's width by its user.
QPixmap StatusBarPicture();

// Channel buttons of the routing panel: white text on the highlight colour,
// lime when marked, a lighter face under the mouse pointer.
void StyleChannelButton(QPushButton *button);
void SetChannelButtonLime(QPushButton *button, bool lime);
bool IsChannelButtonLime(const QPushButton *button);

// Makes the look's images available; the bitmap buttons call it.
void InitLookResources();

} // namespace mc::ui
