#pragma once
// The program's one conversion of a typed text to an integer, used by every
// dialog that reads a number.
//
// Accepted: optional leading blanks, an optional sign, then decimal digits, or
// hexadecimal digits after "$" or "0x"/"0X". Trailing blanks, an empty text,
// and values outside the signed 32-bit range are refused.
#include <QString>

namespace mc {

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(char16_t c);

// Returns false (and leaves value alone) when the text does not convert.
bool TryStrToInt(const QString &text, int &value);

// Throws mc::Error("'<text>' is not a valid integer value") when the text
// does not convert.
int StrToInt(const QString &text);

} // namespace mc
