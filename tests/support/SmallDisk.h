#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

// A real file system of a few pages, so a test can fill the disk. Mounting
// needs root; where it is refused, `mounted()` is false and the test skips.
class SmallDisk {
public:
    explicit SmallDisk(const char* size = "size=64k")
    {
        m_mounted = m_dir.isValid() && ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0, size) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
