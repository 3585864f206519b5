#include "setup/dialogs/namegrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QStyledItemDelegate>
#include <functional>

#include "core/error.h"
#include "setup/matrixdb.h"
#include "ui/look.h"
#include "ui/messages.h"

namespace mc {

namespace {

const QString kNameColumn = QStringLiteral("cap");
// The name column holds up to 200 characters.
constexpr int kMaxNameLength = 200;

// Creates the in-place line edit of a name cell and tells the grid about it,
// so a close of the editor window can commit what is typed.
class NameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    std::function<void(QWidget *)> onCreate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setMaxLength(kMaxNameLength);
        if (onCreate)
            onCreate(editor);
        return editor;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// NameGridModel

NameGridModel::NameGridModel(mc::TableView &view, const QString &numberColumn, const QStringList &titles,
                             QWidget *errorParent, QObject *parent)
    : QAbstractTableModel(parent), m_view(view), m_numberColumn(numberColumn), m_titles(titles),
      m_errorParent(errorParent)
{
    if (!m_view.IsOpen())
        return;
    // Read every row, then go back to the row the view was on: the grid
    // starts there.
    const int start = m_view.RecNo();
    for (m_view.First(); !m_view.Eof(); m_view.Next())
        m_rows.append({m_view.AsString(m_numberColumn), m_view.AsString(kNameColumn)});
    if (start >= 0 && start < m_rows.size())
        GoToRow(start);
}

int NameGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int NameGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 2; }

QVariant NameGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() == 0 ? row.number : row.name;
    case Qt::TextAlignmentRole:
        if (index.column() == 0)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant NameGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_titles.value(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}

Qt::ItemFlags NameGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const QString column = index.column() == 0 ? m_numberColumn : kNameColumn;
    if (!m_view.ReadOnly(column))
        f |= Qt::ItemIsEditable;
    return f;
}

bool NameGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_rows.size() || index.column() != 1)
        return false;
    if (m_view.ReadOnly(kNameColumn))
        return false;
    const QString text = value.toString();
    bool done = false;
    mc::ui::Guarded(m_errorParent, [&] {
        GoToRow(index.row());
        if (!m_view.Modified() && m_view.AsString(kNameColumn) == text) {
            done = true;   // nothing changed: no pending change either
            return;
        }
        m_view.Edit();
        m_view.SetString(kNameColumn, text);
        done = true;
    });
    RefreshCurrent();
    return done;
}

void NameGridModel::GoToRow(int row)
{
    if (row < 0 || row >= m_rows.size() || m_view.RecNo() == row)
        return;
    // The view only walks; First saves a pending change of the row it leaves.
    m_view.First();
    for (int k = 0; k < row && !m_view.Eof(); ++k)
        m_view.Next();
}

void NameGridModel::SavePending()
{
    if (m_view.Modified() && !m_view.Inserting())
        m_view.Post();
}

void NameGridModel::DropPending()
{
    if (!HasPendingChange())
        return;
    m_view.Cancel();
    RefreshCurrent();
}

bool NameGridModel::HasPendingChange() const { return m_view.Modified() && !m_view.Inserting(); }

// Shows the current row as the view holds it (with a pending change).
void NameGridModel::RefreshCurrent()
{
    const int row = m_view.RecNo();
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row] = {m_view.AsString(m_numberColumn), m_view.AsString(kNameColumn)};
    emit dataChanged(index(row, 0), index(row, 1));
}

// ---------------------------------------------------------------------------
// NameGrid

NameGrid::NameGrid(mc::TableView &view, const QString &numberColumn, const QStringList &titles,
                   const QList<int> &widths, const QColor &titleText, QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("RzDBGrid1"));
    m_model = new NameGridModel(view, numberColumn, titles, parent ? parent : this, this);
    auto *delegate = new NameDelegate(this);
    delegate->onCreate = [this](QWidget *editor) { m_openEditor = editor; };
    setItemDelegate(delegate);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(12);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < widths.size() && c < 2; ++c)
        setColumnWidth(c, widths[c]);
    mc::ui::StyleDataGrid(this, titleText);
    setToolTip(QStringLiteral("双击相应的单元格进入编辑状态"));

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &NameGrid::CurrentRowChanged);
    const int start = view.RecNo();
    if (start >= 0 && start < m_model->rowCount())
        setCurrentIndex(m_model->index(start, 1));
}

void NameGrid::CurrentRowChanged(const QModelIndex &current, const QModelIndex &)
{
    if (m_reverting || !current.isValid())
        return;
    bool moved = false;
    mc::ui::Guarded(parentWidget() ? parentWidget() : this, [&] {
        m_model->GoToRow(current.row());
        moved = true;
    });
    if (moved)
        return;
    // The pending change could not be saved: the grid stays on its row.
    const int row = m_model->view().RecNo();
    QMetaObject::invokeMethod(
        this,
        [this, row] {
            m_reverting = true;
            setCurrentIndex(m_model->index(row, 1));
            m_reverting = false;
        },
        Qt::QueuedConnection);
}

void NameGrid::CommitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState || !m_openEditor)
        return;
    QWidget *editor = m_openEditor;
    emit itemDelegate()->commitData(editor);
    emit itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void NameGrid::SaveOnClose()
{
    CommitOpenEditor();
    m_model->SavePending();
}

void NameGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && state() != QAbstractItemView::EditingState &&
        m_model->HasPendingChange()) {
        m_model->DropPending();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace mc
