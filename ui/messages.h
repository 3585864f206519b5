#pragma once
// Every message box of the program goes through ShowMessage, so tests can
// answer them; production shows a real modal QMessageBox.
#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace mc::ui {

struct MessageRequest {
    QWidget *parent = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using MessageHook = std::function<QMessageBox::StandardButton(const MessageRequest &)>;

QMessageBox::StandardButton ShowMessage(const MessageRequest &request);

// The standard error box: the error's own text with an error icon.
void ShowErrorBox(QWidget *parent, const QString &text);

// A warning box with an OK button.
void ShowWarning(QWidget *parent, const QString &caption, const QString &text);
// A message box without an icon, with an OK button.
void ShowPlain(QWidget *parent, const QString &caption, const QString &text);

// Caption of the standard error box.
QString ErrorBoxCaption();

// Tests answer message boxes here; an empty hook restores real boxes.
void SetMessageHook(MessageHook hook);

// Every modal dialog of the program is run through ExecDialog, so tests can
// fill and confirm it; production runs QDialog::exec().
int ExecDialog(QDialog *dialog);
using DialogHook = std::function<int(QDialog *)>;
void SetDialogHook(DialogHook hook);

// Runs one event handler's work; an error it throws ends the action and is
// shown in the standard error box, so no exception crosses the event loop.
template <class F>
void Guarded(QWidget *parent, F &&action);

} // namespace mc::ui

#include "core/error.h"

template <class F>
void mc::ui::Guarded(QWidget *parent, F &&action)
{
    mc::CatchAsMessage(std::forward<F>(action), [parent](const QString &message) { ShowErrorBox(parent, message); },
                       "Unknown exception");
}
