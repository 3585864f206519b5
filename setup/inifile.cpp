#include "setup/inifile.h"

#include "core/error.h"
#include "core/gbk.h"
#include "core/strtoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// How the settings files are read and written. The rules are those of the
// Windows profile routines (GetPrivateProfileStringA and
// WritePrivateProfileStringA), so files written by hand or by the Windows
// build of the program read the same here:
//
//  - A line is the text up to LF; a CR before the LF is part of the line end.
//    CR LF and bare LF files both read. Blanks (space, tab, CR, LF, VT, FF
//    and Ctrl-Z) around names and values are ignored.
//  - A line whose first non-blank character is "[" and that holds a "]" is a
//    section header; the name is the text between "[" and the last "]",
//    without blanks, so "[ Control ]" opens section "Control". Anything after
//    the "]" is ignored. A "[" line without "]" is an ordinary line.
//  - Lines starting with ";" are comments and are never keys.
//  - Inside a section, a line holding "=" is a key: the name is the text
//    before the first "=", the value the text after it, both without blanks
//    ("kd = 1" is key "kd" with value "1"). A line without "=" is not a key:
//    reading skips it and writing keeps it as it is.
//  - Lines before the first section header belong to no section and are
//    never matched.
//  - Section and key names compare with ASCII case folding.
//  - When a section occurs twice, only its first occurrence is read and
//    written; when a key occurs twice in that section, only its first line.
//  - The file is GBK; each line is decoded on its own, so a bad byte sequence
//    spoils only its own line (it reads as replacement characters) and every
//    line the program does not rewrite keeps its bytes and line end.
//  - Every line the program writes ends in CR LF.

namespace mc {

namespace {

// Values are read into a 2048-byte buffer by the profile routines, so the
// longest value that survives is 2047 bytes of GBK text.
constexpr qsizetype kMaxValueBytes = 2047;

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'
        || c == 0x1a;
}

QStringView Trimmed(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && IsBlank(s[b].unicode()))
        ++b;
    while (e > b && IsBlank(s[e - 1].unicode()))
        --e;
    return s.mid(b, e - b);
}

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool SameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode()))
            return false;
    }
    return true;
}

// Decodes bytes [b, e) of the file; plain ASCII lines skip the codec.
QString DecodeLine(const QByteArray &data, qsizetype b, qsizetype e)
{
    const char *p = data.constData();
    for (qsizetype i = b; i < e; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return FromGbk(QByteArray(p + b, e - b));
    }
    return QString::fromLatin1(p + b, e - b);
}

// Where a section and a key sit in the file's bytes, found in one pass.
struct Location {
    bool sectionFound = false;
    // Byte offset just after the section's last key line (or its header when
    // it has no key), where a new key goes; before any blank lines, comments
    // or other lines that end the section.
    qsizetype insertAt = -1;
    // The line at insertAt - 1 ends the file without a line break.
    bool insertNeedsBreak = false;

    bool keyFound = false;
    qsizetype keyBegin = -1; // start of the key's line
    qsizetype keyNext = -1;  // start of the line after it
    QString keyName;         // the key's spelling in the file
    QString value;           // value without blanks, quotes still on
};

Location Locate(const QByteArray &data, QStringView section, QStringView key)
{
    Location loc;
    bool inSection = false;
    const char *p = data.constData();
    const qsizetype n = data.size();
    qsizetype pos = 0;
    while (pos < n) {
        const qsizetype lf = data.indexOf('\n', pos);
        const qsizetype end = lf < 0 ? n : lf;
        const qsizetype next = lf < 0 ? n : lf + 1;
        qsizetype b = pos;
        while (b < end && IsBlank(static_cast<unsigned char>(p[b])))
            ++b;
        // Only header lines are decoded outside the wanted section. GBK lead
        // bytes are all >= 0x81, so the first byte tells a header.
        if (b < end && p[b] == '[') {
            const QString line = DecodeLine(data, b, end);
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                if (inSection)
                    break; // the first occurrence of the section has ended
                if (SameName(Trimmed(QStringView(line).mid(1, close - 1)), section)) {
                    inSection = true;
                    loc.sectionFound = true;
                    loc.insertAt = next;
                    loc.insertNeedsBreak = lf < 0;
                }
                pos = next;
                continue;
            }
        }
        if (inSection && b < end && p[b] != ';') {
            const QString line = DecodeLine(data, b, end);
            const qsizetype eq = line.indexOf(u'=');
            if (eq >= 0) {
                loc.insertAt = next;
                loc.insertNeedsBreak = lf < 0;
                const QStringView name = Trimmed(QStringView(line).left(eq));
                if (SameName(name, key)) {
                    loc.keyFound = true;
                    loc.keyBegin = pos;
                    loc.keyNext = next;
                    loc.keyName = name.toString();
                    loc.value = Trimmed(QStringView(line).mid(eq + 1)).toString();
                    break;
                }
            }
        }
        pos = next;
    }
    return loc;
}

