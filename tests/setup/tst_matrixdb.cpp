// The matrix database: opening, the table views' cursor and save rules, the
// upkeep of the name tables and the default file.
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include "core/error.h"
#include "setup/matrixdb.h"
#include "tests/support/testsupport.h"

using mc::MatrixDatabase;
using mc::TableView;

namespace {

const QString kSchema[] = {
    QStringLiteral("CREATE TABLE swset (id INTEGER PRIMARY KEY AUTOINCREMENT, swid INTEGER, "
                   "com VARCHAR(10), incount INTEGER, outcount INTEGER)"),
    QStringLiteral("CREATE TABLE incap (inc INTEGER, cap VARCHAR(200))"),
    QStringLiteral("CREATE TABLE outcap (outc INTEGER, cap VARCHAR(200))"),
};

// Runs statements on the file through a connection of its own.
void RawExec(const QString &path, const QStringList &statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("raw%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(db.transaction());
        for (const QString &sql : statements)
            QVERIFY2(q.exec(sql), qPrintable(sql + QLatin1String(": ") + q.lastError().text()));
        QVERIFY(db.commit());
    }
    QSqlDatabase::removeDatabase(name);
}

// The first column of every row a query returns, as text ("NULL" for NULL).
QStringList RawColumn(const QString &path, const QString &sql)
{
    static int counter = 0;
    const QString name = QStringLiteral("rawread%1").arg(++counter);
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql))
                while (q.next())
                    out << (q.isNull(0) ? QStringLiteral("NULL") : q.value(0).toString());
            else
                out << QStringLiteral("ERROR ") + q.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

// A database with the program's schema, a swset row with the counts given
// (none when inCount < 0) and name rows with the numbers given, named "n<k>".
QString MakeDb(const QTemporaryDir &dir, int inCount, int outCount, const QList<int> &inRows,
               const QList<int> &outRows)
{
    const QString path = dir.filePath(QStringLiteral("mswdb.mdb"));
    QStringList sql(std::begin(kSchema), std::end(kSchema));
    if (inCount >= 0)
        sql << QStringLiteral("INSERT INTO swset (swid, com, incount, outcount) VALUES (0, 'COM1', %1, %2)")
                   .arg(inCount)
                   .arg(outCount);
    for (int k : inRows)
        sql << QStringLiteral("INSERT INTO incap VALUES (%1, 'n%1')").arg(k);
    for (int k : outRows)
        sql << QStringLiteral("INSERT INTO outcap VALUES (%1, 'n%1')").arg(k);
    RawExec(path, sql);
    return path;
}

QList<int> Range(int from, int to)
{
    QList<int> out;
    for (int k = from; k <= to; ++k)
        out << k;
    return out;
}

// Numbers and names of a view, walked from its first row.
QStringList Walk(TableView &view, const QString &numberColumn)
{
    QStringList out;
    for (view.First(); !view.Eof(); view.Next())
        out << QStringLiteral("%1:%2").arg(view.AsInteger(numberColumn)).arg(view.AsString(QStringLiteral("cap")));
    return out;
}

QStringList Rows(const QList<int> &numbers, bool named)
{
    QStringList out;
    for (int k : numbers)
        out << QStringLiteral("%1:%2").arg(k).arg(named ? QStringLiteral("n%1").arg(k) : QString());
    return out;
}

void VerifyClosed(MatrixDatabase &db)
{
    QVERIFY(!db.IsOpen());
    QVERIFY(!db.swset().IsOpen());
    QVERIFY(!db.incap().IsOpen());
    QVERIFY(!db.outcap().IsOpen());
}

} // namespace

class TestMatrixDb : public QObject {
    Q_OBJECT

private slots:
    void openFailures_data();
    void openFailures();
    void failedReopenClosesOpenViews();
    void emptySwset();
    void navigationAndLocate();
    void moveSavesPendingEdit_data();
    void moveSavesPendingEdit();
    void newRows();
    void deleteMovesCurrent_data();
    void deleteMovesCurrent();
    void columnRules_data();
    void columnRules();
    void failedSaveKeepsChangePending();
    void rowRemovedBehindTheView();
    void chineseNamesRoundTrip();
    void twoInstancesShareTheFile();
    void syncNameRows_data();
    void syncNameRows();
    void syncRestoresReadOnlyFlagsOnFailure();
    void defaultDatabase();
    void defaultDatabaseFailures();
};

