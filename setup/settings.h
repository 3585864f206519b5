#pragma once
// The two settings files beside the executable and the keys the program
// keeps in them. Each helper opens the file anew, so a change made by hand is
// seen at the next read.
#include <QString>

namespace mc::settings {

// INI file holding the main window's caption: [title] cap.
inline constexpr char kTitleFile[] = "title.txt";
// INI file (despite its extension) holding the link kind, the matrix's
// network address and the nine mode names: [Control] kd, ip; [modal] name1..9.
inline constexpr char kSettingsFile[] = "modalname.mdb";
// The matrix's factory network address, used while none is stored.
inline constexpr char kFactoryAddress[] = "192.168.1.200";

// Full paths of the two files in `folder`.
QString TitleFilePath(const QString &folder);
QString SettingsFilePath(const QString &folder);

// [title] cap of title.txt; "矩阵控制" when missing.
QString ReadTitle(const QString &folder);
// [Control] kd; 0 (serial port) when missing or not a number.
int ReadLinkKind(const QString &folder);
// [Control] ip; the factory address when missing.
QString ReadNetworkAddress(const QString &folder);
// [modal] name<n>; empty when missing.
QString ReadModeName(const QString &folder, int n);

} // namespace mc::settings
