#pragma once
// Shared test fixtures: every test binary starts through MC_TEST_MAIN, which
// turns on the loopback guard so no test can reach another address.
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QtTest>

#include "ui/messages.h"

namespace mc::test {

// Turns on the loopback guard; called by MC_TEST_MAIN before any test runs.
void InitTestProcess();

// Folder holding the built programs and the default database.
QString BinDir();

// Records every message box and answers it with `answer`.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageRecorder();
    QList<mc::ui::MessageRequest> shown;
    QMessageBox::StandardButton answer;
};

// Records every pause instead of sleeping.
class PauseRecorder {
public:
    PauseRecorder();
    ~PauseRecorder();
    QList<int> pauses;
};

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