void TestMatrixDb::openFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "missing" << "unable to open";
    QTest::newRow("text file") << "text" << "not a database";
    // SQLite reads an empty file as a database without tables.
    QTest::newRow("zero-length file") << "empty" << "no such table: swset";
    QTest::newRow("table incap missing") << "noincap" << "no such table: incap";
    QTest::newRow("number column missing") << "nooutc" << "outc";
}

void TestMatrixDb::openFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mswdb.mdb"));
    if (kind == QLatin1String("text") || kind == QLatin1String("empty")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("text"))
            f.write("[Control]\r\nkd=0\r\n");
    } else if (kind == QLatin1String("noincap")) {
        RawExec(path, {kSchema[0], kSchema[2]});
    } else if (kind == QLatin1String("nooutc")) {
        RawExec(path, {kSchema[0], kSchema[1], QStringLiteral("CREATE TABLE outcap (num INTEGER, cap TEXT)")});
    }
    QByteArray before;
    if (QFile f(path); f.open(QIODevice::ReadOnly))
        before = f.readAll();

    MatrixDatabase db;
    try {
        db.Open(dir.path());
        QFAIL("Open succeeded");
    } catch (const mc::Error &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
    VerifyClosed(db);
    QVERIFY_THROWS_EXCEPTION(mc::Error, db.incap().First());
    // Nothing is created or repaired.
    QCOMPARE(QFile::exists(path), kind != QLatin1String("missing"));
    if (kind != QLatin1String("missing")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kind == QLatin1String("missing") ? 0 : 1);
}

void TestMatrixDb::failedReopenClosesOpenViews()
{
    QTemporaryDir good, empty;
    MakeDb(good, 16, 16, Range(1, 16), Range(1, 16));
    MatrixDatabase db;
    db.Open(good.path());
    QVERIFY(db.IsOpen());
    QCOMPARE(db.incap().RecordCount(), 16);
    QVERIFY_THROWS_EXCEPTION(mc::Error, db.Open(empty.path()));
    VerifyClosed(db);
    QCOMPARE(db.incap().RecordCount(), 0);
    QVERIFY(db.incap().Eof());
    // The same instance opens again after a failure.
    db.Open(good.path());
    QCOMPARE(db.swset().AsInteger(QStringLiteral("incount")), 16);
}

void TestMatrixDb::emptySwset()
{
    QTemporaryDir dir;
    const QString path = MakeDb(dir, -1, -1, {}, {});
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &sw = db.swset();
    QVERIFY(sw.Eof());
    QCOMPARE(sw.RecNo(), -1);
    QCOMPARE(sw.AsInteger(QStringLiteral("incount")), 0);
    QCOMPARE(sw.AsString(QStringLiteral("incount")), QString());
    QCOMPARE(sw.AsString(QStringLiteral("com")), QString());

    // Changing the current row of an empty view creates the row.
    sw.Edit();
    QVERIFY(sw.Inserting());
    sw.SetString(QStringLiteral("com"), QStringLiteral("COM3"));
    sw.SetString(QStringLiteral("incount"), QStringLiteral(" 8"));
    sw.SetInteger(QStringLiteral("outcount"), 4);
    sw.Post();
    QVERIFY(!sw.Modified());
    QCOMPARE(sw.RecordCount(), 1);
    QCOMPARE(sw.AsInteger(QStringLiteral("id")), 1);
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT com || '/' || incount || '/' || outcount FROM swset")),
             QStringList{QStringLiteral("COM3/8/4")});
}

