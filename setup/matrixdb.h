#pragma once
// The matrix database mswdb.mdb: table swset (matrix size and serial port)
// and the name tables incap and outcap, each seen through one long-lived
// table view with a current row, shared in place by every user.
#include <QString>
#include <QVariant>
#include <memory>

namespace mc {

class TableView {
public:
    ~TableView();
    TableView(const TableView &) = delete;
    TableView &operator=(const TableView &) = delete;

    const QString &table() const;
    bool IsOpen() const;

    // Current row. Every move first saves a pending change (an untouched new
    // row is dropped instead).
    void First();
    void Next();
    bool Eof() const;             // the walk has passed the last row (or the view is empty)
    int RecordCount() const;
    int RecNo() const;            // 0-based position of the current row, -1 when empty
    bool Locate(const QString &column, const QVariant &value);  // first match becomes current

    // Values of the current row; an empty view reads 0 and "".
    int AsInteger(const QString &column) const;
    QString AsString(const QString &column) const;

    // Changes: Edit starts changing the current row (a new row on an empty
    // view), Append starts a new row, Set* change a column of the pending row,
    // Post saves it (throws mc::Error with the engine's message; the change
    // stays pending), Cancel drops it, Delete removes the current row (the
    // next row becomes current, or the one before when the last was deleted).
    void Edit();
    void Append();
    void SetInteger(const QString &column, int value);
    void SetString(const QString &column, const QString &value);
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const;        // a change is pending
    bool Inserting() const;       // the pending change is a new row

    // Per-column read-only flag of this view; Set* on such a column throws.
    void SetReadOnly(const QString &column, bool readOnly);
    bool ReadOnly(const QString &column) const;

private:
    friend class MatrixDatabase;
    struct Impl;
    explicit TableView(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

class MatrixDatabase {
public:
    MatrixDatabase();
    ~MatrixDatabase();

    // Opens folder/mswdb.mdb and its three views, in order swset, incap,
    // outcap. Never creates or repairs the file; throws mc::Error with the
    // engine's own message when anything fails, leaving the views closed.
    // readOnly opens the file without write access, so every save fails with
    // the engine's message (tests use it: file permissions do not stop root).
    void Open(const QString &folder, bool readOnly = false);
    bool IsOpen() const;

    TableView &swset();   // "select * from swset": id, swid, com, incount, outcount
    TableView &incap();   // "select * from incap" ordered by inc: inc (read-only), cap
    TableView &outcap();  // "select * from outcap" ordered by outc: outc (read-only), cap

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Keeps incap/outcap row counts in step with incount/outcount of swset.
void SyncNameRows(MatrixDatabase &db);

// Writes the default database (16 x 16, "COM1", empty names) to path. The
// file is built beside path and renamed into place, so no half-written file
// is ever left; an existing file at path is never replaced. Throws mc::Error
// when it cannot.
void CreateDefaultDatabase(const QString &path);

} // namespace mc
