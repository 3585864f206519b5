#include "setup/dialogs/tform7.h"

#include <QLabel>
#include <QLineEdit>

#include "setup/settings.h"
#include "ui/bitmapbutton.h"
#include "ui/look.h"
#include "ui/messages.h"

TForm7::TForm7(const QString &baseFolder, QWidget *parent)
    : QDialog(parent, mc::ui::DialogFlags()),
      m_baseFolder(baseFolder)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Form7"));
    setFixedSize(677, 322);

    // Rows 1 to 9, alternately 28 and 29 pixels apart.
    static const int labelTops[9] = {32, 60, 89, 117, 146, 174, 203, 231, 260};
    static const int editTops[9] = {27, 55, 84, 112, 141, 170, 198, 227, 256};
    for (int n = 1; n <= 9; ++n) {
        auto *label = new QLabel(QStringLiteral("模式") + QString::number(n), this);
        label->setObjectName(QStringLiteral("Label") + QString::number(n));
        label->setGeometry(84, labelTops[n - 1], 36, 13);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit") + QString::number(n));
        edit->setGeometry(125, editTops[n - 1], 305, 21);
    }

    RzBmpButton5 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton5"), QStringLiteral("确 定(&O)"), {455, 251});
    RzBmpButton1 = mc::ui::AddBitmapButton(this, QStringLiteral("RzBmpButton1"), QStringLiteral("取 消(&C)"), {569, 251});

    mc::ui::ApplyWindowLook(this);

    connect(RzBmpButton5, &QAbstractButton::clicked, this, [this] { RzBmpButton5Click(); });
    connect(RzBmpButton1, &QAbstractButton::clicked, this, &QDialog::reject);

    FormCreate();
}

QLineEdit *TForm7::ModeEdit(int n) const
{
    return findChild<QLineEdit *>(QStringLiteral("Edit") + QString::number(n),
                                  Qt::FindDirectChildrenOnly);
}

void TForm7::FormCreate()
{
    const QStringList names = mc::settings::ReadModeNames(m_baseFolder);
    for (int n = 1; n <= names.size(); ++n) {
        if (QLineEdit *edit = ModeEdit(n))
            edit->setText(names.at(n - 1));
    }
}

void TForm7::RzBmpButton5Click()
{
    mc::ui::Guarded(this, [this] {
        // All nine, in order, changed or not; an empty name is written empty,
        // never removed.
        for (int n = 1; n <= 9; ++n) {
            if (QLineEdit *edit = ModeEdit(n))
                mc::settings::WriteModeName(m_baseFolder, n, edit->text());
        }
        accept();
    });
}
