// Menu handlers of the basic settings dialog and the channel name editors.
#include <QComboBox>
#include <QLineEdit>
#include <memory>

#include "app/tform1.h"
#include "setup/dialogs/tform2.h"
#include "setup/dialogs/tform4.h"
#include "setup/dialogs/tform5.h"
#include "setup/inifile.h"
#include "setup/matrixdb.h"
#include "setup/settings.h"
#include "ui/messages.h"

// "基本设置": the link and the matrix size. Stores the settings file keys
// first, then the swset row, keeps the name tables in step and reopens the
// link; a changed size ends the program, since the routing panel is built
// only at start-up. An error at any step ends the handler there: what was
// written before it stays written.
void TForm1::dddd1Click()
{
    mc::TableView &swset = ADOQuery1();
    swset.First();
    const int oldInputs = swset.AsInteger(QStringLiteral("incount"));
    const int oldOutputs = swset.AsInteger(QStringLiteral("outcount"));

    {
        auto dialog = std::make_unique<TForm2>(this);
        dialog->SelectPort(swset.AsString(QStringLiteral("com")));
        dialog->bsSkinEdit1->setText(swset.AsString(QStringLiteral("incount")));
        dialog->bsSkinEdit2->setText(swset.AsString(QStringLiteral("outcount")));
        dialog->SelectLinkKind(mc::settings::ReadLinkKind(BaseFolder()));
        dialog->bsSkinEdit3->setText(mc::settings::ReadNetworkAddress(BaseFolder()));
        if (mc::ui::ExecDialog(dialog.get()) == QDialog::Accepted) {
            const int kind = dialog->bsSkinComboBox2->currentIndex();
            mc::settings::WriteLinkKind(BaseFolder(), kind);
            SetLinkKind(kind);
            mc::settings::WriteNetworkAddress(BaseFolder(), dialog->bsSkinEdit3->text());
            swset.Edit();
            swset.SetString(QStringLiteral("com"), dialog->bsSkinComboBox1->currentText());
            swset.SetString(QStringLiteral("incount"), dialog->bsSkinEdit1->text());
            swset.SetString(QStringLiteral("outcount"), dialog->bsSkinEdit2->text());
            swset.Post();
            mc::SyncNameRows(ADOConnection1);
            Link().OpenLink();
        }
    }

    if (swset.AsInteger(QStringLiteral("incount")) != oldInputs ||
        swset.AsInteger(QStringLiteral("outcount")) != oldOutputs) {
        mc::ui::ShowWarning(this, QStringLiteral("系统提示"),
                            QStringLiteral("1.对输入或输出数进行更改，必须重启软件，才能生效； 2.软件将自动关闭，请重新打开！！！"));
        close();
    }
}

// "输入通道名称": names are edited straight into the incap view; the input
// side of the routing panel shows them afterwards.
void TForm1::N1Click()
{
    {
        auto dialog = std::make_unique<TForm4>(ADOQuery2(), this);
        mc::ui::ExecDialog(dialog.get());
    }
    BuildInputButtons();
}

// "输出通道名称": the same for the outputs.
void TForm1::N2Click()
{
    {
        auto dialog = std::make_unique<TForm5>(ADOQuery3(), this);
        mc::ui::ExecDialog(dialog.get());
    }
    BuildOutputButtons();
}