void TestMatrixDb::navigationAndLocate()
{
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 3, 3, {}, {});
    // Stored out of order, with number 1 twice: the view orders by number,
    // ties in stored order.
    RawExec(path, {QStringLiteral("INSERT INTO incap VALUES (3, 'c'), (1, 'a'), (2, 'b'), (1, 'dup')")});
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &in = db.incap();
    QCOMPARE(in.RecordCount(), 4);
    QCOMPARE(Walk(in, QStringLiteral("inc")),
             (QStringList{QStringLiteral("1:a"), QStringLiteral("1:dup"), QStringLiteral("2:b"), QStringLiteral("3:c")}));
    // Past the end the last row stays current.
    QVERIFY(in.Eof());
    in.Next();
    QVERIFY(in.Eof());
    QCOMPARE(in.RecNo(), 3);

    QVERIFY(in.Locate(QStringLiteral("inc"), 1));
    QCOMPARE(in.AsString(QStringLiteral("cap")), QStringLiteral("a"));
    QVERIFY(!in.Eof());
    QVERIFY(in.Locate(QStringLiteral("CAP"), QStringLiteral("b")));
    QCOMPARE(in.RecNo(), 2);
    QVERIFY(!in.Locate(QStringLiteral("inc"), 9));
    QCOMPARE(in.RecNo(), 2);
    QVERIFY(!in.Locate(QStringLiteral("cap"), QStringLiteral("B")));
    QCOMPARE(in.AsInteger(QStringLiteral("inc")), 2);
    QVERIFY_THROWS_EXCEPTION(mc::Error, in.Locate(QStringLiteral("nosuch"), 1));
    QVERIFY_THROWS_EXCEPTION(mc::Error, in.AsString(QStringLiteral("nosuch")));
}

void TestMatrixDb::moveSavesPendingEdit_data()
{
    QTest::addColumn<QString>("move");
    QTest::newRow("Next") << "next";
    QTest::newRow("First") << "first";
    QTest::newRow("Locate (found)") << "locate";
    QTest::newRow("Locate (not found)") << "locate-miss";
    QTest::newRow("Append") << "append";
    QTest::newRow("Post") << "post";
}

void TestMatrixDb::moveSavesPendingEdit()
{
    QFETCH(QString, move);
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 3, 3, Range(1, 3), Range(1, 3));
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &in = db.incap();
    in.Next();
    in.Edit();
    in.SetString(QStringLiteral("cap"), QStringLiteral("Cam"));
    QVERIFY(in.Modified());
    QCOMPARE(in.AsString(QStringLiteral("cap")), QStringLiteral("Cam"));
    // Not saved yet.
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT cap FROM incap WHERE inc = 2")), QStringList{QStringLiteral("n2")});

    if (move == QLatin1String("next"))
        in.Next();
    else if (move == QLatin1String("first"))
        in.First();
    else if (move == QLatin1String("locate"))
        QVERIFY(in.Locate(QStringLiteral("inc"), 3));
    else if (move == QLatin1String("locate-miss"))
        QVERIFY(!in.Locate(QStringLiteral("inc"), 7));
    else if (move == QLatin1String("append"))
        in.Append();
    else
        in.Post();
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT cap FROM incap WHERE inc = 2")), QStringList{QStringLiteral("Cam")});
    QCOMPARE(in.Modified(), move == QLatin1String("append"));
    in.Cancel();
    QVERIFY(in.Locate(QStringLiteral("inc"), 2));
    QCOMPARE(in.AsString(QStringLiteral("cap")), QStringLiteral("Cam"));
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT count(*) FROM incap")), QStringList{QStringLiteral("3")});
}

