#include "core/gbk.h"

#include <QTextCodec>

namespace mc {

namespace {
QTextCodec *gbk()
{
    static QTextCodec *codec = QTextCodec::codecForName("GBK");
    return codec;
}
} // namespace

QByteArray ToGbk(const QString &text) { return gbk()->fromUnicode(text); }

QString FromGbk(const QByteArray &bytes) { return gbk()->toUnicode(bytes); }

} // namespace mc
