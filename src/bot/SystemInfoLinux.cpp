// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/SystemInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStorageInfo>

#include <ctime>
#include <sys/sysinfo.h>

namespace {

bool blockDeviceIsRemovable(const QByteArray& device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString name = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath().section(u'/', -1);
    // A partition's flag is kept by the disk it belongs to.
    const QString node = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    for (const QString& dir : {node, node + QStringLiteral("/..")}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

}  // namespace

DriveType driveType(const QByteArray& type, const QByteArray& device)
{
    static const QList<QByteArray> network = {"nfs", "nfs4", "cifs",      "smb3", "smbfs", "sshfs",      "fuse.sshfs",
                                              "9p",  "ceph", "glusterfs", "afs",  "davfs", "fuse.davfs2"};
    static const QList<QByteArray> cdrom = {"iso9660", "udf"};
    static const QList<QByteArray> ram = {"tmpfs", "ramfs"};
    static const QList<QByteArray> disk = {"ext2",  "ext3", "ext4",  "xfs",     "btrfs",   "zfs", "f2fs",    "vfat",
                                           "exfat", "ntfs", "ntfs3", "fuseblk", "overlay", "jfs", "reiserfs"};
    if (network.contains(type))
        return DriveType::Network;
    if (cdrom.contains(type))
        return DriveType::CdRom;
    if (ram.contains(type))
        return DriveType::RamDisk;
    if (blockDeviceIsRemovable(device))
        return DriveType::Removable;
    if (disk.contains(type) || device.startsWith("/dev/"))
        return DriveType::Fixed;
    return DriveType::Unknown;
}

QString describeRam()
{
    struct sysinfo info { };
    sysinfo(&info);
    return ramText(quint64(info.totalram) * info.mem_unit);
}

QString describeUptime()
{
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return uptimeText(quint64(now.tv_sec) * 1000 + quint64(now.tv_nsec) / 1000000);
}

std::optional<QString> driveTypeName(const QString& drive)
{
    if (drive.isEmpty() || !QFileInfo::exists(drive))
        return std::nullopt;
    const QStorageInfo storage(drive);
    if (!storage.isValid())
        return std::nullopt;
    return driveTypeText(driveType(storage.fileSystemType(), storage.device()));
}
