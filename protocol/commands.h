#pragma once
// The command texts the program sends to the matrix. Each is a byte string
// handed whole to the send path: no terminator, numbers in decimal without
// padding, the polling commands end in raw bytes.
#include <QByteArray>
#include <QString>

namespace mc::cmd {

// Mode suffix of the routing commands: audio and video "!", video "%", audio "$".
enum class Mode { AudioVideo, Video, Audio };

QByteArray Route(int input, int output, Mode mode);   // "3*5!"
QByteArray RouteToAll(int input, Mode mode);          // "4*N!"
QByteArray CallPreset(int preset);                    // "CALL3"
QByteArray SavePreset(int preset);                    // "SAVE9"
QByteArray StatusQuery();                             // "QUER00"
QByteArray ReadMatrixId();                            // "GETID"
// "DYT" + the first two bytes (GBK) of the ID text with leading and trailing
// blanks and control characters removed.
QByteArray SetMatrixId(const QString &idText);
QByteArray StartPolling(int output);                  // "AUTOSWa" + byte(output)
QByteArray StopPolling(int output);                   // "AUTOSWb" + byte(output)
QByteArray StopAllPolling();                          // "AUTOSWc" 0x01
QByteArray StartAllPolling();                         // "AUTOSWd" 0x01
QByteArray PollingInterval(int seconds);              // "AUTOTM" hi lo (low 16 bits)

} // namespace mc::cmd
