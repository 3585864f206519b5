#include "core/pause.h"

#include <QThread>

namespace mc {

namespace {
std::function<void(int)> &hookSlot()
{
    static std::function<void(int)> hook;
    return hook;
}
} // namespace

void Pause(int milliseconds)
{
    if (hookSlot()) {
        hookSlot()(milliseconds);
        return;
    }
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void SetPauseHook(std::function<void(int)> hook) { hookSlot() = std::move(hook); }

} // namespace mc