void TestMatrixDb::newRows()
{
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 3, 3, Range(1, 3), Range(1, 3));
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &in = db.incap();
    in.SetReadOnly(QStringLiteral("inc"), false);
    in.Next();

    // A new row that nothing was set in is dropped by a move.
    in.Append();
    QVERIFY(in.Inserting());
    QCOMPARE(in.AsString(QStringLiteral("cap")), QString());
    in.First();
    QVERIFY(!in.Modified());
    in.Append();
    in.Append();
    in.Next();
    QCOMPARE(in.RecordCount(), 3);
    // Cancel drops a filled-in new row and returns to the row before it.
    in.Locate(QStringLiteral("inc"), 2);
    in.Append();
    in.SetInteger(QStringLiteral("inc"), 9);
    in.Cancel();
    QCOMPARE(in.AsInteger(QStringLiteral("inc")), 2);
    // So does Delete.
    in.Append();
    in.SetInteger(QStringLiteral("inc"), 9);
    in.Delete();
    QCOMPARE(in.AsInteger(QStringLiteral("inc")), 2);
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT count(*) FROM incap")), QStringList{QStringLiteral("3")});

    // A new row with a value is saved by the move and lands at the end, as
    // does a number that sorts before the others.
    in.Append();
    in.SetInteger(QStringLiteral("inc"), 0);
    in.First();
    QCOMPARE(in.AsInteger(QStringLiteral("inc")), 1);
    QCOMPARE(Walk(in, QStringLiteral("inc")),
             (QStringList{QStringLiteral("1:n1"), QStringLiteral("2:n2"), QStringLiteral("3:n3"), QStringLiteral("0:")}));
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT inc || ':' || ifnull(cap, 'NULL') FROM incap ORDER BY rowid")),
             (QStringList{QStringLiteral("1:n1"), QStringLiteral("2:n2"), QStringLiteral("3:n3"), QStringLiteral("0:NULL")}));
}

void TestMatrixDb::deleteMovesCurrent_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("deleteAt");
    QTest::addColumn<int>("currentAfter");  // number of the current row; 0: empty view
    QTest::addColumn<int>("recNoAfter");
    QTest::newRow("middle: next row") << QList<int>{1, 2, 3} << 1 << 3 << 1;
    QTest::newRow("first: next row") << QList<int>{1, 2, 3} << 0 << 2 << 0;
    QTest::newRow("last: the one before") << QList<int>{1, 2, 3} << 2 << 2 << 1;
    QTest::newRow("only row: empty") << QList<int>{1} << 0 << 0 << -1;
}

void TestMatrixDb::deleteMovesCurrent()
{
    QFETCH(QList<int>, rows);
    QFETCH(int, deleteAt);
    QFETCH(int, currentAfter);
    QFETCH(int, recNoAfter);
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 3, 3, {}, rows);
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &out = db.outcap();
    for (int i = 0; i < deleteAt; ++i)
        out.Next();
    const int gone = out.AsInteger(QStringLiteral("outc"));
    // A pending edit of the row goes with it.
    out.Edit();
    out.SetString(QStringLiteral("cap"), QStringLiteral("x"));
    out.Delete();
    QVERIFY(!out.Modified());
    QCOMPARE(out.RecordCount(), int(rows.size()) - 1);
    QCOMPARE(out.AsInteger(QStringLiteral("outc")), currentAfter);
    QCOMPARE(out.Eof(), currentAfter == 0);
    QCOMPARE(out.RecNo(), recNoAfter);
    rows.removeAll(gone);
    QStringList left;
    for (int k : rows)
        left << QString::number(k);
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT outc FROM outcap ORDER BY rowid")), left);
    if (currentAfter == 0)
        QVERIFY_THROWS_EXCEPTION(mc::Error, out.Delete());
}

void TestMatrixDb::columnRules_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");  // empty: accepted and saved
    const QString cap200(200, QChar(0x540D));
    QTest::newRow("inc is read-only") << "incap" << "inc" << "5" << "Field 'inc' cannot be modified";
    QTest::newRow("outc is read-only") << "outcap" << "outc" << "5" << "Field 'outc' cannot be modified";
    QTest::newRow("id is read-only") << "swset" << "id" << "5" << "Field 'id' cannot be modified";
    QTest::newRow("cap of 200") << "incap" << "cap" << cap200 << "";
    QTest::newRow("cap of 201") << "incap" << "cap" << cap200 + QLatin1Char('x') << "'cap' is too long";
    QTest::newRow("com, short name") << "swset" << "com" << "COM1" << "";
    QTest::newRow("com, long device path") << "swset" << "com" << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART-if00-port0" << "";
    QTest::newRow("count as text") << "swset" << "incount" << " 20" << "";
    QTest::newRow("count, trailing blank") << "swset" << "incount" << "20 " << "'20 ' is not a valid integer value";
    QTest::newRow("count beyond 32 bits") << "swset" << "outcount" << "2147483648" << "is not a valid integer value";
    QTest::newRow("unknown column") << "swset" << "nosuch" << "1" << "'nosuch' not found";
}

