#include "tests/support/testsupport.h"

#include "core/pause.h"
#include "link/loopbackguard.h"

namespace mc::test {

void InitTestProcess() { mc::SetLoopbackOnly(true); }

QString BinDir()
{
    const QByteArray dir = qgetenv("MC_BIN_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(dir);
}

MessageRecorder::MessageRecorder(QMessageBox::StandardButton answer_) : answer(answer_)
{
    mc::ui::SetMessageHook([this](const mc::ui::MessageRequest &request) {
        shown.append(request);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() { mc::ui::SetMessageHook({}); }

PauseRecorder::PauseRecorder()
{
    mc::SetPauseHook([this](int ms) { pauses.append(ms); });
}

PauseRecorder::~PauseRecorder() { mc::SetPauseHook({}); }

} // namespace mc::test
