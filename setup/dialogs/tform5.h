#pragma once
// Output names editor: the names of the matrix's outputs, edited in place in
// the main window's own view of the outcap table.
#include "setup/dialogs/nameeditor.h"

class TForm5 : public mc::NameEditor {
    Q_OBJECT
public:
    // outcap: the main window's view of the output names (outc, cap).
    explicit TForm5(mc::TableView &outcap, QWidget *parent = nullptr);
};