void TestMatrixDb::columnRules()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 16, 16, Range(1, 2), Range(1, 2));
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &view = table == QLatin1String("swset") ? db.swset() : table == QLatin1String("incap") ? db.incap() : db.outcap();
    const QString before = RawColumn(path, QStringLiteral("SELECT group_concat(%1) FROM %2").arg(column == QLatin1String("nosuch") ? QStringLiteral("1") : column, table)).join(QString());
    view.Edit();
    try {
        view.SetString(column, value);
        view.Post();
        QVERIFY2(error.isEmpty(), "accepted");
        QCOMPARE(view.AsString(column), value.trimmed());
        QCOMPARE(RawColumn(path, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid LIMIT 1").arg(column, table)),
                 QStringList{value.trimmed()});
    } catch (const mc::Error &e) {
        QVERIFY2(!error.isEmpty(), qPrintable(e.message()));
        QVERIFY2(e.message().contains(error), qPrintable(e.message()));
        view.Cancel();
        QCOMPARE(RawColumn(path, QStringLiteral("SELECT group_concat(%1) FROM %2").arg(column == QLatin1String("nosuch") ? QStringLiteral("1") : column, table)).join(QString()), before);
    }
}

void TestMatrixDb::failedSaveKeepsChangePending()
{
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 16, 16, Range(1, 3), Range(1, 3));
    MatrixDatabase db;
    db.Open(dir.path(), true);
    TableView &in = db.incap();
    in.Next();
    in.Edit();
    in.SetString(QStringLiteral("cap"), QStringLiteral("Cam"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (attempt == 0)
                in.Post();
            else
                in.Next();  // the implicit save fails the same way, and nothing moves
            QFAIL("save succeeded");
        } catch (const mc::Error &e) {
            QVERIFY2(e.message().contains(QLatin1String("readonly")), qPrintable(e.message()));
        }
        QVERIFY(in.Modified());
        QCOMPARE(in.RecNo(), 1);
        QCOMPARE(in.AsString(QStringLiteral("cap")), QStringLiteral("Cam"));
    }
    in.Cancel();
    QCOMPARE(in.AsString(QStringLiteral("cap")), QStringLiteral("n2"));
    // A refused delete keeps the row.
    QVERIFY_THROWS_EXCEPTION(mc::Error, in.Delete());
    QCOMPARE(in.RecordCount(), 3);
    QCOMPARE(in.AsInteger(QStringLiteral("inc")), 2);
    // A refused new row stays pending too.
    in.Append();
    in.SetString(QStringLiteral("cap"), QStringLiteral("new"));
    QVERIFY_THROWS_EXCEPTION(mc::Error, in.First());
    QVERIFY(in.Inserting());
    QCOMPARE(in.RecordCount(), 3);
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT group_concat(cap) FROM incap")), QStringList{QStringLiteral("n1,n2,n3")});
}

// Another program removed the row behind the view: saving or deleting it
// reports the fact instead of passing for done.
void TestMatrixDb::rowRemovedBehindTheView()
{
    QTemporaryDir dir;
    const QString path = MakeDb(dir, 16, 16, Range(1, 3), Range(1, 3));
    MatrixDatabase db;
    db.Open(dir.path());
    TableView &in = db.incap();
    in.Next();
    RawExec(path, {QStringLiteral("DELETE FROM incap WHERE inc = 2")});
    in.Edit();
    in.SetString(QStringLiteral("cap"), QStringLiteral("Cam"));
    try {
        in.Post();
        QFAIL("a save of a removed row passed");
    } catch (const mc::Error &e) {
        QVERIFY2(e.message().contains(QLatin1String("Row cannot be located")), qPrintable(e.message()));
    }
    QVERIFY(in.Modified());
    in.Cancel();
    QVERIFY_THROWS_EXCEPTION(mc::Error, in.Delete());
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT group_concat(cap) FROM incap")), QStringList{QStringLiteral("n1,n3")});
}

