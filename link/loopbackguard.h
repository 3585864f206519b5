#pragma once
// Process-wide guard for tests and tools: while it is on, the network client
// refuses to connect anywhere but the loopback range.
#include <QString>

namespace mc {

void SetLoopbackOnly(bool on);

// True when a connection to this dotted address may be attempted now.
bool AddressAllowed(const QString &address);

} // namespace mc
