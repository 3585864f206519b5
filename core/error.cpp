#include "core/error.h"

namespace mc {

Error::Error(const QString &message) : m_message(message), m_utf8(message.toStdString()) {}

} // namespace mc