void TestMatrixDb::chineseNamesRoundTrip()
{
    // The program's folder may hold blanks, Chinese and URL-special characters.
    QTemporaryDir base;
    const QString folder = base.filePath(QStringLiteral("矩阵 控制#1%20?"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/mswdb.mdb");
    mc::CreateDefaultDatabase(path);
    const QString name = QStringLiteral("会议室投影（左）");
    {
        MatrixDatabase db;
        db.Open(folder);
        db.outcap().Next();
        db.outcap().Edit();
        db.outcap().SetString(QStringLiteral("cap"), name);
        db.outcap().Post();
    }
    // Stored as text, readable by any tool.
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT typeof(cap) || ':' || cap FROM outcap WHERE outc = 2")),
             QStringList{QStringLiteral("text:") + name});
    MatrixDatabase again;
    again.Open(folder);
    QVERIFY(again.outcap().Locate(QStringLiteral("cap"), name));
    QCOMPARE(again.outcap().AsInteger(QStringLiteral("outc")), 2);
}

void TestMatrixDb::twoInstancesShareTheFile()
{
    QTemporaryDir dir;
    MakeDb(dir, 16, 16, Range(1, 2), Range(1, 2));
    MatrixDatabase a, b;
    a.Open(dir.path());
    b.Open(dir.path());
    a.incap().Edit();
    a.incap().SetString(QStringLiteral("cap"), QStringLiteral("from a"));
    a.incap().Post();
    b.swset().Edit();
    b.swset().SetInteger(QStringLiteral("outcount"), 8);
    b.swset().Post();
    // Each view is a snapshot taken when it was opened.
    QCOMPARE(b.incap().AsString(QStringLiteral("cap")), QStringLiteral("n1"));
    QCOMPARE(a.swset().AsInteger(QStringLiteral("outcount")), 16);
    a.Open(dir.path());
    b.Open(dir.path());
    QCOMPARE(b.incap().AsString(QStringLiteral("cap")), QStringLiteral("from a"));
    QCOMPARE(a.swset().AsInteger(QStringLiteral("outcount")), 8);
}

void TestMatrixDb::syncNameRows_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("expected");  // view order and stored order afterwards
    QTest::newRow("16 to 20: 17..20 added, unnamed")
        << Range(1, 16) << 20 << Rows(Range(1, 16), true) + Rows(Range(17, 20), false);
    QTest::newRow("20 to 16: 17..20 deleted") << Range(1, 20) << 16 << Rows(Range(1, 16), true);
    QTest::newRow("1,2,5 to 4: a row numbered 4 added")
        << QList<int>{1, 2, 5} << 4 << Rows({1, 2, 5}, true) + Rows({4}, false);
    QTest::newRow("1..5,9 to 5: only 9 deleted") << Range(1, 5) + QList<int>{9} << 5 << Rows(Range(1, 5), true);
    QTest::newRow("equal count with gaps: unchanged") << QList<int>{1, 3, 7} << 3 << Rows({1, 3, 7}, true);
    QTest::newRow("empty table to 2") << QList<int>{} << 2 << Rows({1, 2}, false);
    QTest::newRow("2 to 1: the last row goes") << QList<int>{1, 2} << 1 << Rows({1}, true);
}

void TestMatrixDb::syncNameRows()
{
    QFETCH(QList<int>, rows);
    QFETCH(int, count);
    QFETCH(QStringList, expected);
    // Inputs change as the table says; outputs the other way round, from a
    // table already in step.
    QTemporaryDir dir;
    const QList<int> steady = Range(1, 4);
    const QString path = MakeDb(dir, count, int(steady.size()), rows, steady);
    MatrixDatabase db;
    db.Open(dir.path());
    mc::SyncNameRows(db);
    QCOMPARE(Walk(db.incap(), QStringLiteral("inc")), expected);
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT inc || ':' || ifnull(cap, '') FROM incap ORDER BY rowid")), expected);
    QCOMPARE(Walk(db.outcap(), QStringLiteral("outc")), Rows(steady, true));
    QVERIFY(db.incap().ReadOnly(QStringLiteral("inc")));
    QVERIFY(db.outcap().ReadOnly(QStringLiteral("outc")));

    // The same change on the output side.
    QTemporaryDir dir2;
    const QString path2 = MakeDb(dir2, int(steady.size()), count, steady, rows);
    MatrixDatabase db2;
    db2.Open(dir2.path());
    mc::SyncNameRows(db2);
    QCOMPARE(Walk(db2.outcap(), QStringLiteral("outc")), expected);
    QCOMPARE(RawColumn(path2, QStringLiteral("SELECT outc || ':' || ifnull(cap, '') FROM outcap ORDER BY rowid")), expected);
    QCOMPARE(Walk(db2.incap(), QStringLiteral("inc")), Rows(steady, true));
}

