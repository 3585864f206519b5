#include "link/loopbackguard.h"

#include <QHostAddress>
#include <atomic>

namespace mc {

namespace {
std::atomic<bool> g_loopbackOnly{false};
}

void SetLoopbackOnly(bool on) { g_loopbackOnly = on; }

bool AddressAllowed(const QString &address)
{
    if (!g_loopbackOnly)
        return true;
    QHostAddress host;
    if (!host.setAddress(address.trimmed()))
        return false;
    return host.isLoopback();
}

} // namespace mc
