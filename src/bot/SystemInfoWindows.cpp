// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/SystemInfo.h"

#include <windows.h>

QString describeRam()
{
    MEMORYSTATUSEX status {};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return ramText(status.ullTotalPhys);
}

QString describeUptime()
{
    return uptimeText(GetTickCount64());
}

std::optional<QString> driveTypeName(const QString& drive)
{
    const QString root = drive.left(1) + QStringLiteral(":\\");
    switch (GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.utf16()))) {
    case DRIVE_NO_ROOT_DIR:
        return std::nullopt;
    case DRIVE_REMOVABLE:
        return driveTypeText(DriveType::Removable);
    case DRIVE_FIXED:
        return driveTypeText(DriveType::Fixed);
    case DRIVE_REMOTE:
        return driveTypeText(DriveType::Network);
    case DRIVE_CDROM:
        return driveTypeText(DriveType::CdRom);
    case DRIVE_RAMDISK:
        return driveTypeText(DriveType::RamDisk);
    default:
        return driveTypeText(DriveType::Unknown);
    }
}
