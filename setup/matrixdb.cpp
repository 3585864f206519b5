#include "setup/matrixdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryFile>
#include <QUrl>
#include <QVector>
#include <algorithm>
#include <atomic>
#include <limits>

#include "core/error.h"
#include "core/strtoint.h"

namespace mc {

namespace {

const char kFileName[] = "mswdb.mdb";

// The engine's own message; Qt's composed text when the engine gave none.
QString EngineMessage(const QSqlError &error)
{
    const QString own = error.databaseText().trimmed();
    if (!own.isEmpty())
        return own;
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

QString NewConnectionName()
{
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("mc_matrixdb_%1").arg(++counter);
}

// A row removed from the file behind the view's back: the change is not
// lost silently.
const QString kRowGone = QStringLiteral(
    "Row cannot be located for updating. Some values may have been changed since it was last read.");

struct Column {
    QString name;
    bool integer = false;  // declared with an integer type; else text
    int maxLength = 0;     // characters a text column holds; 0: no limit
};

// Reads declared types ("INTEGER", "VARCHAR(200)") of a table's columns.
QHash<QString, Column> DeclaredColumns(QSqlDatabase &db, const QString &table)
{
    QHash<QString, Column> columns;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        throw Error(EngineMessage(q.lastError()));
    while (q.next()) {
        Column c;
        c.name = q.value(1).toString();
        const QString type = q.value(2).toString().toUpper();
        c.integer = type.contains(QLatin1String("INT"));
        const int open = type.indexOf(QLatin1Char('('));
        const int close = type.indexOf(QLatin1Char(')'), open + 1);
        // The port column holds device paths such as "/dev/ttyUSB0" or a
        // pty's path, longer than the ten characters a Windows port name
        // needed; its declared width is not enforced.
        const bool portColumn = c.name.compare(QLatin1String("com"), Qt::CaseInsensitive) == 0;
        if (!c.integer && !portColumn && open >= 0 && close > open) {
            bool ok = false;
            const int n = type.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
            if (ok && n > 0)
                c.maxLength = n;
        }
        columns.insert(c.name.toLower(), c);
    }
    return columns;
}

} // namespace

// ---------------------------------------------------------------------------
// TableView

struct TableView::Impl {
    enum class State { Browse, Edit, Insert };
    struct Row {
        qint64 rowid = 0;
        QVector<QVariant> values;  // invalid QVariant: NULL
    };

    QString table;
    QString orderColumn;          // empty: stored order
    QString connection;
    bool open = false;

    QVector<Column> columns;
    QVector<Row> rows;
    int cur = -1;
    bool eof = true;

    State state = State::Browse;
    Row pending;
    QSet<int> changed;            // columns set in the pending row
    int curBeforeInsert = -1;

    QSet<QString> readOnly;       // lower-case column names

    QSqlDatabase Db() const { return QSqlDatabase::database(connection, false); }

    void CheckOpen() const
    {
        if (!open)
            throw Error(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(table));
    }

    int ColumnIndex(const QString &name) const
    {
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(table, name));
    }


    const QVector<QVariant> *CurrentValues() const
    {
        if (state != State::Browse)
            return &pending.values;
        if (cur < 0 || cur >= rows.size())
            return nullptr;
        return &rows[cur].values;
    }

    void Load(QSqlDatabase &db)
    {
        QString sql = QStringLiteral("SELECT rowid AS mc_rowid, * FROM %1 ORDER BY ").arg(table);
        sql += orderColumn.isEmpty() ? QStringLiteral("rowid") : orderColumn + QStringLiteral(", rowid");
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw Error(EngineMessage(q.lastError()));
        const QHash<QString, Column> declared = DeclaredColumns(db, table);
        const QSqlRecord record = q.record();
        QVector<Column> cols;
        for (int i = 1; i < record.count(); ++i) {
            Column c = declared.value(record.fieldName(i).toLower());
            c.name = record.fieldName(i);
            cols.append(c);
        }
        QVector<Row> loaded;
        while (q.next()) {
            Row r;
            r.rowid = q.value(0).toLongLong();
            r.values.resize(cols.size());
            for (int i = 0; i < cols.size(); ++i)
                if (!q.isNull(i + 1))
                    r.values[i] = q.value(i + 1);
            loaded.append(r);
        }
        if (q.lastError().isValid())
            throw Error(EngineMessage(q.lastError()));
        columns = cols;
        rows = loaded;
        cur = rows.isEmpty() ? -1 : 0;
        eof = rows.isEmpty();
        ClearPending();
        open = true;
    }

