#include "protocol/statusreply.h"

namespace mc::reply {

bool IsStatusReply(const QByteArray &text)
{
    return text.contains("->") && text.contains(':') && text.contains(';');
}

Tokens Split(const QString &text)
{
    Tokens result;
    int start = 0;
    for (;;) {
        const int end = text.indexOf(QLatin1Char(';'), start);
        if (end < 0)
            break;
        result.tokens.append(text.mid(start, end - start + 1));
        start = end + 1;
    }
    result.remainder = text.mid(start);
    return result;
}

bool IsCrosspoint(const QString &token) { return token.contains(QLatin1String("V:")); }

namespace {
QString withoutLeadingZero(QString text)
{
    if (text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    return text;
}
} // namespace

ChannelTexts Channels(const QString &token)
{
    return {withoutLeadingZero(token.mid(2, 2)), withoutLeadingZero(token.mid(6, 2))};
}

int ChannelNumber(const QString &numberText)
{
    if (numberText.isEmpty())
        return 0;
    int value = 0;
    for (const QChar c : numberText) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace mc::reply
