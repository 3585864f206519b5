#pragma once
// What a dialog that talks to the matrix is given: the program's send path.
#include <QByteArray>

#include <functional>

namespace mc::ui {

using SendFunction = std::function<void(const QByteArray &)>;

} // namespace mc::ui
