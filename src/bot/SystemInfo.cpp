// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/SystemInfo.h"

#include <quillon/Version.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

#include <array>
#include <cmath>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <ctime>
#include <sys/sysinfo.h>
#endif

namespace {

QString properCase(const QString& text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (QChar& c : result) {
        if (c.isSpace()) {
            wordStart = true;
        } else {
            if (wordStart)
                c = c.toUpper();
            wordStart = false;
        }
    }
    return result;
}

// "##00": at least two digits.
QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QLocale groupingLocale()
{
    QLocale locale = QLocale::system();
    // The C locale leaves groups out by default; the text wants them.
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

}  // namespace

#ifndef Q_OS_WIN
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
#endif

QString convert(const QString& a)
{
    static const std::array<const char*, 21> units
        = {"",         "one ",     "two ",     "three ",     "four ",     "five ",     "six ",
           "seven ",   "eight ",   "nine ",    "ten ",       "eleven ",   "twelve ",   "thirteen ",
           "fouteen ", "fifteen ", "sixteen ", "seventeen ", "eighteen ", "nineteen ", "twenty "};
    static const std::array<const char*, 10> tens
        = {"", "", "twenty ", "thirty ", "fourty ", "fifty ", "sixty ", "seventy ", "eighty ", "ninety "};
    bool ok = false;
    const int value = a.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return {};
    if (value <= 20)
        return QString::fromLatin1(units[value]);
    if (value < 100 && value % 10 == 0)
        return QString::fromLatin1(tens[value / 10]);
    return {};
}

QString numWor(QString& a)
{
    static const std::array<const char*, 4> groupWords = {"Billion ", "Million ", "Thousand ", " "};
    bool ok = false;
    const double value = a.trimmed().toDouble(&ok);
    if (!ok)
        return {};
    const double rounded = std::round(value * 100.0) / 100.0;
    a = QStringLiteral("%1").arg(rounded, 15, 'f', 2, QLatin1Char('0'));
    if (rounded < 0 || a.size() != 15)
        return {};  // the digit positions no longer hold the groups

    auto digits = [&](int position, int count) { return a.mid(position - 1, count); };
    QString result;
    for (int group = 0; group < 4; ++group) {
        const int x = 1 + 3 * group;
        if (digits(x, 3) == QLatin1String("000"))
            continue;
        if (digits(x, 1) != QLatin1String("0"))
            result += convert(digits(x, 1)) + QStringLiteral("Hundred ");
        const int t = digits(x + 1, 2).toInt();
        if (t >= 20)
            result += convert(digits(x + 1, 1) + u'0') + convert(digits(x + 2, 1));
        else if (t >= 1)
            result += convert(QString::number(t));
        result += QString::fromLatin1(groupWords[group]);
    }
    const int cents = digits(14, 2).toInt();
    if (cents > 0) {
        if (digits(1, 12) != QString(12, u'0'))
            result += QStringLiteral("And ");
        if (cents >= 20)
            result += convert(digits(14, 1) + u'0') + convert(digits(15, 1));
        else
            result += convert(QString::number(cents));
    }
    return properCase(result);
}

QString ramText(quint64 totalBytes)
{
    const quint64 kib = (totalBytes + 512) / 1024;
    return groupingLocale().toString(kib) + QStringLiteral(" Kbyte");
}

QString describeRam()
{
#ifdef Q_OS_WIN
    MEMORYSTATUSEX status {};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return ramText(status.ullTotalPhys);
#else
    struct sysinfo info { };
    sysinfo(&info);
    return ramText(quint64(info.totalram) * info.mem_unit);
#endif
}

QString uptimeText(quint64 milliseconds)
{
    quint64 t = milliseconds / 1000;
    const quint64 rest = milliseconds % 1000;
    if (rest > 500 || (rest == 500 && t % 2 == 1))
        ++t;  // halves go to the even second
    const quint64 weeks = t / 604800;
    const quint64 days = t % 604800 / 86400;
    const quint64 hours = t % 86400 / 3600;
    const quint64 minutes = t % 3600 / 60;
    const quint64 seconds = t % 60;
    return QString::number(weeks) + QStringLiteral("weeks ") + twoDigits(days) + QStringLiteral("days ")
        + twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds);
}

QString describeUptime()
{
#ifdef Q_OS_WIN
    return uptimeText(GetTickCount64());
#else
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return uptimeText(quint64(now.tv_sec) * 1000 + quint64(now.tv_nsec) / 1000000);
#endif
}

QString driveTypeText(DriveType type)
{
    static const std::array<const char*, 6> names = {"Unknown", "Removable", "Fixed", "Network", "CD-ROM", "RAM Disk"};
    return QString::fromLatin1(names[std::size_t(type)]);
}

std::optional<QString> driveTypeName(const QString& drive)
{
#ifdef Q_OS_WIN
    QString root = drive.left(1) + QStringLiteral(":\\");
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
#else
    if (drive.isEmpty() || !QFileInfo::exists(drive))
        return std::nullopt;
    const QStorageInfo storage(drive);
    if (!storage.isValid())
        return std::nullopt;
    return driveTypeText(driveType(storage.fileSystemType(), storage.device()));
#endif
}

QString AboutBox::title()
{
    return QStringLiteral("Quillon");
}

QString AboutBox::caption()
{
    return QStringLiteral("About ") + title();
}

QString AboutBox::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(QUILLON_VERSION_MAJOR)
        .arg(QUILLON_VERSION_MINOR)
        .arg(QUILLON_VERSION_PATCH);
}