// One pair of matching quotes around the whole value is removed; a quote on
// one side only stays.
QString Unquoted(const QString &v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// Cuts the value to its first 2047 GBK bytes without splitting a character.
QString CutToBuffer(const QString &v)
{
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < v.size()) {
        const qsizetype len = (v.at(i).isHighSurrogate() && i + 1 < v.size() && v.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const qsizetype charBytes = v.at(i).unicode() < 0x80 ? 1 : ToGbk(v.mid(i, len)).size();
        if (bytes + charBytes > kMaxValueBytes)
            return v.left(i);
        bytes += charBytes;
        i += len;
    }
    return v;
}

bool ReadAll(const QString &path, QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    data = f.readAll();
    return f.error() == QFileDevice::NoError;
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(path) {}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    QByteArray data;
    if (!ReadAll(m_path, data))
        return def; // a missing (or unreadable) file reads as empty
    const Location loc = Locate(data, section, key);
    if (!loc.keyFound)
        return def;
    return CutToBuffer(Unquoted(loc.value));
}

QStringList IniFile::ReadStrings(const QString &section, const QStringList &keys) const
{
    QByteArray data;
    const bool readable = ReadAll(m_path, data);
    QStringList values;
    for (const QString &key : keys) {
        const Location loc = readable ? Locate(data, section, key) : Location();
        values.append(loc.keyFound ? CutToBuffer(Unquoted(loc.value)) : QString());
    }
    return values;
}

int IniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    // Decimal with sign, "$" hexadecimal, or "0x" hexadecimal when the text is
    // longer than two characters ("0x" alone does not convert); anything else,
    // overflow included, gives the default.
    int value = def;
    TryStrToInt(ReadString(section, key, QString()), value);
    return value;
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const auto refused = [this] {
        return Error(QStringLiteral("Unable to write to ")
                     + QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()));
    };

    // An existing file that cannot be read is never replaced: its contents
    // would be lost.
    QByteArray data;
    if (QFileInfo::exists(m_path) && !ReadAll(m_path, data))
        throw refused();

    // A line break inside the value would end the line early and let the
    // rest of the value pass for another key or section; it is written as a
    // blank instead.
    QString clean = value;
    clean.replace(u'\r', u' ');
    clean.replace(u'\n', u' ');

    const Location loc = Locate(data, section, key);
    static const QByteArray crlf("\r\n");
    QByteArray out;
    if (loc.keyFound) {
        // Replaced in place, keeping the key's spelling as found.
        const QByteArray line = ToGbk(loc.keyName + u'=' + clean) + crlf;
        out.reserve(data.size() + line.size());
        out.append(data.constData(), loc.keyBegin);
        out.append(line);
        out.append(data.constData() + loc.keyNext, data.size() - loc.keyNext);
    } else if (loc.sectionFound) {
        const QByteArray line = ToGbk(key + u'=' + clean) + crlf;
        out.reserve(data.size() + line.size() + 2);
        out.append(data.constData(), loc.insertAt);
        if (loc.insertNeedsBreak)
            out.append(crlf);
        out.append(line);
        out.append(data.constData() + loc.insertAt, data.size() - loc.insertAt);
    } else {
        out = data;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out.append(crlf);
        out.append(ToGbk(u'[' + section + u']') + crlf);
        out.append(ToGbk(key + u'=' + clean) + crlf);
    }

    // Written to a temporary file beside the target and renamed over it, so
    // the file is never left half written.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw refused();
    if (file.write(out) != out.size() || !file.commit()) {
        file.cancelWriting();
        throw refused();
    }
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

} // namespace mc
