// Status replies: the log panel with channel names, and the crosspoints
// recorded in the channel buttons' link lists.
#include <QPlainTextEdit>

#include "app/tform1.h"
#include "app/tmybtn.h"
#include "core/gbk.h"
#include "protocol/statusreply.h"

void TForm1::DispatchReply(const QByteArray &text)
{
    if (mc::reply::IsStatusReply(text))
        ParseStatusReply(mc::FromGbk(text));
}

namespace {
// The name of channel `numberText` in a name table, or "" when the text is
// not a channel number, the table has no such row, or the name is empty.
QString channelName(mc::TableView &names, const QString &column, const QString &numberText)
{
    const int number = mc::reply::ChannelNumber(numberText);
    if (number <= 0 || !names.IsOpen() || !names.Locate(column, number))
        return QString();
    return names.AsString(QStringLiteral("cap"));
}

void insertName(QString &token, QChar before, const QString &name)
{
    if (name.isEmpty())
        return;
    const int at = token.indexOf(before);
    if (at >= 0)
        token.insert(at, QStringLiteral("（") + name + QStringLiteral("） "));
}
} // namespace

// A crosspoint token whose number fields are not digits is shown without
// names and not applied (no button carries such a name).
void TForm1::ParseStatusReply(const QString &text)
{
    const mc::reply::Tokens parts = mc::reply::Split(text);
    QStringList lines;
    lines.reserve(parts.tokens.size() + 1);
    const bool haveNames = ADOConnection1.IsOpen();
    for (const QString &received : parts.tokens) {
        QString token = received;
        if (mc::reply::IsCrosspoint(token) && haveNames) {
            const mc::reply::ChannelTexts ch = mc::reply::Channels(token);
            insertName(token, QLatin1Char('-'), channelName(ADOQuery2(), QStringLiteral("inc"), ch.input));
            insertName(token, QLatin1Char(';'), channelName(ADOQuery3(), QStringLiteral("outc"), ch.output));
        }
        lines.append(token);
    }
    lines.append(parts.remainder);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));

    QStringList received = parts.tokens;
    received.append(parts.remainder);
    for (const QString &token : received) {
        if (token.isEmpty())
            break;
        if (!mc::reply::IsCrosspoint(token))
            continue;
        const mc::reply::ChannelTexts ch = mc::reply::Channels(token);
        Tmybtn *input = FindChannelButton(QStringLiteral("inbtn") + ch.input);
        Tmybtn *output = FindChannelButton(QStringLiteral("outbtn") + ch.output);
        if (input && output)
            LinkButtons(input, output);
    }
    bsSkinComboBox1Change();
}