    void Close()
    {
        open = false;
        rows.clear();
        columns.clear();
        cur = -1;
        eof = true;
        ClearPending();
    }

    // Back to browsing, with no pending change.
    void ClearPending()
    {
        state = State::Browse;
        changed.clear();
        pending = Row();
    }

    void DropPending()
    {
        if (state == State::Insert)
            cur = curBeforeInsert;
        ClearPending();
    }

    // Before the current row moves: save a pending change, or drop a new
    // row that nothing was set in. Throws (and nothing moves) when the save
    // fails.
    void LeaveRow(TableView &view)
    {
        if (state == State::Insert && changed.isEmpty())
            DropPending();
        else if (state != State::Browse)
            view.Post();
    }

    void StartInsert()
    {
        curBeforeInsert = cur;
        pending = Row();
        pending.values.resize(columns.size());
        changed.clear();
        state = State::Insert;
        eof = false;
    }

    void SetValue(const QString &column, const QVariant &value)
    {
        CheckOpen();
        const int i = ColumnIndex(column);
        if (readOnly.contains(columns[i].name.toLower()))
            throw Error(QStringLiteral("Field '%1' cannot be modified").arg(columns[i].name));
        if (state == State::Browse)
            throw Error(QStringLiteral("%1: Dataset not in edit or insert mode").arg(table));
        QVariant stored;
        if (columns[i].integer) {
            stored = value.typeId() == QMetaType::Int ? value : QVariant(StrToInt(value.toString()));
        } else {
            const QString text = value.toString();
            if (columns[i].maxLength > 0 && text.size() > columns[i].maxLength)
                throw Error(QStringLiteral("Value of field '%1' is too long: %2 characters, at most %3")
                                .arg(columns[i].name)
                                .arg(text.size())
                                .arg(columns[i].maxLength));
            stored = text;
        }
        pending.values[i] = stored;
        changed.insert(i);
    }

    QVariant Bound(int column) const
    {
        const QVariant &v = pending.values[column];
        if (!v.isValid())
            return QVariant();
        if (columns[column].integer)
            return QVariant(v.toInt());
        return QVariant(v.toString());
    }

    // Text values are bound through COALESCE so an empty text is stored as
    // '' rather than turning into NULL on the way.
    QString Placeholder(int column) const
    {
        return columns[column].integer ? QStringLiteral("?") : QStringLiteral("COALESCE(?, '')");
    }

    void Insert()
    {
        QSqlDatabase db = Db();
        QSqlQuery q(db);
        QList<int> set(changed.begin(), changed.end());
        std::sort(set.begin(), set.end());
        if (set.isEmpty()) {
            if (!q.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)))
                throw Error(EngineMessage(q.lastError()));
        } else {
            QStringList names, marks;
            for (int i : set) {
                names << columns[i].name;
                marks << Placeholder(i);
            }
            if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(table, names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")))))
                throw Error(EngineMessage(q.lastError()));
            for (int i : set)
                q.addBindValue(Bound(i));
            if (!q.exec())
                throw Error(EngineMessage(q.lastError()));
        }
        const qint64 rowid = q.lastInsertId().toLongLong();
        q.finish();
        // Read the row back: the engine fills in what was not set (the id).
        Row saved;
        saved.rowid = rowid;
        saved.values = pending.values;
        QSqlQuery back(db);
        back.setForwardOnly(true);
        if (back.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(table))) {
            back.addBindValue(rowid);
            if (back.exec() && back.next())
                for (int i = 0; i < columns.size() && i < back.record().count(); ++i)
                    saved.values[i] = back.isNull(i) ? QVariant() : back.value(i);
        }
        rows.append(saved);
        cur = rows.size() - 1;
    }

    void Update()
    {
        if (!changed.isEmpty()) {
            QList<int> set(changed.begin(), changed.end());
            std::sort(set.begin(), set.end());
            QStringList assignments;
            for (int i : set)
                assignments << columns[i].name + QStringLiteral(" = ") + Placeholder(i);
            QSqlDatabase db = Db();
            QSqlQuery q(db);
            if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                               .arg(table, assignments.join(QLatin1String(", ")))))
                throw Error(EngineMessage(q.lastError()));
            for (int i : set)
                q.addBindValue(Bound(i));
            q.addBindValue(rows[cur].rowid);
            if (!q.exec())
                throw Error(EngineMessage(q.lastError()));
            if (q.numRowsAffected() == 0)
                throw Error(kRowGone);
            for (int i : set)
                rows[cur].values[i] = Bound(i);
        }
    }
};

