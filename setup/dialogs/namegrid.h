#pragma once
// The grid of a channel name editor: two columns (channel number, name) over
// one of the main window's own name table views, not over a copy. The grid's
// current row is the view's current row: moving to another row first saves
// a pending name, and a typed name is a pending change to the view itself.
#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QVector>

namespace mc {
class TableView;
}

namespace mc {

// Table model over a name table view: column 0 the number column, column 1
// "cap". Rows are read once when the model is made (the editors never add
// or delete rows); a name set through the model goes into the view.
class NameGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // errorParent: the window an error box is shown over.
    NameGridModel(mc::TableView &view, const QString &numberColumn, const QStringList &titles,
                  QWidget *errorParent, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A new name starts (or continues) a pending change to that row; moving
    // there first saves a pending change of another row. A refused change
    // shows the error box and returns false.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    mc::TableView &view() const { return m_view; }

    // Makes row `row` the view's current row, saving a pending change first
    // (throws mc::Error when that save fails; nothing moves then).
    void GoToRow(int row);
    // Saves a pending change to an existing row (a pending new row is left
    // alone). Throws mc::Error when the save fails; the change stays pending.
    void SavePending();
    // Drops a pending change and shows the stored name again.
    void DropPending();
    bool HasPendingChange() const;

private:
    struct Row {
        QString number;
        QString name;
    };
    void RefreshCurrent();

    mc::TableView &m_view;
    QString m_numberColumn;
    QStringList m_titles;
    QPointer<QWidget> m_errorParent;
    QVector<Row> m_rows;
};

// The data grid of the name editors (RzDBGrid1): number column centred and
// read-only through the view's flag, names edited in place (double click or
// typing), 200 characters at most. Esc while a name change is pending and no
// cell is being edited drops that change.
class NameGrid : public QTableView {
    Q_OBJECT
public:
    NameGrid(mc::TableView &view, const QString &numberColumn, const QStringList &titles,
             const QList<int> &widths, const QColor &titleText, QWidget *parent = nullptr);


    // What the editor's close handler does: the text of a cell still being
    // edited goes into the view, then a pending change to an existing row is
    // saved. Throws mc::Error when the save fails.
    void SaveOnClose();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void CommitOpenEditor();
    void CurrentRowChanged(const QModelIndex &current, const QModelIndex &previous);

    NameGridModel *m_model = nullptr;
    QPointer<QWidget> m_openEditor;
    bool m_reverting = false;
};

} // namespace mc
