#pragma once
// A main window started in a temporary folder on a pseudo-terminal: the test
// holds the master side as the matrix and reads what the program sends.
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "app/tform1.h"
#include "app/tmybtn.h"
#include "core/gbk.h"
#include "setup/matrixdb.h"
#include "tests/support/programfolder.h"
#include "tests/support/testsupport.h"

class AppFixture {
public:
    QTemporaryDir dir;
    mc::test::Pty pty; // only the master side stays open here
    QByteArray received;
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    std::unique_ptr<TForm1> form;

    AppFixture(int inputs, int outputs, const QMap<int, QString> &inputNames = {},
               const QMap<int, QString> &outputNames = {}, const QString &settings = QString())
    {
        pty.CloseSlave();
        mc::test::PrepareDatabase(dir.path(), pty.slavePath, [&](mc::MatrixDatabase &d) {
            mc::test::SetChannelCounts(d, inputs, outputs);
            nameRows(d.incap(), QStringLiteral("inc"), inputNames);
            nameRows(d.outcap(), QStringLiteral("outc"), outputNames);
        });
        if (!settings.isNull())
            mc::test::WriteGbk(dir.filePath(QStringLiteral("modalname.mdb")), settings);
        form = std::make_unique<TForm1>(dir.path());
    }

    ~AppFixture() { form.reset(); }

    static void nameRows(mc::TableView &view, const QString &column, const QMap<int, QString> &names)
    {
        for (auto it = names.begin(); it != names.end(); ++it) {
            if (view.Locate(column, it.key())) {
                view.Edit();
                view.SetString(QStringLiteral("cap"), it.value());
                view.Post();
            }
        }
    }

    // Everything the matrix side has received so far.
    const QByteArray &sent()
    {
        received += pty.ReadAvailable();
        return received;
    }

    // Waits, bounded, until `done` holds for everything the matrix side has
    // received, looking every `stepMs`.
    bool waitUntilSent(const std::function<bool(const QByteArray &)> &done, int stepMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (done(sent()))
                return true;
            QTest::qWait(stepMs);
        }
        return false;
    }

    // Waits for the start-up status query and forgets it.
    bool drainStartup()
    {
        if (!waitUntilSent([](const QByteArray &bytes) { return bytes.contains("QUER00"); }, 10))
            return false;
        received.clear();
        return true;
    }

    // Waits, bounded, until the matrix side has received `bytes` in total.
    bool waitForSent(const QByteArray &bytes)
    {
        return waitUntilSent([&](const QByteArray &got) { return got.size() >= bytes.size(); }, 5);
    }

    Tmybtn *button(const QString &name) const { return form->FindChannelButton(name); }
};

// The entries of a list box, top to bottom.
inline QStringList ComboItems(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}
