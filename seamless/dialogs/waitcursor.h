#pragma once
// The hourglass cursor for the life of a scope; restored however the scope
// ends, an error included. Scopes may nest.
#include <QApplication>

namespace mc::seamless {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace mc::seamless
