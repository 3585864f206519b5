#include "setup/settings.h"

#include "setup/inifile.h"

#include <QDir>

namespace mc::settings {

QString TitleFilePath(const QString &folder) { return QDir(folder).filePath(QLatin1String(kTitleFile)); }

QString SettingsFilePath(const QString &folder)
{
    return QDir(folder).filePath(QLatin1String(kSettingsFile));
}

QString ReadTitle(const QString &folder)
{
    return IniFile(TitleFilePath(folder))
        .ReadString(QStringLiteral("title"), QStringLiteral("cap"), QStringLiteral("矩阵控制"));
}

namespace {
const QString kControl = QStringLiteral("Control");
const QString kLinkKindKey = QStringLiteral("kd");
const QString kAddressKey = QStringLiteral("ip");
const QString kModes = QStringLiteral("modal");
constexpr int kModeCount = 9;

QString ModeKey(int n) { return QStringLiteral("name") + QString::number(n); }
} // namespace

int ReadLinkKind(const QString &folder)
{
    return IniFile(SettingsFilePath(folder)).ReadInteger(kControl, kLinkKindKey, 0);
}

QString ReadNetworkAddress(const QString &folder)
{
    return IniFile(SettingsFilePath(folder)).ReadString(kControl, kAddressKey, QString::fromLatin1(kFactoryAddress));
}

QString ReadModeName(const QString &folder, int n)
{
    return IniFile(SettingsFilePath(folder)).ReadString(kModes, ModeKey(n), QString());
}

QStringList ReadModeNames(const QString &folder)
{
    QStringList keys;
    for (int n = 1; n <= kModeCount; ++n)
        keys.append(ModeKey(n));
    return IniFile(SettingsFilePath(folder)).ReadStrings(kModes, keys);
}

void WriteLinkKind(const QString &folder, int kind)
{
    IniFile(SettingsFilePath(folder)).WriteInteger(kControl, kLinkKindKey, kind);
}

void WriteNetworkAddress(const QString &folder, const QString &address)
{
    IniFile(SettingsFilePath(folder)).WriteString(kControl, kAddressKey, address);
}

void WriteModeName(const QString &folder, int n, const QString &name)
{
    IniFile(SettingsFilePath(folder)).WriteString(kModes, ModeKey(n), name);
}

} // namespace mc::settings
