#pragma once
// Shared test fixtures: every test binary starts through MC_TEST_MAIN, which
// turns on the loopback guard so no test can reach another address.
#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QtTest>

#include <functional>

#include <termios.h>

#include "ui/messages.h"

namespace mc::test {

// Turns on the loopback guard; called by MC_TEST_MAIN before any test runs.
void InitTestProcess();

// Folder holding the built programs and the default database.
QString BinDir();

// The whole content of a file; empty when it cannot be read.
QByteArray ReadFile(const QString &path);

// Records every message box and answers it with `answer`; `onShown`, when
// set, is called with each request after it has been recorded.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageRecorder();
    QList<mc::ui::MessageRequest> shown;
    QMessageBox::StandardButton answer;
    std::function<void(const mc::ui::MessageRequest &)> onShown;
};

// Records every pause instead of sleeping; `onPause`, when set, is called
// with each pause after it has been recorded.
class PauseRecorder {
public:
    PauseRecorder();
    ~PauseRecorder();
    QList<int> pauses;
    std::function<void(int)> onPause;
};

// Runs every modal dialog opened while it lives without a modal loop, and
// records the class of each in `opened` and the parent of the last one in
// `lastParent`. With `run` set, each dialog goes to `run`, whose return value
// is the dialog's result; otherwise each dialog goes to the next entry of
// `hooks` in turn, and a dialog past the last entry is cancelled.
class DialogHook {
public:
    using Run = std::function<int(QDialog *)>;
    explicit DialogHook(Run run = {});
    ~DialogHook();
    DialogHook(const DialogHook &) = delete;
    DialogHook &operator=(const DialogHook &) = delete;

    // A run function handing each dialog of class D to `work` (after showing
    // it, if asked) and answering with the dialog's own result; a dialog of
    // another class is cancelled.
    template <class D>
    static Run For(std::function<void(D *)> work, bool showFirst = false)
    {
        return [work = std::move(work), showFirst](QDialog *dialog) {
            auto *typed = qobject_cast<D *>(dialog);
            if (!typed)
                return int(QDialog::Rejected);
            if (showFirst)
                typed->show();
            work(typed);
            return typed->result();
        };
    }

    QList<Run> hooks;
    QStringList opened;
    QWidget *lastParent = nullptr;

private:
    Run run;
};

// A DialogHook for dialogs of class D only, e.g.
// `DialogHookFor<TForm2> hook([&](TForm2 *form) { ... });`.
template <class D, bool ShowFirst = false>
class DialogHookFor : public DialogHook {
public:
    explicit DialogHookFor(std::function<void(D *)> work) : DialogHook(For<D>(std::move(work), ShowFirst)) {}
};

// A pseudo-terminal pair in raw mode: the test holds the master side as the
// matrix, the program under test opens `slavePath`. The slave stays open here
// as well (until CloseSlave), so its termios can be read while the program has
// it and the pair lives on between opens.
class Pty {
public:
    enum class Master { NonBlocking, Blocking };
    explicit Pty(Master mode = Master::NonBlocking);
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool IsOpen() const { return master >= 0; }
    void CloseMaster();
    void CloseSlave();

    // Writes everything the matrix sends; false when it could not.
    bool Send(const QByteArray &bytes) const;
    // Reads until `count` bytes have come or `timeoutMs` has passed.
    QByteArray Receive(qsizetype count, int timeoutMs = 5000) const;
    // Reads until what has come ends with `marker` or `timeoutMs` has passed.
    QByteArray ReadUntil(const QByteArray &marker, int timeoutMs = 5000) const;
    // Whatever can be read without waiting (non-blocking master only).
    QByteArray ReadAvailable() const;

    termios SlaveTermios() const;
    speed_t SlaveSpeed() const;

    int master = -1;
    int slave = -1;
    QString slavePath;
};

// Bytes as upper-case hex pairs separated by spaces, e.g. "AA 01 FE".
inline QString Hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

} // namespace mc::test

#define MC_TEST_MAIN(TestClass)                                                                    \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        mc::test::InitTestProcess();                                                               \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
