// Menu handlers of the mode names, matrix ID and output polling dialogs.
#include <memory>

#include <QLineEdit>

#include "app/tform1.h"
#include "core/pause.h"
#include "protocol/commands.h"
#include "setup/dialogs/tform3.h"
#include "setup/dialogs/tform6.h"
#include "setup/dialogs/tform7.h"
#include "ui/messages.h"


// "设置机器ID" (hidden): after a confirmed ID the matrix is asked for it.
void TForm1::ID1Click()
{
    auto dialog = std::make_unique<TForm3>(SendPath(), this);
    dialog->bsSkinEdit2->setText(MatrixIdText);
    if (mc::ui::ExecDialog(dialog.get()) != QDialog::Accepted)
        return;
    MatrixIdText.clear();
    mc::Pause(200);
    SendCommand(mc::cmd::ReadMatrixId());
}

// "模式名称": the preset list shows the new names after OK.
void TForm1::N3Click()
{
    auto dialog = std::make_unique<TForm7>(BaseFolder(), this);
    if (mc::ui::ExecDialog(dialog.get()) == QDialog::Accepted)
        LoadPresetNames();
}

// "输出轮询控制" (hidden button).
void TForm1::RzBmpButton9Click()
{
    auto dialog = std::make_unique<TForm6>(SendPath(), this);
    mc::ui::ExecDialog(dialog.get());
}
