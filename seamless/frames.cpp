#include "seamless/frames.h"

#include "core/error.h"
#include "core/strtoint.h"

namespace mc::frames {

namespace {

constexpr unsigned kAddressableChannels = 72;

QString ByteText(quint32 value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

// The four bytes of a 32-bit value, most significant first.
QString WordText(quint32 value)
{
    return ByteText(value >> 24) + ' ' + ByteText(value >> 16) + ' ' + ByteText(value >> 8) + ' ' +
           ByteText(value);
}

QString HeaderText(Side side)
{
    return side == Side::Input ? QStringLiteral("53 4E 44 57 46 31 ")
                               : QStringLiteral("53 4E 44 57 46 32 ");
}

} // namespace

QString BuildAddressText(unsigned channel)
{
    if (channel == 0)
        return QStringLiteral("FF FF FF FF FF FF FF FF FF");
    if (channel <= 32)
        return QStringLiteral("00 00 00 00 00 ") + WordText(quint32(1) << (channel - 1));
    if (channel <= 64)
        return QStringLiteral("00 ") + WordText(quint32(1) << (channel - 33)) +
               QStringLiteral(" 00 00 00 00");
    if (channel <= kAddressableChannels)
        return ByteText(quint32(1) << (channel - 65)) + QStringLiteral(" 00 00 00 00 00 00 00 00");
    // The mask has 72 bits; a larger channel would otherwise get a shifted-out
    // or overflowing byte and the frame would reach the wrong cards.
    throw mc::Error(QStringLiteral("channel %1 is beyond the %2 channels the address field can reach")
                        .arg(channel)
                        .arg(kAddressableChannels));
}

QByteArray HexTextToBytes(const QString &hexText)
{
    QString digits = hexText;
    digits.remove(QLatin1Char(' '));
    QByteArray bytes;
    bytes.reserve(digits.size() / 2 + 1);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const QString pair = digits.mid(i, 2);
        int value = 0;
        for (QChar c : pair) {
            const int digit = mc::HexDigitValue(c.unicode());
            if (digit < 0)
                throw mc::Error(QStringLiteral("'%1' is not a valid hexadecimal byte").arg(pair));
            value = value * 16 + digit;
        }
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

QString FrameText(Side side, unsigned channel, const QString &blockText)
{
    return HeaderText(side) + BuildAddressText(channel) + QStringLiteral(" 01") + ' ' + blockText +
           QStringLiteral(" 45 44");
}

QByteArray Frame(Side side, unsigned channel, const QString &blockText)
{
    return HexTextToBytes(FrameText(side, channel, blockText));
}

} // namespace mc::frames
