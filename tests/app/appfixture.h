#pragma once
// A main window started in a temporary folder on a pseudo-terminal: the test
// holds the master side as the matrix and reads what the program sends.
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "app/tform1.h"
#include "app/tmybtn.h"
#include "core/gbk.h"
#include "setup/matrixdb.h"
#include "tests/support/testsupport.h"

class AppFixture {
public:
    QTemporaryDir dir;
    int master = -1;
    QString slavePath;
    QByteArray received;
    mc::test::PauseRecorder pauses;
    mc::test::MessageRecorder boxes;
    std::unique_ptr<TForm1> form;

    AppFixture(int inputs, int outputs, const QMap<int, QString> &inputNames = {},
               const QMap<int, QString> &outputNames = {}, const QString &settings = QString())
    {
        int slave = -1;
        char name[128] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            termios t{};
            tcgetattr(master, &t);
            cfmakeraw(&t);
            tcsetattr(master, TCSANOW, &t);
            fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
            ::close(slave);
            slavePath = QString::fromLocal8Bit(name);
        }
        const QString db = dir.filePath(QStringLiteral("mswdb.mdb"));
        QFile::copy(mc::test::BinDir() + QStringLiteral("/mswdb.mdb"), db);
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
        {
            mc::MatrixDatabase d;
            d.Open(dir.path());
            d.swset().First();
            d.swset().Edit();
            d.swset().SetString(QStringLiteral("com"), slavePath);
            d.swset().SetInteger(QStringLiteral("incount"), inputs);
            d.swset().SetInteger(QStringLiteral("outcount"), outputs);
            d.swset().Post();
            mc::SyncNameRows(d);
            nameRows(d.incap(), QStringLiteral("inc"), inputNames);
            nameRows(d.outcap(), QStringLiteral("outc"), outputNames);
        }
        if (!settings.isNull()) {
            QFile f(dir.filePath(QStringLiteral("modalname.mdb")));
            if (f.open(QIODevice::WriteOnly))
                f.write(mc::ToGbk(settings));
        }
        form = std::make_unique<TForm1>(dir.path());
    }

    ~AppFixture()
    {
        form.reset();
        if (master >= 0)
            ::close(master);
    }

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
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            received.append(buffer, int(n));
        }
        return received;
    }

    // Waits for the start-up status query and forgets it.
    bool drainStartup()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (sent().contains("QUER00")) {
                received.clear();
                return true;
            }
            QTest::qWait(10);
        }
        return false;
    }

    Tmybtn *button(const QString &name) const { return form->FindChannelButton(name); }
};
