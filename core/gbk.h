#pragma once
// GBK (code page 936) at the program's boundaries: settings files and bytes
// to and from the matrix.
#include <QByteArray>
#include <QString>

namespace mc {

QByteArray ToGbk(const QString &text);
QString FromGbk(const QByteArray &bytes);

} // namespace mc
