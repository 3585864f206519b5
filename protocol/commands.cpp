#include "protocol/commands.h"

#include "core/blanks.h"
#include "core/gbk.h"

namespace mc::cmd {

namespace {

char Suffix(Mode mode)
{
    switch (mode) {
    case Mode::AudioVideo:
        return '!';
    case Mode::Video:
        return '%';
    case Mode::Audio:
        break;
    }
    return '$';
}

QByteArray Number(int value) { return QByteArray::number(value); }

QByteArray WithByte(const char *letters, int value)
{
    QByteArray bytes(letters);
    bytes.append(static_cast<char>(value & 0xFF));
    return bytes;
}

} // namespace

QByteArray Route(int input, int output, Mode mode)
{
    return Number(input) + '*' + Number(output) + Suffix(mode);
}

QByteArray RouteToAll(int input, Mode mode) { return Number(input) + "*N" + Suffix(mode); }

QByteArray CallPreset(int preset) { return "CALL" + Number(preset); }

QByteArray SavePreset(int preset) { return "SAVE" + Number(preset); }

QByteArray StatusQuery() { return QByteArrayLiteral("QUER00"); }

QByteArray ReadMatrixId() { return QByteArrayLiteral("GETID"); }

QByteArray SetMatrixId(const QString &idText)
{
    // Blanks and control characters are cut from both ends.
    return "DYT" + mc::ToGbk(mc::TrimBlanks(idText)).left(2);
}

QByteArray StartPolling(int output) { return WithByte("AUTOSWa", output); }

QByteArray StopPolling(int output) { return WithByte("AUTOSWb", output); }

QByteArray StopAllPolling() { return WithByte("AUTOSWc", 0x01); }

QByteArray StartAllPolling() { return WithByte("AUTOSWd", 0x01); }

QByteArray PollingInterval(int seconds)
{
    // Only the low 16 bits travel, high byte first.
    const auto value = static_cast<quint32>(seconds);
    QByteArray bytes("AUTOTM");
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
    bytes.append(static_cast<char>(value & 0xFF));
    return bytes;
}

} // namespace mc::cmd
