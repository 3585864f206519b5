#pragma once
// What the input and the output names editors share: a dialog filled by one
// name grid, with no buttons of its own; closing it (frame button or Esc)
// saves a pending name first.
#include <QDialog>

#include "setup/dialogs/namegrid.h"

namespace mc {

class NameEditor : public QDialog {
    Q_OBJECT
public:
    NameGrid *RzDBGrid1 = nullptr;

    // Closing first saves a pending name (FormClose). When that save fails
    // the error box is shown and the editor stays open with the change
    // pending; Esc in the grid then drops it.
    void done(int result) override;

protected:
    NameEditor(QWidget *parent, bool sizeable);
    void Build(mc::TableView &view, const QString &numberColumn, const QString &numberTitle, int numberWidth,
               int nameWidth, const QColor &titleText, int width, int height);

private:
    void FormClose(bool &canClose);
    bool m_sizeable;
};

} // namespace mc
