#include "core/strtoint.h"

#include "core/error.h"

#include <cstdint>

namespace mc {

int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool TryStrToInt(const QString &text, int &value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    // Leading blanks: spaces, tabs and every other control character.
    while (i < n && text.at(i).unicode() < 33)
        ++i;

    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }

    bool hex = false;
    if (i < n && text.at(i) == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        hex = true;
        i += 2;
    }

    if (i >= n)
        return false; // empty, a lone sign or a lone prefix

    if (hex) {
        // Up to 8 significant hexadecimal digits; the 32-bit pattern is taken
        // as it is, so $80000000..$FFFFFFFF come out negative.
        std::uint32_t v = 0;
        int significant = 0;
        for (; i < n; ++i) {
            const int d = HexDigitValue(text.at(i).unicode());
            if (d < 0)
                return false;
            if (significant > 0 || d != 0)
                ++significant;
            if (significant > 8)
                return false;
            v = (v << 4) | static_cast<std::uint32_t>(d);
        }
        if (negative)
            v = 0u - v;
        value = static_cast<int>(static_cast<std::int32_t>(v));
        return true;
    }

    // Decimal: the magnitude may reach 2147483648 only for a negative value.
    const std::int64_t limit = negative ? std::int64_t(2147483648LL) : std::int64_t(2147483647LL);
    std::int64_t v = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false; // any other character, fullwidth digits included
        v = v * 10 + (c - u'0');
        if (v > limit)
            return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

int StrToInt(const QString &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw Error(QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value"));
    return value;
}

} // namespace mc
