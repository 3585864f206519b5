#pragma once
// Preparing a program folder the way an installation leaves it: the default
// database beside the program, and the settings file. Header-only, as the
// database code is linked only into the tests that use it.
#include <QFile>
#include <QString>

#include <functional>

#include "core/gbk.h"
#include "setup/matrixdb.h"
#include "tests/support/testsupport.h"

namespace mc::test {

// Copies the default database into `folder` (read/write for its owner) and
// sets its serial port to `com`; `more`, when given, changes the database
// further through the same connection. False when the copy fails.
inline bool PrepareDatabase(const QString &folder, const QString &com,
                            const std::function<void(mc::MatrixDatabase &)> &more = {})
{
    const QString db = folder + QStringLiteral("/mswdb.mdb");
    if (!QFile::copy(BinDir() + QStringLiteral("/mswdb.mdb"), db))
        return false;
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    mc::MatrixDatabase d;
    d.Open(folder);
    d.swset().First();
    d.swset().Edit();
    d.swset().SetString(QStringLiteral("com"), com);
    d.swset().Post();
    if (more)
        more(d);
    return true;
}

// Sets the channel counts of an open database and matches its name rows to
// them.
inline void SetChannelCounts(mc::MatrixDatabase &d, int inputs, int outputs)
{
    d.swset().First();
    d.swset().Edit();
    d.swset().SetInteger(QStringLiteral("incount"), inputs);
    d.swset().SetInteger(QStringLiteral("outcount"), outputs);
    d.swset().Post();
    mc::SyncNameRows(d);
}

// Writes `text` GBK-encoded to `path`; false when the file cannot be written.
inline bool WriteGbk(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(mc::ToGbk(text));
    return true;
}

} // namespace mc::test