void TestMatrixDb::syncRestoresReadOnlyFlagsOnFailure()
{
    QTemporaryDir dir;
    MakeDb(dir, 4, 2, Range(1, 2), Range(1, 2));
    MatrixDatabase db;
    db.Open(dir.path(), true);
    QVERIFY_THROWS_EXCEPTION(mc::Error, mc::SyncNameRows(db));
    QVERIFY(db.incap().ReadOnly(QStringLiteral("inc")));
    QVERIFY(db.outcap().ReadOnly(QStringLiteral("outc")));
    db.incap().Cancel();
    QCOMPARE(db.incap().RecordCount(), 2);
}

void TestMatrixDb::defaultDatabase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mswdb.mdb"));
    mc::CreateDefaultDatabase(path);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("mswdb.mdb")});
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT sql FROM sqlite_master WHERE name IN ('swset', 'incap', 'outcap') ORDER BY rowid")),
             (QStringList{QStringLiteral("CREATE TABLE swset  (id INTEGER PRIMARY KEY AUTOINCREMENT, swid INTEGER, com VARCHAR(10), incount INTEGER, outcount INTEGER)"),
                          QStringLiteral("CREATE TABLE incap  (inc INTEGER, cap VARCHAR(200))"),
                          QStringLiteral("CREATE TABLE outcap (outc INTEGER, cap VARCHAR(200))")}));
    QCOMPARE(RawColumn(path, QStringLiteral("SELECT swid || '|' || com || '|' || incount || '|' || outcount FROM swset")),
             QStringList{QStringLiteral("0|COM1|16|16")});
    for (const QString &table : {QStringLiteral("incap"), QStringLiteral("outcap")})
        QCOMPARE(RawColumn(path, QStringLiteral("SELECT count(*) FROM %1 WHERE typeof(cap) = 'text' AND cap = ''").arg(table)),
                 QStringList{QStringLiteral("16")});
    MatrixDatabase db;
    db.Open(dir.path());
    QCOMPARE(Walk(db.incap(), QStringLiteral("inc")), Rows(Range(1, 16), false));
    QCOMPARE(Walk(db.outcap(), QStringLiteral("outc")), Rows(Range(1, 16), false));
}

void TestMatrixDb::defaultDatabaseFailures()
{
    QTemporaryDir dir;
    // An existing file is never replaced.
    const QString path = dir.filePath(QStringLiteral("mswdb.mdb"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
    }
    QVERIFY_THROWS_EXCEPTION(mc::Error, mc::CreateDefaultDatabase(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
    // A folder that does not exist.
    QVERIFY_THROWS_EXCEPTION(mc::Error, mc::CreateDefaultDatabase(dir.filePath(QStringLiteral("no/mswdb.mdb"))));
    // A folder standing where the file should go.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QDir(dir.filePath(QStringLiteral("sub"))).mkdir(QStringLiteral("mswdb.mdb")));
    QVERIFY_THROWS_EXCEPTION(mc::Error, mc::CreateDefaultDatabase(dir.filePath(QStringLiteral("sub/mswdb.mdb"))));
    // No half-written file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("mswdb.mdb")});
    QCOMPARE(QDir(dir.filePath(QStringLiteral("sub"))).entryList(QDir::Files | QDir::Hidden), QStringList());
}

MC_TEST_MAIN(TestMatrixDb)
#include "tst_matrixdb.moc"
