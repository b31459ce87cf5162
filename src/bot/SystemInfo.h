// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Texts about numbers and the machine that chat lines and the About box use.

// The English word for 1..20 and the tens up to 90 (spelled as the room
// has always seen them), followed by one blank; empty for anything else.
QString convert(const QString& a);
// The number in words, in proper case. `a` is overwritten with the number
// formatted to twelve digits and two decimals. Empty for zero, for a text
// that is not a number and for a number outside 0..999999999999.99.
QString numWor(QString& a);

// Total physical memory in KiB with digit grouping, then " Kbyte".
QString describeRam();
QString ramText(quint64 totalBytes);

// Time since the machine started: "0weeks 00days 01:02:03".
QString describeUptime();
QString uptimeText(quint64 milliseconds);

// The kind of the drive that holds a path (a mount point or any path in
// it): "Removable", "Fixed", "Network", "CD-ROM", "RAM Disk" or "Unknown".
// Nothing when the path does not exist.
std::optional<QString> driveTypeName(const QString& drive);
enum class DriveType { Unknown, Removable, Fixed, Network, CdRom, RamDisk };
#ifndef Q_OS_WIN
// The kind of a mounted file system, by its type and the device it is
// mounted from.
DriveType driveType(const QByteArray& type, const QByteArray& device);
#endif
// The name the room is told for a kind of drive.
QString driveTypeText(DriveType type);

// The About box.
struct AboutBox {
    static QString title();  // the program's title
    static QString caption();  // "About " + title
    static QString versionText();  // "Version " + major.minor.revision
};
