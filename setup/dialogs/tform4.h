#pragma once
// Input names editor: the names of the matrix's inputs, edited in place in
// the main window's own view of the incap table.
#include "setup/dialogs/nameeditor.h"

class TForm4 : public mc::NameEditor {
    Q_OBJECT
public:
    // incap: the main window's view of the input names (inc, cap).
    explicit TForm4(mc::TableView &incap, QWidget *parent = nullptr);
};
