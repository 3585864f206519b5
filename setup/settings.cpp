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

int ReadLinkKind(const QString &folder)
{
    return IniFile(SettingsFilePath(folder)).ReadInteger(QStringLiteral("Control"), QStringLiteral("kd"), 0);
}

QString ReadNetworkAddress(const QString &folder)
{
    return IniFile(SettingsFilePath(folder))
        .ReadString(QStringLiteral("Control"), QStringLiteral("ip"), QString::fromLatin1(kFactoryAddress));
}

QString ReadModeName(const QString &folder, int n)
{
    return IniFile(SettingsFilePath(folder))
        .ReadString(QStringLiteral("modal"), QStringLiteral("name") + QString::number(n), QString());
}

} // namespace mc::settings