TableView::TableView(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
TableView::~TableView() = default;

const QString &TableView::table() const { return d->table; }
bool TableView::IsOpen() const { return d->open; }

void TableView::First()
{
    d->CheckOpen();
    d->LeaveRow(*this);
    d->cur = d->rows.isEmpty() ? -1 : 0;
    d->eof = d->rows.isEmpty();
}

void TableView::Next()
{
    d->CheckOpen();
    d->LeaveRow(*this);
    if (d->cur + 1 < d->rows.size())
        ++d->cur;
    else
        d->eof = true;
}

bool TableView::Eof() const
{
    return !d->open || (d->state != Impl::State::Insert && (d->eof || d->rows.isEmpty()));
}

int TableView::RecordCount() const { return d->open ? int(d->rows.size()) : 0; }

int TableView::RecNo() const
{
    if (!d->open)
        return -1;
    if (d->state == Impl::State::Insert)
        return int(d->rows.size());
    return d->cur;
}

bool TableView::Locate(const QString &column, const QVariant &value)
{
    d->CheckOpen();
    const int i = d->ColumnIndex(column);
    d->LeaveRow(*this);
    const bool integer = d->columns[i].integer;
    bool wantedOk = false;
    const qlonglong wanted = integer ? value.toLongLong(&wantedOk) : 0;
    const QString wantedText = value.toString();
    for (int r = 0; r < d->rows.size(); ++r) {
        const QVariant &v = d->rows[r].values[i];
        bool match;
        if (!v.isValid()) {
            match = value.isNull();
        } else if (integer) {
            bool ok = false;
            const qlonglong have = v.toLongLong(&ok);
            match = ok && wantedOk && have == wanted;
        } else {
            match = !value.isNull() && v.toString() == wantedText;
        }
        if (match) {
            d->cur = r;
            d->eof = false;
            return true;
        }
    }
    return false;
}

int TableView::AsInteger(const QString &column) const
{
    d->CheckOpen();
    const int i = d->ColumnIndex(column);
    const QVector<QVariant> *values = d->CurrentValues();
    if (!values || !(*values)[i].isValid())
        return 0;
    const QVariant &v = (*values)[i];
    if (!d->columns[i].integer || v.typeId() == QMetaType::QString)
        return StrToInt(v.toString());
    const qlonglong n = v.toLongLong();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        throw Error(QStringLiteral("Value %1 of field '%2' is out of range").arg(n).arg(d->columns[i].name));
    return int(n);
}

QString TableView::AsString(const QString &column) const
{
    d->CheckOpen();
    const int i = d->ColumnIndex(column);
    const QVector<QVariant> *values = d->CurrentValues();
    if (!values || !(*values)[i].isValid())
        return QString();
    return (*values)[i].toString();
}

void TableView::Edit()
{
    d->CheckOpen();
    if (d->state != Impl::State::Browse)
        return;
    if (d->rows.isEmpty()) {
        d->StartInsert();
        return;
    }
    if (d->cur < 0)
        d->cur = 0;
    d->pending = d->rows[d->cur];
    d->changed.clear();
    d->state = Impl::State::Edit;
}

void TableView::Append()
{
    d->CheckOpen();
    d->LeaveRow(*this);
    d->StartInsert();
}

void TableView::SetInteger(const QString &column, int value) { d->SetValue(column, QVariant(value)); }

void TableView::SetString(const QString &column, const QString &value)
{
    d->SetValue(column, QVariant(value));
}

void TableView::Post()
{
    d->CheckOpen();
    if (d->state == Impl::State::Insert)
        d->Insert();
    else if (d->state == Impl::State::Edit)
        d->Update();
    else
        return;
    d->ClearPending();
    d->eof = false;
}

void TableView::Cancel()
{
    if (d->state != Impl::State::Browse)
        d->DropPending();
}

void TableView::Delete()
{
    d->CheckOpen();
    if (d->state == Impl::State::Insert) {
        d->DropPending();
        return;
    }
    if (d->rows.isEmpty() || d->cur < 0)
        throw Error(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(d->table));
    QSqlDatabase db = d->Db();
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->table)))
        throw Error(EngineMessage(q.lastError()));
    q.addBindValue(d->rows[d->cur].rowid);
    if (!q.exec())
        throw Error(EngineMessage(q.lastError()));
    if (q.numRowsAffected() == 0)
        throw Error(kRowGone);
    // The row is gone: a pending change to it goes with it.
    d->ClearPending();
    d->rows.remove(d->cur);
    if (d->rows.isEmpty()) {
        d->cur = -1;
        d->eof = true;
    } else {
        if (d->cur >= d->rows.size())
            d->cur = int(d->rows.size()) - 1;
        d->eof = false;
    }
}

