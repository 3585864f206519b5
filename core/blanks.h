#pragma once
// Typed texts count blanks the way the matrix's ID field and the count fields
// do: every character with code 32 or below is a blank.
#include <QString>

namespace mc {

// The text without blanks and control characters at either end.
QString TrimBlanks(const QString &text);

// True when the text holds nothing but blanks and control characters.
inline bool IsBlank(const QString &text) { return TrimBlanks(text).isEmpty(); }

} // namespace mc
