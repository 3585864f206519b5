#pragma once
// The matrix's status reply: ";"-terminated crosspoint tokens such as
// "V:01->05;" (output 5 shows input 1), possibly followed by a remainder
// without its ";".
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mc::reply {

// A received text is a status reply when it holds "->", ":" and ";".
bool IsStatusReply(const QByteArray &text);

struct Tokens {
    QStringList tokens;   // each up to and including its ";"
    QString remainder;    // text after the last ";"
};
Tokens Split(const QString &text);

// A crosspoint token holds "V:" anywhere.
bool IsCrosspoint(const QString &token);

// The input number text (characters 3 and 4) and output number text
// (characters 7 and 8) of a crosspoint token, each without one leading "0".
struct ChannelTexts {
    QString input;
    QString output;
};
ChannelTexts Channels(const QString &token);

// The channel number a number text names, or 0 when the text is not
// one or more decimal digits.
int ChannelNumber(const QString &numberText);

} // namespace mc::reply
