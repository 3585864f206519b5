#pragma once
// Configuration frames of the seamless matrix: 26 bytes composed as hex text
// ("53 4E 44 ...") and converted to bytes just before sending.
#include <QByteArray>
#include <QString>

namespace mc::frames {

enum class Side { Input, Output };

// Hex text of the 9-byte address field for one channel (1..72), or all cards
// for channel 0. Throws mc::Error for a channel the field cannot address.
QString BuildAddressText(unsigned channel);

// Bytes spelled by hex text; spaces are ignored, a lone last digit is one
// byte. Throws mc::Error when a pair is not hexadecimal.
QByteArray HexTextToBytes(const QString &hexText);

// Hex text of a whole frame for one channel (0 = all cards) of one side.
QString FrameText(Side side, unsigned channel, const QString &blockText);

// The frame's bytes, ready for the send path.
QByteArray Frame(Side side, unsigned channel, const QString &blockText);

} // namespace mc::frames
