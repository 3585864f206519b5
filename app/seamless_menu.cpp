// Menu handlers of the seamless matrix, behind the access code.
#include <QComboBox>
#include <memory>

#include "app/tform1.h"
#include "seamless/dialogs/dialogwindow.h"
#include "seamless/dialogs/tform8.h"
#include "seamless/dialogs/ttongdao.h"
#include "seamless/dialogs/ttuxiang.h"
#include "ui/messages.h"

namespace {

// Asks for the access code; true when the installer gave it.
bool AccessGranted(TForm1 *owner)
{
    auto login = std::make_unique<TForm8>(owner);
    return mc::ui::ExecDialog(login.get()) == QDialog::Accepted;
}

} // namespace

void TForm1::N5Click()
{
    if (!AccessGranted(this))
        return;
    auto dialog = std::make_unique<TTuXiang>(SendPath(), this);
    mc::seamless::CopyChannelList(bsSkinComboBox2, dialog->bsSkinComboBox1);
    mc::ui::ExecDialog(dialog.get());
}

void TForm1::N6Click()
{
    if (!AccessGranted(this))
        return;
    auto dialog = std::make_unique<TTongdao>(SendPath(), this);
    mc::seamless::CopyChannelList(bsSkinComboBox1, dialog->bsSkinComboBox1);
    mc::seamless::CopyChannelList(bsSkinComboBox2, dialog->bsSkinComboBox2);
    mc::ui::ExecDialog(dialog.get());
}
