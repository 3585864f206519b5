#pragma once
// Settings files: INI text in GBK with the Windows value rules. Every call
// opens the file, reads or writes, and releases it; nothing is cached.
#include <QString>
#include <QStringList>

namespace mc {

class IniFile {
public:
    explicit IniFile(const QString &path);

    const QString &path() const { return m_path; }

    // Value of section/key (names compare without case), trimmed, one pair of
    // matching quotes removed, cut at 2047 bytes; def when missing.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Several keys of one section from one reading of the file, each read as
    // ReadString reads it; "" for a missing key.
    QStringList ReadStrings(const QString &section, const QStringList &keys) const;
    // Decimal with sign, or hexadecimal after "$" or "0x"; def otherwise.
    int ReadInteger(const QString &section, const QString &key, int def) const;

    // Replace in place, append a missing key to its section or a missing
    // section to the file, create a missing file; other lines stay byte for
    // byte. Throws mc::Error("Unable to write to " + path) when refused.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);

private:
    QString m_path;
};

} // namespace mc