bool TableView::Modified() const { return d->state != Impl::State::Browse; }
bool TableView::Inserting() const { return d->state == Impl::State::Insert; }

void TableView::SetReadOnly(const QString &column, bool readOnly)
{
    QString name = column.toLower();
    if (d->open)
        name = d->columns[d->ColumnIndex(column)].name.toLower();
    if (readOnly)
        d->readOnly.insert(name);
    else
        d->readOnly.remove(name);
}

bool TableView::ReadOnly(const QString &column) const { return d->readOnly.contains(column.toLower()); }

// ---------------------------------------------------------------------------
// MatrixDatabase

struct MatrixDatabase::Impl {
    QString connection = NewConnectionName();
    std::unique_ptr<TableView> swset, incap, outcap;

    std::unique_ptr<TableView> MakeView(const QString &table, const QString &order, const QString &readOnly)
    {
        auto impl = std::make_unique<TableView::Impl>();
        impl->table = table;
        impl->orderColumn = order;
        impl->connection = connection;
        impl->readOnly.insert(readOnly);
        return std::unique_ptr<TableView>(new TableView(std::move(impl)));
    }

    void CloseAll()
    {
        swset->d->Close();
        incap->d->Close();
        outcap->d->Close();
        if (QSqlDatabase::contains(connection)) {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            db.close();
        }
    }
};

MatrixDatabase::MatrixDatabase() : d(std::make_unique<Impl>())
{
    d->swset = d->MakeView(QStringLiteral("swset"), QString(), QStringLiteral("id"));
    d->incap = d->MakeView(QStringLiteral("incap"), QStringLiteral("inc"), QStringLiteral("inc"));
    d->outcap = d->MakeView(QStringLiteral("outcap"), QStringLiteral("outc"), QStringLiteral("outc"));
}

MatrixDatabase::~MatrixDatabase()
{
    d->CloseAll();
    QSqlDatabase::removeDatabase(d->connection);
}

