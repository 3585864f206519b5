#include "setup/dialogs/nameeditor.h"

#include <QVBoxLayout>

#include "ui/look.h"
#include "ui/messages.h"

namespace mc {

NameEditor::NameEditor(QWidget *parent, bool sizeable)
    : QDialog(parent, mc::ui::DialogFlags(sizeable)),
      m_sizeable(sizeable)
{
}

void NameEditor::Build(mc::TableView &view, const QString &numberColumn, const QString &numberTitle,
                       int numberWidth, int nameWidth, const QColor &titleText, int width, int height)
{
    RzDBGrid1 = new NameGrid(view, numberColumn, {numberTitle, QStringLiteral("名  称")},
                             {numberWidth, nameWidth}, titleText, this);
    // The grid fills the whole client area.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RzDBGrid1);
    mc::ui::ApplyWindowLook(this);
    // The grid keeps its own colours.
    mc::ui::StyleDataGrid(RzDBGrid1, titleText);
    if (m_sizeable)
        resize(width, height);
    else
        setFixedSize(width, height);
}

void NameEditor::FormClose(bool &canClose)
{
    canClose = false;
    mc::ui::Guarded(this, [&] {
        RzDBGrid1->SaveOnClose();
        canClose = true;
    });
}

void NameEditor::done(int result)
{
    bool canClose = true;
    FormClose(canClose);
    if (canClose)
        QDialog::done(result);
}

} // namespace mc
