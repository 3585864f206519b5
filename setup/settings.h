#pragma once
// The two settings files beside the executable and the keys the program
// keeps in them. Each helper opens the file anew, so a change made by hand is
// seen at the next read.
#include <QString>
#include <QStringList>

#include "core/factory.h"

namespace mc::settings {

// INI file holding the main window's caption: [title] cap.
inline constexpr char kTitleFile[] = "title.txt";
// INI file (despite its extension) holding the link kind, the matrix's
// network address and the nine mode names: [Control] kd, ip; [modal] name1..9.
inline constexpr char kSettingsFile[] = "modalname.mdb";

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
// [modal] name1..name9 from one reading of the file.
QStringList ReadModeNames(const QString &folder);

// Writers of the same keys; each throws mc::Error("Unable to write to " +
// path) when the file cannot be written.
void WriteLinkKind(const QString &folder, int kind);
void WriteNetworkAddress(const QString &folder, const QString &address);
void WriteModeName(const QString &folder, int n, const QString &name);

} // namespace mc::settings
