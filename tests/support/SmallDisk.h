// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>

#include <sys/mount.h>

// A real file system of a few pages, so a test can fill the disk. Mounting
// needs root; where it is refused, `mounted()` is false and the test skips.
struct SmallDisk {
    SmallDisk() : m_mounted(::mount("tmpfs", path().toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0) { }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(path().toLocal8Bit().constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    QTemporaryDir m_dir;
    const bool m_mounted;
};