void MatrixDatabase::Open(const QString &folder, bool readOnly)
{
    d->CloseAll();
    {
        QSqlDatabase db = QSqlDatabase::contains(d->connection)
                              ? QSqlDatabase::database(d->connection, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connection);
        if (!db.isValid())
            throw Error(QStringLiteral("The SQLite database driver is not available"));
        // A URI with mode=rw (or ro) opens an existing file only: the engine
        // never creates one here.
        const QString path = QDir(folder).absoluteFilePath(QLatin1String(kFileName));
        const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                            + (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
        db.setDatabaseName(uri);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            throw Error(EngineMessage(db.lastError()));
        try {
            // A file that is not a database, or lacks a table, only shows at
            // the first query.
            d->swset->d->Load(db);
            d->incap->d->Load(db);
            d->outcap->d->Load(db);
        } catch (...) {
            d->CloseAll();
            throw;
        }
    }
}

bool MatrixDatabase::IsOpen() const { return d->swset->IsOpen() && d->incap->IsOpen() && d->outcap->IsOpen(); }

TableView &MatrixDatabase::swset() { return *d->swset; }
TableView &MatrixDatabase::incap() { return *d->incap; }
TableView &MatrixDatabase::outcap() { return *d->outcap; }

// ---------------------------------------------------------------------------

namespace {

void SyncTable(TableView &names, const QString &numberColumn, int wanted)
{
    // The count is taken from the table as saved: a pending change goes in first.
    if (names.IsOpen())
        names.First();
    const int have = names.RecordCount();
    if (have < wanted) {
        for (int k = have + 1; k <= wanted; ++k) {
            names.Append();
            names.SetInteger(numberColumn, k);
            names.Post();
        }
    } else if (wanted < have) {
        names.First();
        while (!names.Eof()) {
            if (names.AsInteger(numberColumn) > wanted)
                names.Delete();
            else
                names.Next();
        }
    }
}

} // namespace

void SyncNameRows(MatrixDatabase &db)
{
    TableView &in = db.incap();
    TableView &out = db.outcap();
    out.SetReadOnly(QStringLiteral("outc"), false);
    in.SetReadOnly(QStringLiteral("inc"), false);
    struct Restore {
        TableView &in, &out;
        ~Restore()
        {
            out.SetReadOnly(QStringLiteral("outc"), true);
            in.SetReadOnly(QStringLiteral("inc"), true);
        }
    } restore{in, out};
    SyncTable(in, QStringLiteral("inc"), db.swset().AsInteger(QStringLiteral("incount")));
    SyncTable(out, QStringLiteral("outc"), db.swset().AsInteger(QStringLiteral("outcount")));
}

void CreateDefaultDatabase(const QString &path)
{
    const QFileInfo target(path);
    if (target.exists())
        throw Error(QStringLiteral("Cannot create %1: a file is already there").arg(path));
    QTemporaryFile tmp(target.absolutePath() + QStringLiteral("/.mswdb-XXXXXX.tmp"));
    if (!tmp.open())
        throw Error(QStringLiteral("Cannot create a file in %1: %2").arg(target.absolutePath(), tmp.errorString()));
    tmp.close();
    const QString connection = NewConnectionName();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(tmp.fileName());
        if (!db.open()) {
            failure = EngineMessage(db.lastError());
        } else {
            const QStringList statements = {
                QStringLiteral("CREATE TABLE swset  (id INTEGER PRIMARY KEY AUTOINCREMENT, swid INTEGER, "
                               "com VARCHAR(10), incount INTEGER, outcount INTEGER)"),
                QStringLiteral("CREATE TABLE incap  (inc INTEGER, cap VARCHAR(200))"),
                QStringLiteral("CREATE TABLE outcap (outc INTEGER, cap VARCHAR(200))"),
                QStringLiteral("INSERT INTO swset (swid, com, incount, outcount) VALUES (0, 'COM1', 16, 16)"),
            };
            QSqlQuery q(db);
            bool ok = db.transaction();
            for (const QString &sql : statements)
                ok = ok && q.exec(sql);
            for (int k = 1; ok && k <= 16; ++k)
                ok = q.exec(QStringLiteral("INSERT INTO incap (inc, cap) VALUES (%1, '')").arg(k))
                     && q.exec(QStringLiteral("INSERT INTO outcap (outc, cap) VALUES (%1, '')").arg(k));
            if (ok && !db.commit())
                failure = EngineMessage(db.lastError());
            else if (!ok)
                failure = EngineMessage(q.lastError().isValid() ? q.lastError() : db.lastError());
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!failure.isEmpty())
        throw Error(failure);
    tmp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // Never replaces a file that appeared meanwhile.
    if (!tmp.rename(path))
        throw Error(QStringLiteral("Cannot create %1: %2").arg(path, tmp.errorString()));
    tmp.setAutoRemove(false);
}

} // namespace mc
