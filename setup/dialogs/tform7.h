#pragma once
// Mode names dialog: one name for each of the matrix's nine modes (presets),
// kept in the settings file's [modal] section as name1 to name9. The names
// only label the main window's preset list; nothing goes to the matrix.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QAbstractButton;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    // baseFolder: the folder holding the settings file.
    explicit TForm7(const QString &baseFolder, QWidget *parent = nullptr);

    // The edit of mode n (1 to 9), found by its name "Edit" + n.
    QLineEdit *ModeEdit(int n) const;

    // "确 定(&O)": writes all nine names, then closes with OK. A refused
    // write shows the error box and keeps the dialog open; the names written
    // before it stay written.
    void RzBmpButton5Click();

    QAbstractButton *RzBmpButton5 = nullptr;   // "确 定(&O)"
    QAbstractButton *RzBmpButton1 = nullptr;   // "取 消(&C)"

private:
    void FormCreate();

    QString m_baseFolder;
};
