#include "ui/messages.h"

#include <QDialog>

namespace mc::ui {

namespace {
MessageHook &hookSlot()
{
    static MessageHook hook;
    return hook;
}
DialogHook &dialogHookSlot()
{
    static DialogHook hook;
    return hook;
}
} // namespace

int ExecDialog(QDialog *dialog)
{
    if (dialogHookSlot())
        return dialogHookSlot()(dialog);
    return dialog->exec();
}

void SetDialogHook(DialogHook hook) { dialogHookSlot() = std::move(hook); }

QMessageBox::StandardButton ShowMessage(const MessageRequest &request)
{
    if (hookSlot())
        return hookSlot()(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

namespace {
void ShowWithIcon(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text)
{
    MessageRequest request;
    request.parent = parent;
    request.icon = icon;
    request.caption = caption;
    request.text = text;
    ShowMessage(request);
}
} // namespace

QString ErrorBoxCaption() { return QStringLiteral("错误"); }

void ShowErrorBox(QWidget *parent, const QString &text)
{
    ShowWithIcon(parent, QMessageBox::Critical, ErrorBoxCaption(), text);
}

void ShowWarning(QWidget *parent, const QString &caption, const QString &text)
{
    ShowWithIcon(parent, QMessageBox::Warning, caption, text);
}

void ShowPlain(QWidget *parent, const QString &caption, const QString &text)
{
    ShowWithIcon(parent, QMessageBox::NoIcon, caption, text);
}

void SetMessageHook(MessageHook hook) { hookSlot() = std::move(hook); }

} // namespace mc::ui
