// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ASAN
#endif
#endif

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A file system that never answers, as a network share does when its
// server has gone: every look at a path below it waits until the mount is
// dropped. It is a FUSE mount whose requests nobody reads. Mounting needs
// root and /dev/fuse; where either is missing, `mounted()` is false and the
// test skips. Dropping it ends every wait with an error.
struct SilentFileSystem {
    SilentFileSystem()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(QUILLON_ASAN)
        // The leak checker stops every thread at the program's end, which a
        // thread held by a share that never answers does not allow.
        return;
#endif
        m_fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (m_fuse < 0)
            return;
        const QByteArray options = "fd=" + QByteArray::number(m_fuse) + ",rootmode=40000,user_id=0,group_id=0";
        m_mounted = ::mount("quillon-test", path().toLocal8Bit().constData(), "fuse", 0, options.constData()) == 0;
    }
    ~SilentFileSystem()
    {
        if (m_mounted)
            ::umount2(path().toLocal8Bit().constData(), MNT_DETACH);
        if (m_fuse >= 0)
            ::close(m_fuse);
    }
    bool mounted() const
    {
        return m_mounted;
    }
    QString path() const
    {
        return m_dir.path();
    }

    QTemporaryDir m_dir;
    int m_fuse = -1;
    bool m_mounted = false;
};
